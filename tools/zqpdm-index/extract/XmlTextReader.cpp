#include "XmlTextReader.h"
#include "TextBuilder.h"

namespace zq::extract {

XmlTextReader::XmlTextReader(const XmlTextRules& rules, TextBuilder& text) : m_rules(rules), m_text(text) {}

bool XmlTextReader::addData(QByteArrayView piece)
{
    if (m_damaged)
        return false;
    m_xml.addData(piece.toByteArray());
    parse();
    return !m_damaged;
}

bool XmlTextReader::finish()
{
    if (!m_damaged && m_xml.tokenType() != QXmlStreamReader::EndDocument)
        m_damaged = true;   // cut short, or no XML at all
    return !m_damaged;
}

QString XmlTextReader::error() const
{
    const QString reason = m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError
                               ? m_xml.errorString()
                               : QStringLiteral("XML 不完整");
    return QStringLiteral("第 %1 行: %2").arg(m_xml.lineNumber()).arg(reason);
}

void XmlTextReader::parse()
{
    while (!m_xml.atEnd() && !m_text.full()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement(m_xml.name());
            break;
        case QXmlStreamReader::EndElement:
            endElement(m_xml.name());
            break;
        case QXmlStreamReader::Characters:
            if (m_skipDepth == 0 && (m_textDepth > 0 || m_rules.textElements.isEmpty()))
                m_text.append(m_xml.text());
            break;
        default:
            break;
        }
    }
    if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        m_damaged = true;
}

void XmlTextReader::startElement(QStringView name)
{
    if (m_skipDepth > 0 || m_rules.skippedElements.contains(name)) {
        ++m_skipDepth;
        return;
    }
    if (m_rules.textElements.contains(name))
        ++m_textDepth;
    if (m_rules.spaceElements.contains(name))
        m_text.appendSpace();
    else if (m_rules.lineElements.contains(name))
        m_text.appendLineBreak();
}

void XmlTextReader::endElement(QStringView name)
{
    if (m_skipDepth > 0) {
        --m_skipDepth;
        return;
    }
    if (m_rules.textElements.contains(name))
        --m_textDepth;
    if (m_rules.paragraphElements.contains(name))
        m_text.appendLineBreak();
}

} // namespace zq::extract
