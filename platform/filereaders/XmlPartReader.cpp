#include "XmlPartReader.h"

namespace zq::extract {

bool XmlPartReader::addData(QByteArrayView piece)
{
    if (m_damaged)
        return false;
    m_xml.addData(piece.toByteArray());
    parse();
    return !m_damaged;
}

bool XmlPartReader::finish()
{
    if (!m_damaged && m_xml.tokenType() != QXmlStreamReader::EndDocument)
        m_damaged = true;   // cut short, or no XML at all
    return !m_damaged;
}

QString XmlPartReader::error() const
{
    const QString reason = m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError
                               ? m_xml.errorString()
                               : QStringLiteral("XML 不完整");
    return QStringLiteral("第 %1 行: %2").arg(m_xml.lineNumber()).arg(reason);
}

void XmlPartReader::parse()
{
    while (!m_xml.atEnd() && !satisfied()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement(m_xml);
            break;
        case QXmlStreamReader::EndElement:
            endElement(m_xml);
            break;
        case QXmlStreamReader::Characters:
            characters(m_xml);
            break;
        default:
            break;
        }
    }
    if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        m_damaged = true;
}

} // namespace zq::extract
