// The demo's Word and Excel files: the few parts an Office Open XML package needs, zipped.
#include "DemoFileFormats.h"
#include "ZipWriter.h"

#include <QHash>
#include <QMap>
#include <QXmlStreamWriter>

#include <functional>

namespace zq::seed {

namespace {

const QString kPackageTypes = QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types");
const QString kPackageRelationships = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
const QString kOfficeRelationships =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kWordMain = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kSheetMain = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString kContentTypeBase = QStringLiteral("application/vnd.openxmlformats-officedocument.");

QByteArray Xml(const std::function<void(QXmlStreamWriter&)>& body)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    body(xml);
    xml.writeEndDocument();
    return bytes;
}

// [Content_Types].xml: the defaults and one override per part (part name → content type suffix).
QByteArray ContentTypes(const QMap<QString, QString>& overrides)
{
    return Xml([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("Types"));
        xml.writeDefaultNamespace(kPackageTypes);
        xml.writeEmptyElement(QStringLiteral("Default"));
        xml.writeAttribute(QStringLiteral("Extension"), QStringLiteral("rels"));
        xml.writeAttribute(QStringLiteral("ContentType"),
                           QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));
        xml.writeEmptyElement(QStringLiteral("Default"));
        xml.writeAttribute(QStringLiteral("Extension"), QStringLiteral("xml"));
        xml.writeAttribute(QStringLiteral("ContentType"), QStringLiteral("application/xml"));
        for (auto it = overrides.begin(); it != overrides.end(); ++it) {
            xml.writeEmptyElement(QStringLiteral("Override"));
            xml.writeAttribute(QStringLiteral("PartName"), it.key());
            xml.writeAttribute(QStringLiteral("ContentType"), kContentTypeBase + it.value());
        }
        xml.writeEndElement();
    });
}

// A relationships part: id → (type below officeDocument/2006/relationships/, target).
QByteArray Relationships(const QList<std::pair<QString, QString>>& targets)
{
    return Xml([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("Relationships"));
        xml.writeDefaultNamespace(kPackageRelationships);
        int id = 1;
        for (const auto& [type, target] : targets) {
            xml.writeEmptyElement(QStringLiteral("Relationship"));
            xml.writeAttribute(QStringLiteral("Id"), QStringLiteral("rId%1").arg(id++));
            xml.writeAttribute(QStringLiteral("Type"), kOfficeRelationships + QLatin1Char('/') + type);
            xml.writeAttribute(QStringLiteral("Target"), target);
        }
        xml.writeEndElement();
    });
}

// "A", "B", ... "Z", "AA": the column of a cell reference.
QString ColumnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

bool IsPlainNumber(const QString& text)
{
    bool ok = false;
    text.toDouble(&ok);
    return ok && !text.startsWith(QLatin1Char('0')) && !text.contains(QLatin1Char('e'), Qt::CaseInsensitive);
}

} // namespace

QByteArray MakeDocx(const QStringList& paragraphs, ZipWriter::Method method)
{
    ZipWriter zip(method);
    zip.add(QStringLiteral("[Content_Types].xml"),
            ContentTypes({{QStringLiteral("/word/document.xml"), QStringLiteral("wordprocessingml.document.main+xml")}}));
    zip.add(QStringLiteral("_rels/.rels"), Relationships({{QStringLiteral("officeDocument"), QStringLiteral("word/document.xml")}}));
    zip.add(QStringLiteral("word/document.xml"), Xml([&](QXmlStreamWriter& xml) {
                xml.writeNamespace(kWordMain, QStringLiteral("w"));
                xml.writeStartElement(kWordMain, QStringLiteral("document"));
                xml.writeStartElement(kWordMain, QStringLiteral("body"));
                for (qsizetype i = 0; i < paragraphs.size(); ++i) {
                    xml.writeStartElement(kWordMain, QStringLiteral("p"));
                    xml.writeStartElement(kWordMain, QStringLiteral("r"));
                    if (i == 0) {
                        xml.writeStartElement(kWordMain, QStringLiteral("rPr"));
                        xml.writeEmptyElement(kWordMain, QStringLiteral("b"));
                        xml.writeEndElement();
                    }
                    xml.writeStartElement(kWordMain, QStringLiteral("t"));
                    xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                    xml.writeCharacters(paragraphs[i]);
                    xml.writeEndElement();   // t
                    xml.writeEndElement();   // r
                    xml.writeEndElement();   // p
                }
                xml.writeEmptyElement(kWordMain, QStringLiteral("sectPr"));
                xml.writeEndElement();   // body
                xml.writeEndElement();   // document
            }));
    return zip.finish();
}

