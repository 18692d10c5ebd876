#pragma once
// The text of one XML part of an office document. Which elements hold text and which separate it
// is a table per format (XmlTextRules); an element is named by its local name ("p") or, where the
// local name alone says too little, by its qualified one ("dc:date").
#include "TextBuilder.h"
#include "XmlPartReader.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace zq::extract {

struct XmlTextRules {
    QStringList textElements;        // whose character data is text; empty: all character data
    QStringList paragraphElements;   // end with a line break
    QStringList spaceElements;       // start with a space
    QStringList lineElements;        // start with a line break
    QStringList skippedElements;     // nothing inside counts
    // Text set apart from where it stands (a text box, a footnote, a comment): written after the
    // rest of the part, each one a paragraph of its own, so that it splits no sentence of the body.
    QStringList heldBackElements;
    // Asked at the start of each element that counts: it may write text of its own for it (a sheet's
    // name, a date cell's date), and say what the element's content is beyond the lists above.
    enum class Role { ByTheLists, NotText, Text };
    std::function<Role(const QXmlStreamReader& xml, TextBuilder& text)> element;
};

class XmlTextReader : public XmlPartReader {
public:
    XmlTextReader(const XmlTextRules& rules, TextBuilder& text);
    void partEnded() override;

protected:
    void startElement(const QXmlStreamReader& xml) override;
    void endElement(const QXmlStreamReader& xml) override;
    void characters(const QXmlStreamReader& xml) override;
    bool satisfied() const override { return m_text.full(); }

private:
    TextBuilder& current() { return m_heldDepth > 0 ? m_heldBack : m_text; }

    const XmlTextRules& m_rules;
    TextBuilder& m_text;
    TextBuilder m_heldBack;
    int m_textDepth = 0;   // open text elements
    int m_skipDepth = 0;   // open elements inside a skipped one (or one whose content is not text), itself included
    int m_heldDepth = 0;   // open held-back elements
    int m_level = 0;       // open elements
    std::vector<int> m_textByRole;   // the levels of open elements the role function made text
};

} // namespace zq::extract
