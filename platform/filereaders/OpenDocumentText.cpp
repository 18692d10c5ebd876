#include "OpenDocumentText.h"
#include "ExtractionRun.h"
#include "OfficePackage.h"
#include "SpreadsheetValues.h"
#include "XmlTextReader.h"

namespace zq::extract {

namespace {

constexpr QLatin1StringView kOfficeNamespace("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
constexpr QLatin1StringView kTableNamespace("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
constexpr QLatin1StringView kPresentationNamespace("urn:oasis:names:tc:opendocument:xmlns:presentation:1.0");

// A table's name before its cells; a date or time cell's value, written yyyy-MM-dd and HH:mm:ss,
// before the text the cell shows in its own format.
void TableElement(const QXmlStreamReader& xml, TextBuilder& text)
{
    if (xml.namespaceUri() != kTableNamespace)
        return;
    const QXmlStreamAttributes attributes = xml.attributes();
    if (xml.name() == u"table") {
        text.append(attributes.value(kTableNamespace, QLatin1StringView("name")));
        text.appendLineBreak();
    } else if (xml.name() == u"table-cell") {
        const QStringView type = attributes.value(kOfficeNamespace, QLatin1StringView("value-type"));
        if (type == u"date")
            text.append(IsoDateText(attributes.value(kOfficeNamespace, QLatin1StringView("date-value"))));
        else if (type == u"time")
            text.append(IsoDurationText(attributes.value(kOfficeNamespace, QLatin1StringView("time-value"))));
        text.appendSpace();
    }
}

const XmlTextRules& ContentRules()
{
    // All character data of the body: deleted text kept for change tracking is not the text, nor
    // a note's number, nor who wrote a comment when.
    static const XmlTextRules rules{
        {},
        {QStringLiteral("p"), QStringLiteral("h"), QStringLiteral("table-row"), QStringLiteral("list-item")},
        {QStringLiteral("s"), QStringLiteral("tab"), QStringLiteral("table-cell")},
        {QStringLiteral("line-break")},
        {QStringLiteral("tracked-changes"), QStringLiteral("note-citation"), QStringLiteral("dc:creator"),
         QStringLiteral("dc:date")},
        {QStringLiteral("note"), QStringLiteral("annotation"), QStringLiteral("notes")},
        {},
    };
    return rules;
}

const XmlTextRules& PageStyleRules()
{
    // Only the headers and footers of the page styles; the fields in them show a page's number,
    // the date or the sheet at printing, not text of the document.
    static const XmlTextRules rules{
        {QStringLiteral("header"), QStringLiteral("footer"), QStringLiteral("header-left"),
         QStringLiteral("footer-left"), QStringLiteral("header-first"), QStringLiteral("footer-first")},
        {QStringLiteral("p"), QStringLiteral("h")},
        {QStringLiteral("s"), QStringLiteral("tab")},
        {QStringLiteral("line-break")},
        {QStringLiteral("page-number"), QStringLiteral("page-count"), QStringLiteral("date"), QStringLiteral("time"),
         QStringLiteral("sheet-name")},
        {},
        {},
    };
    return rules;
}

} // namespace

bool ReadOpenDocument(OfficePackage& package, ExtractionRun& run)
{
    const QString content = package.find(QStringLiteral("content.xml"));
    if (content.isEmpty())
        return false;
    // A spreadsheet's tables are read as sheets; a text document's tables have no names worth finding.
    bool spreadsheet = false;
    XmlTextRules rules = ContentRules();
    rules.element = [&spreadsheet](const QXmlStreamReader& xml, TextBuilder& text) {
        if (xml.namespaceUri() == kOfficeNamespace && xml.name() == u"spreadsheet")
            spreadsheet = true;
        if (spreadsheet)
            TableElement(xml, text);
        return XmlTextRules::Role::ByTheLists;
    };
    XmlTextReader body(rules, run.text());
    package.stream(content, body);
    XmlTextRules pageRules = PageStyleRules();
    pageRules.element = [](const QXmlStreamReader& xml, TextBuilder&) {
        // A presentation's master pages hold their footers and headers in frames of that class.
        const QStringView frameClass = xml.attributes().value(kPresentationNamespace, QLatin1StringView("class"));
        return xml.name() == u"frame" && (frameClass == u"footer" || frameClass == u"header") ? XmlTextRules::Role::Text
                                                                                               : XmlTextRules::Role::ByTheLists;
    };
    XmlTextReader styles(pageRules, run.text());
    package.stream(package.find(QStringLiteral("styles.xml")), styles);
    return true;
}

} // namespace zq::extract
