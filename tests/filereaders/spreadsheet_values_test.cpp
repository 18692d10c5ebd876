// Spreadsheets as they show themselves: numbers in their plain formats, dates written
// yyyy-MM-dd, times HH:mm:ss, formula results, sheet names and comments, in Excel and
// OpenDocument workbooks.
#include "ExtractCases.h"
#include "ExtractTestFiles.h"
#include "SpreadsheetValues.h"
#include "TextExtraction.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zq::extract;
using zq::test::ExpectTexts;
using zq::test::Zip;

namespace {

QByteArray Rels(const QString& entries)
{
    return (QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">") +
            entries + QStringLiteral("</Relationships>"))
        .toUtf8();
}

QString Rel(const char* id, const char* type, const char* target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                          "relationships/%2\" Target=\"%3\"/>")
        .arg(QLatin1StringView(id), QLatin1StringView(type), QLatin1StringView(target));
}

QByteArray SheetXml(const QString& rows)
{
    return QStringLiteral("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>%1"
                          "</sheetData></worksheet>").arg(rows).toUtf8();
}

// A workbook of two sheets, listed in the other order than their parts' numbers, with its own
// number formats, shared strings, a formula's cached results and a comment.
QByteArray Workbook(bool date1904)
{
    const QByteArray workbook = QStringLiteral(
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<workbookPr date1904=\"%1\"/><sheets><sheet name=\"零件表\" sheetId=\"2\" r:id=\"rId2\"/>"
        "<sheet name=\"日期\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>").arg(date1904 ? 1 : 0).toUtf8();
    const QByteArray styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><numFmts count=\"2\">"
        "<numFmt numFmtId=\"164\" formatCode=\"yyyy/m/d\"/><numFmt numFmtId=\"165\" formatCode=\"0.00_);[Red]\\(0.00\\)\"/>"
        "</numFmts><cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs count=\"6\">"
        "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"4\"/><xf numFmtId=\"10\"/><xf numFmtId=\"165\"/>"
        "<xf numFmtId=\"20\"/></cellXfs></styleSheet>";
    const QByteArray strings = QStringLiteral(
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>代号</t></si>"
        "<si><r><t>数</t></r><r><t>量</t></r></si><si><t>ZQ8600-01</t></si></sst>").toUtf8();
    const QByteArray parts = SheetXml(QStringLiteral(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>2</v></c><c r=\"B2\"><v>510</v></c><c r=\"C2\" s=\"2\"><v>1234.5</v></c>"
        "<c r=\"D2\" s=\"3\"><v>0.125</v></c><c r=\"E2\" s=\"4\"><v>213.2324</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><f>B2*2</f><v>1020</v></c><c r=\"B3\" t=\"str\"><f>A2&amp;\"-A\"</f><v>ZQ8600-01-A</v></c>"
        "<c r=\"C3\" t=\"b\"><v>1</v></c><c r=\"D3\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"
        "<c r=\"E3\" t=\"inlineStr\"><is><t>内联</t></is></c><c r=\"F3\" t=\"s\"><v>99</v></c></row>"));
    const QByteArray dates = SheetXml(QStringLiteral(
        "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>45000</v></c><c r=\"B1\" s=\"5\"><v>0.2604282407</v></c>"
        "<c r=\"C1\" t=\"d\"><v>2024-02-29T00:00:00</v></c></row>"));
    const QByteArray comments = QStringLiteral(
        "<comments xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><authors><author>张伟</author>"
        "</authors><commentList><comment ref=\"B2\" authorId=\"0\"><text><r><t>数量按图纸</t></r></text></comment>"
        "</commentList></comments>").toUtf8();
    return Zip({
        {QStringLiteral("xl/workbook.xml"), workbook},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         Rels(Rel("rId1", "worksheet", "worksheets/sheet1.xml") + Rel("rId2", "worksheet", "worksheets/sheet2.xml") +
              Rel("rId3", "styles", "styles.xml") + Rel("rId4", "sharedStrings", "sharedStrings.xml"))},
        {QStringLiteral("xl/styles.xml"), styles},
        {QStringLiteral("xl/sharedStrings.xml"), strings},
        {QStringLiteral("xl/worksheets/sheet1.xml"), dates},
        {QStringLiteral("xl/worksheets/sheet2.xml"), parts},
        {QStringLiteral("xl/worksheets/_rels/sheet2.xml.rels"), Rels(Rel("rId1", "comments", "../comments1.xml"))},
        {QStringLiteral("xl/comments1.xml"), comments},
    });
}

