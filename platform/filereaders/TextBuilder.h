#pragma once
// Text as the readers find it, folded for the index: a whitespace run becomes one newline when it
// holds a line break and one space otherwise, control characters count as whitespace, and nothing
// is kept at the start or the end. It holds at most a given number of UTF-16 units.
#include <QString>
#include <QStringView>

namespace zq::extract {

class TextBuilder {
public:
    explicit TextBuilder(qsizetype maxChars);

    void append(QStringView text);
    void appendSpace();       // a separator the format implies: a tab, a table cell
    void appendLineBreak();   // the end of a paragraph, a row, a page

    // Something did not fit; everything appended from then on is dropped.
    bool full() const { return m_full; }
    bool isEmpty() const { return m_text.isEmpty(); }
    qsizetype capacity() const { return m_maxChars; }
    QString take();

private:
    enum class Gap { None, Space, Line };
    void widenGap(Gap gap);
    // Writes the pending gap and then `units` (one character); false when they do not fit.
    bool put(const char16_t* units, qsizetype count);

    QString m_text;
    qsizetype m_maxChars;
    Gap m_gap = Gap::None;
    bool m_full = false;
};

} // namespace zq::extract
