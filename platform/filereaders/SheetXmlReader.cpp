#include "SheetXmlReader.h"
#include "TextBuilder.h"

namespace zq::extract {

SheetXmlReader::SheetXmlReader(const WorkbookStyle& workbook, TextBuilder& text) : m_workbook(workbook), m_text(text) {}

bool SheetXmlReader::satisfied() const
{
    return m_text.full();
}

void SheetXmlReader::startElement(const QXmlStreamReader& xml)
{
    const QStringView name = xml.name();
    if (name == u"c") {
        const QXmlStreamAttributes attributes = xml.attributes();
        m_type = attributes.value(QLatin1StringView("t")).toString();
        m_style = attributes.value(QLatin1StringView("s")).toLongLong();
        m_value.clear();
        m_inline.clear();
    } else if (name == u"v") {
        m_inValue = true;
    } else if (name == u"rPh") {
        ++m_phonetic;
    } else if (name == u"t") {
        m_inInlineText = m_phonetic == 0;
    }
}

void SheetXmlReader::endElement(const QXmlStreamReader& xml)
{
    const QStringView name = xml.name();
    if (name == u"c") {
        if (const QString text = cellText(); !text.isEmpty()) {
            m_text.appendSpace();
            m_text.append(text);
        }
    } else if (name == u"row") {
        m_text.appendLineBreak();
    } else if (name == u"v") {
        m_inValue = false;
    } else if (name == u"rPh") {
        m_phonetic = std::max(m_phonetic - 1, 0);
    } else if (name == u"t") {
        m_inInlineText = false;
    }
}

void SheetXmlReader::characters(const QXmlStreamReader& xml)
{
    if (m_inValue)
        m_value += xml.text();
    else if (m_inInlineText)
        m_inline += xml.text();
}

QString SheetXmlReader::cellText() const
{
    const QString value = m_value.trimmed();
    if (m_type == u"inlineStr")
        return m_inline;
    if (m_type == u"s") {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        return ok && index >= 0 && index < m_workbook.sharedStrings.size() ? m_workbook.sharedStrings.at(index) : QString();
    }
    if (m_type == u"b")
        return value.isEmpty() ? QString() : value == u"0" ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
    if (m_type == u"d") {
        const QString date = IsoDateText(value);
        return date.isEmpty() ? value : date;
    }
    if (m_type == u"str" || m_type == u"e" || value.isEmpty())
        return value;   // a formula's text, an error such as #N/A
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value;
    const NumberFormat format = m_style >= 0 && m_style < m_workbook.cellFormats.size() ? m_workbook.cellFormats.at(m_style)
                                                                                         : NumberFormat();
    const QString shown = format.show(number, m_workbook.date1904);
    if (!format.hidesDigits())
        return shown;
    const QString stored = GeneralNumber(number);
    return stored == shown ? shown : shown + u' ' + stored;
}

} // namespace zq::extract