const QString kOdfNamespaces = QStringLiteral(
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"");

} // namespace

TEST(SpreadsheetValues, NumbersAsTheirFormatShowsThem)
{
    const struct {
        const char16_t* code;   // nullptr: General
        double value;
        const char16_t* shown;
    } cases[] = {
        {nullptr, 510, u"510"},
        {nullptr, 0.1 + 0.2, u"0.3"},
        {nullptr, -0.5, u"-0.5"},
        {nullptr, 1234.56789012345, u"1234.56789"},
        {nullptr, 1234567890123451, u"1234567890123451"},
        {nullptr, 1e16, u"10000000000000000"},
        {nullptr, 1.5e20, u"1.5E+20"},
        {nullptr, 1.25e21, u"1.25E+21"},
        {nullptr, 1.5e-12, u"1.5E-12"},
        {u"General", 12, u"12"},
        {u"0.00", 2.675, u"2.68"},
        {u"0.00", -1.005, u"-1.01"},
        {u"0.00", 0.005, u"0.01"},
        {u"0", 999.5, u"1000"},
        {u"#,##0", 1234567, u"1,234,567"},
        {u"#,##0.00", 999999.995, u"1,000,000.00"},
        {u"#,##0", 12, u"12"},
        {u"0%", 0.025, u"3%"},
        {u"0.00%", 0.125, u"12.50%"},
        {u"0%", 1e307, u"1E+307"},   // a hundred times over the largest number
        {u"0.00_);[Red]\\(0.00\\)", 213.2324, u"213.23"},
        {u"0.00_);[Red]\\(0.00\\)", -5, u"-5"},
        {u"#,##0;-#,##0;\"-\"", 0, u"0"},
        {u"#,##0,", 1234567, u"1234567"},
        {u"\"¥\"#,##0.00", 12.5, u"12.5"},
        {u"0.00E+00", 198356388, u"198356388"},
        {u"# ?/?", 2.5, u"2.5"},
        {u"@", 7, u"7"},
    };
    for (const auto& c : cases) {
        const NumberFormat format = c.code ? NumberFormat(QStringView(c.code)) : NumberFormat();
        EXPECT_EQ(format.show(c.value), QString::fromUtf16(c.shown)) << (c.code ? QString::fromUtf16(c.code).toStdString() : "General")
                                                                      << " " << c.value;
    }
    EXPECT_EQ(NumberFormat().show(std::numeric_limits<double>::infinity()), QStringLiteral("inf"));
}

