#include "XmlTextReader.h"

namespace zq::extract {

namespace {

bool Names(const QStringList& names, const QXmlStreamReader& xml)
{
    return !names.isEmpty() && (names.contains(xml.name()) || names.contains(xml.qualifiedName()));
}

} // namespace

XmlTextReader::XmlTextReader(const XmlTextRules& rules, TextBuilder& text)
    : m_rules(rules), m_text(text), m_heldBack(text.capacity())
{
}

void XmlTextReader::partEnded()
{
    if (m_heldBack.isEmpty())
        return;
    m_text.appendLineBreak();
    m_text.append(m_heldBack.take());
    m_text.appendLineBreak();
}

void XmlTextReader::startElement(const QXmlStreamReader& xml)
{
    ++m_level;
    if (m_skipDepth > 0 || Names(m_rules.skippedElements, xml)) {
        ++m_skipDepth;
        return;
    }
    if (Names(m_rules.heldBackElements, xml)) {
        ++m_heldDepth;
        m_heldBack.appendLineBreak();
    }
    if (Names(m_rules.textElements, xml))
        ++m_textDepth;
    if (Names(m_rules.spaceElements, xml))
        current().appendSpace();
    else if (Names(m_rules.lineElements, xml))
        current().appendLineBreak();
    switch (m_rules.element ? m_rules.element(xml, current()) : XmlTextRules::Role::ByTheLists) {
    case XmlTextRules::Role::ByTheLists:
        break;
    case XmlTextRules::Role::NotText:
        m_skipDepth = 1;
        break;
    case XmlTextRules::Role::Text:
        ++m_textDepth;
        m_textByRole.push_back(m_level);
        break;
    }
}

void XmlTextReader::endElement(const QXmlStreamReader& xml)
{
    const int level = m_level--;
    if (m_skipDepth > 0) {
        // The element whose content was set aside ends here, and the lists hold for it as well.
        if (--m_skipDepth > 0 || Names(m_rules.skippedElements, xml))
            return;
    }
    if (Names(m_rules.textElements, xml))
        --m_textDepth;
    if (!m_textByRole.empty() && m_textByRole.back() == level) {
        m_textByRole.pop_back();
        --m_textDepth;
    }
    if (Names(m_rules.paragraphElements, xml))
        current().appendLineBreak();
    if (Names(m_rules.heldBackElements, xml) && m_heldDepth > 0) {
        m_heldBack.appendLineBreak();
        --m_heldDepth;
    }
}

void XmlTextReader::characters(const QXmlStreamReader& xml)
{
    if (m_skipDepth == 0 && (m_textDepth > 0 || m_rules.textElements.isEmpty()))
        current().append(xml.text());
}

} // namespace zq::extract
