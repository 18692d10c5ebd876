#include "TextBuilder.h"

namespace zq::extract {

namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isBlank(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

} // namespace

TextBuilder::TextBuilder(qsizetype maxChars) : m_maxChars(std::max<qsizetype>(maxChars, 0)) {}

void TextBuilder::widenGap(Gap gap)
{
    if (gap > m_gap)
        m_gap = gap;
}

void TextBuilder::appendSpace()
{
    widenGap(Gap::Space);
}

void TextBuilder::appendLineBreak()
{
    widenGap(Gap::Line);
}

bool TextBuilder::put(const char16_t* units, qsizetype count)
{
    if (m_full)
        return false;
    const bool separated = m_gap != Gap::None && !m_text.isEmpty();
    if (m_text.size() + (separated ? 1 : 0) + count > m_maxChars) {
        m_full = true;
        return false;
    }
    if (separated)
        m_text += m_gap == Gap::Line ? u'\n' : u' ';
    m_gap = Gap::None;
    m_text.append(QStringView(units, count));
    return true;
}

void TextBuilder::append(QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && !m_full; ++i) {
        const char16_t c = text[i].unicode();
        if (isLineBreak(c)) {
            widenGap(Gap::Line);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            put(text.utf16() + i, 2);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            const char16_t replacement = QChar::ReplacementCharacter;
            put(&replacement, 1);   // half of a pair stands for no character
        } else if (c == 0xFEFF) {
            continue;               // a byte-order mark inside the text
        } else if (isBlank(QChar(c))) {
            widenGap(Gap::Space);
        } else {
            put(&c, 1);
        }
    }
}

QString TextBuilder::take()
{
    m_gap = Gap::None;
    return std::exchange(m_text, QString());
}

} // namespace zq::extract