TEST(SpreadsheetValues, DatesAndTimesWrittenOneWay)
{
    const struct {
        const char16_t* code;
        double value;
        bool date1904;
        const char16_t* shown;
    } cases[] = {
        {u"yyyy/m/d", 45000, false, u"2023-03-15"},
        {u"m/d/yy", 45000.75, false, u"2023-03-15"},
        {u"yyyy\"年\"m\"月\"d\"日\"", 1, false, u"1900-01-01"},
        {u"d-mmm-yy", 59, false, u"1900-02-28"},
        {u"d-mmm-yy", 60, false, u"1900-02-29"},   // the day Lotus 1-2-3 gave 1900
        {u"d-mmm-yy", 61, false, u"1900-03-01"},
        {u"yyyy-mm-dd", 0, true, u"1904-01-01"},
        {u"yyyy-mm-dd", 2958465, false, u"9999-12-31"},
        {u"yyyy-mm-dd", 2958466, false, u"2958466"},
        {u"yyyy-mm-dd", -1, false, u"-1"},
        {u"yyyy-mm-dd", 0.5, false, u"0.5"},
        {u"h:mm", 0.2604282407, false, u"06:15:00"},   // 06:15:00.9: the minute the format shows
        {u"h:mm:ss", 0.2604282407, false, u"06:15:01"},
        {u"h:mm AM/PM", 0.75, false, u"18:00:00"},
        {u"mm:ss", 0.0125, false, u"00:18:00"},
        {u"m/d/yy h:mm", 39466.190980358806, false, u"2008-01-19 04:35:00"},
        {u"yyyy-mm-dd h:mm:ss", 39466.99999999, false, u"2008-01-20 00:00:00"},
        {u"[h]:mm:ss", 10.63206018518, false, u"255:10:10"},
        {u"mmm-yy", 45000, false, u"2023-03-15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberFormat(QStringView(c.code)).show(c.value, c.date1904), QString::fromUtf16(c.shown))
            << QString::fromUtf16(c.code).toStdString() << " " << c.value;

    // The formats every workbook knows by number, the Chinese ones among them.
    const struct {
        int id;
        double value;
        const char16_t* shown;
    } builtIn[] = {
        {0, 45000, u"45000"}, {1, 2.5, u"3"}, {3, 12345, u"12,345"}, {10, 0.5, u"50.00%"}, {14, 45000, u"2023-03-15"},
        {22, 45000.5, u"2023-03-15 12:00:00"}, {31, 45000, u"2023-03-15"}, {32, 0.5, u"12:00:00"},
        {49, 7, u"7"}, {999, 7.5, u"7.5"},
    };
    for (const auto& c : builtIn)
        EXPECT_EQ(NumberFormat::builtIn(c.id).show(c.value), QString::fromUtf16(c.shown)) << c.id;

    const struct {
        const char* iso;
        const char* date;
        const char* duration;
    } iso[] = {
        {"2021-01-01", "2021-01-01", ""},
        {"2021-01-01T00:00:00", "2021-01-01", ""},
        {"2021-01-01T10:10:10", "2021-01-01 10:10:10", ""},
        {"2021-01-01T10:10:10.5", "2021-01-01 10:10:10", ""},
        {"PT15H10M10S", "", "15:10:10"},
        {"PT255H10M10.25S", "", "255:10:10"},
        {"PT90M", "", "01:30:00"},
        {"PT", "", ""},
        {"yesterday", "", ""},
        {"", "", ""},
    };
    for (const auto& c : iso) {
        EXPECT_EQ(IsoDateText(QString::fromUtf8(c.iso)), QString::fromUtf8(c.date)) << c.iso;
        EXPECT_EQ(IsoDurationText(QString::fromUtf8(c.iso)), QString::fromUtf8(c.duration)) << c.iso;
    }
}

TEST(SpreadsheetValues, ExcelSheetsByNameWithEveryCellAndComment)
{
    // A cell's format that cuts digits shows its stored value beside it, as the formula bar does.
    const char* const parts = "零件表\n代号 数量\nZQ8600-01 510 1,234.50 1234.5 12.50% 213.23 213.2324\n"
                              "1020 ZQ8600-01-A TRUE #DIV/0! 内联\n数量按图纸";
    ExpectTexts({
        {"in the workbook's order of sheets", FileType::OfficeOpenXml, Workbook(false),
         (QByteArray(parts) + "\n日期\n2023-03-15 06:15:00 2024-02-29").constData()},
        {"days counted from 1904", FileType::OfficeOpenXml, Workbook(true),
         (QByteArray(parts) + "\n日期\n2027-03-16 06:15:00 2024-02-29").constData()},
    });
}

TEST(SpreadsheetValues, OpenDocumentSheetsByNameWithDatesAndTimes)
{
    const QString body = QStringLiteral(
        "<office:spreadsheet><table:table table:name=\"零件表\"><table:table-row>"
        "<table:table-cell office:value-type=\"string\"><text:p>ZQ8600-01</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"float\" office:value=\"510\"><text:p>510</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2021-01-05\"><text:p>05.01.21</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2021-01-05T10:30:00\"><text:p>05.01.21 10:30</text:p>"
        "</table:table-cell><table:table-cell office:value-type=\"time\" office:time-value=\"PT15H10M10S\">"
        "<text:p>03:10:10 PM</text:p></table:table-cell></table:table-row></table:table>"
        "<table:table table:name=\"第二页\"><table:table-row><table:table-cell><text:p>备注</text:p></table:table-cell>"
        "</table:table-row></table:table></office:spreadsheet>");
    const QString text = QStringLiteral(
        "<office:text><table:table table:name=\"表格1\"><table:table-row><table:table-cell><text:p>单元格</text:p>"
        "</table:table-cell></table:table-row></table:table></office:text>");
    const auto content = [](const QString& inside) {
        return QStringLiteral("<office:document-content %1><office:body>%2</office:body></office:document-content>")
            .arg(kOdfNamespaces, inside)
            .toUtf8();
    };
    ExpectTexts({
        {"a spreadsheet: names of its tables, dates beside what the cells show", FileType::OpenDocument,
         Zip({{QStringLiteral("content.xml"), content(body)}}),
         "零件表\nZQ8600-01\n510\n2021-01-05 05.01.21\n2021-01-05 10:30:00 05.01.21 10:30\n15:10:10 03:10:10 PM\n第二页\n备注"},
        {"a text document's tables have no names worth finding", FileType::OpenDocument,
         Zip({{QStringLiteral("content.xml"), content(text)}}), "单元格"},
    });
}