QByteArray MakeXlsx(const QString& sheetName, const QList<QStringList>& rows)
{
    QStringList strings;   // the shared strings, each once
    QHash<QString, int> stringIndex;
    QByteArray sheet = Xml([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("worksheet"));
        xml.writeDefaultNamespace(kSheetMain);
        xml.writeStartElement(QStringLiteral("sheetData"));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            xml.writeStartElement(QStringLiteral("row"));
            xml.writeAttribute(QStringLiteral("r"), QString::number(r + 1));
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const QString& cell = rows[r][c];
                if (cell.isEmpty())
                    continue;
                xml.writeStartElement(QStringLiteral("c"));
                xml.writeAttribute(QStringLiteral("r"), ColumnName(int(c)) + QString::number(r + 1));
                QString value = cell;
                if (!IsPlainNumber(cell)) {
                    xml.writeAttribute(QStringLiteral("t"), QStringLiteral("s"));
                    auto it = stringIndex.find(cell);
                    if (it == stringIndex.end()) {
                        it = stringIndex.insert(cell, int(strings.size()));
                        strings.append(cell);
                    }
                    value = QString::number(*it);
                }
                xml.writeTextElement(QStringLiteral("v"), value);
                xml.writeEndElement();   // c
            }
            xml.writeEndElement();   // row
        }
        xml.writeEndElement();   // sheetData
        xml.writeEndElement();   // worksheet
    });

    ZipWriter zip;
    zip.add(QStringLiteral("[Content_Types].xml"),
            ContentTypes({{QStringLiteral("/xl/workbook.xml"), QStringLiteral("spreadsheetml.sheet.main+xml")},
                          {QStringLiteral("/xl/worksheets/sheet1.xml"), QStringLiteral("spreadsheetml.worksheet+xml")},
                          {QStringLiteral("/xl/sharedStrings.xml"), QStringLiteral("spreadsheetml.sharedStrings+xml")}}));
    zip.add(QStringLiteral("_rels/.rels"), Relationships({{QStringLiteral("officeDocument"), QStringLiteral("xl/workbook.xml")}}));
    zip.add(QStringLiteral("xl/_rels/workbook.xml.rels"),
            Relationships({{QStringLiteral("worksheet"), QStringLiteral("worksheets/sheet1.xml")},
                           {QStringLiteral("sharedStrings"), QStringLiteral("sharedStrings.xml")}}));
    zip.add(QStringLiteral("xl/workbook.xml"), Xml([&](QXmlStreamWriter& xml) {
                xml.writeStartElement(QStringLiteral("workbook"));
                xml.writeDefaultNamespace(kSheetMain);
                xml.writeNamespace(kOfficeRelationships, QStringLiteral("r"));
                xml.writeStartElement(QStringLiteral("sheets"));
                xml.writeEmptyElement(QStringLiteral("sheet"));
                xml.writeAttribute(QStringLiteral("name"), sheetName);
                xml.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
                xml.writeAttribute(kOfficeRelationships, QStringLiteral("id"), QStringLiteral("rId1"));
                xml.writeEndElement();   // sheets
                xml.writeEndElement();   // workbook
            }));
    zip.add(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    zip.add(QStringLiteral("xl/sharedStrings.xml"), Xml([&](QXmlStreamWriter& xml) {
                xml.writeStartElement(QStringLiteral("sst"));
                xml.writeDefaultNamespace(kSheetMain);
                xml.writeAttribute(QStringLiteral("uniqueCount"), QString::number(strings.size()));
                for (const QString& text : strings) {
                    xml.writeStartElement(QStringLiteral("si"));
                    xml.writeTextElement(QStringLiteral("t"), text);
                    xml.writeEndElement();
                }
                xml.writeEndElement();
            }));
    return zip.finish();
}

} // namespace zq::seed
