#include "WorkbookReader.h"
#include "ExtractionRun.h"
#include "OfficePackage.h"
#include "SheetXmlReader.h"
#include "XmlTextReader.h"

#include <QHash>

namespace zq::extract {

namespace {

struct Sheet {
    QString name;
    QString part;   // "" for a sheet of another kind (a chart)
};

const XmlTextRules& CommentRules()
{
    // The comment's text; the authors' list is not inside a t.
    static const XmlTextRules rules{
        {QStringLiteral("t")}, {QStringLiteral("comment")}, {}, {}, {QStringLiteral("rPh")}, {}, {},
    };
    return rules;
}

bool IsTrue(QStringView value)
{
    return value == u"1" || value == u"true";
}

// The sheets of xl/workbook.xml in its order, with their parts by the workbook's relationships.
QList<Sheet> SheetsOf(const QByteArray& workbook, const QList<OfficePackage::Relationship>& related, bool* date1904)
{
    QHash<QString, QString> worksheets;
    for (const OfficePackage::Relationship& r : related)
        if (r.type == u"worksheet")
            worksheets.insert(r.id, r.target);
    QList<Sheet> sheets;
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"workbookPr") {
            *date1904 = IsTrue(attributes.value(QLatin1StringView("date1904")));
        } else if (xml.name() == u"sheet") {
            sheets.append({attributes.value(QLatin1StringView("name")).toString(),
                           worksheets.value(OfficePackage::relationshipId(attributes))});
        }
    }
    return sheets;
}

// Each si of xl/sharedStrings.xml: its runs of text, phonetic guides left out.
QStringList SharedStrings(const QByteArray& bytes)
{
    QStringList strings;
    QXmlStreamReader xml(bytes);
    int phonetic = 0;
    bool inText = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == u"si")
                strings.append(QString());
            else if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t")
                inText = phonetic == 0 && !strings.isEmpty();
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == u"rPh")
                phonetic = std::max(phonetic - 1, 0);
            else if (xml.name() == u"t")
                inText = false;
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                strings.back() += xml.text();
            break;
        default:
            break;
        }
    }
    return strings;
}

// The number format of each cell style (cellXfs) of xl/styles.xml.
QList<NumberFormat> CellFormats(const QByteArray& bytes)
{
    QHash<int, QString> codes;   // the workbook's own formats by number
    QList<int> styles;           // each cell style's format number
    QXmlStreamReader xml(bytes);
    bool inCellStyles = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellStyles = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"numFmt")
            codes.insert(attributes.value(QLatin1StringView("numFmtId")).toInt(), attributes.value(QLatin1StringView("formatCode")).toString());
        else if (xml.name() == u"cellXfs")
            inCellStyles = true;
        else if (xml.name() == u"xf" && inCellStyles)
            styles.append(attributes.value(QLatin1StringView("numFmtId")).toInt());
    }
    QList<NumberFormat> formats;
    for (int id : styles)
        formats.append(codes.contains(id) ? NumberFormat(codes.value(id)) : NumberFormat::builtIn(id));
    return formats;
}

QString RelatedPart(const QList<OfficePackage::Relationship>& related, const QString& type, const QString& usual)
{
    for (const OfficePackage::Relationship& r : related)
        if (r.type == type)
            return r.target;
    return usual;
}

} // namespace

bool ReadWorkbook(OfficePackage& package, ExtractionRun& run)
{
    const QString workbookPart = package.find(QStringLiteral("xl/workbook.xml"));
    QByteArray bytes;
    WorkbookStyle style;
    QList<Sheet> sheets;
    QList<OfficePackage::Relationship> related;
    if (!workbookPart.isEmpty() && package.read(workbookPart, &bytes)) {
        related = package.relationships(workbookPart);
        sheets = SheetsOf(bytes, related, &style.date1904);
    }
    if (sheets.isEmpty()) {
        // No workbook to name them: the sheets by their numbers.
        for (const QString& part : package.numbered(QStringLiteral("xl/worksheets/sheet"), QStringLiteral(".xml")))
            sheets.append({QString(), part});
    }
    if (sheets.isEmpty())
        return false;
    if (package.read(package.find(RelatedPart(related, QStringLiteral("sharedStrings"), QStringLiteral("xl/sharedStrings.xml"))), &bytes))
        style.sharedStrings = SharedStrings(bytes);
    if (package.read(package.find(RelatedPart(related, QStringLiteral("styles"), QStringLiteral("xl/styles.xml"))), &bytes))
        style.cellFormats = CellFormats(bytes);
    bytes.clear();

    for (const Sheet& sheet : sheets) {
        if (run.mustStop())
            return true;
        run.text().append(sheet.name);
        run.text().appendLineBreak();
        const QString part = package.find(sheet.part);
        if (part.isEmpty())
            continue;
        SheetXmlReader cells(style, run.text());
        package.stream(part, cells);
        for (const OfficePackage::Relationship& r : package.relationships(part)) {
            if (r.type != u"comments")
                continue;
            XmlTextReader comments(CommentRules(), run.text());
            package.stream(package.find(r.target), comments);
        }
    }
    return true;
}

} // namespace zq::extract
