// The text each reader finds: plain text in every encoding the system meets, DXF drawings (code
// pages, escapes, MTEXT format codes), Office Open XML and OpenDocument parts, PDF pages; damaged
// files of each type reported, not followed.
#include "DemoFileFormats.h"
#include "ExtractCases.h"
#include "ExtractTestFiles.h"
#include "GbkText.h"
#include "TextExtraction.h"

#include <gtest/gtest.h>

using namespace zq::extract;
using zq::test::DxfDrawing;
using zq::test::ExpectDamage;
using zq::test::ExpectTexts;
using zq::test::str;
using zq::test::DxfPairs;
using zq::test::MtextDrawing;
using zq::test::Zip;

namespace {

QByteArray Utf8(const char* text) { return QByteArray(text); }
QByteArray Gbk(const char* text) { return zq::EncodeGbk(QString::fromUtf8(text)); }

QByteArray Utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

const QString kOdfNamespaces = QStringLiteral(
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"");

QByteArray OpenDocumentContent(const QString& body)
{
    return (QStringLiteral("<office:document-content %1><office:body><office:text>").arg(kOdfNamespaces) + body
            + QStringLiteral("</office:text></office:body></office:document-content>"))
        .toUtf8();
}

QByteArray Slide(const QString& text)
{
    return QStringLiteral("<sld xmlns=\"urn:slide\"><sp><txBody><p><r><t>%1</t></r></p></txBody></sp></sld>").arg(text).toUtf8();
}

} // namespace

TEST(FileTypes, ByExtensionIgnoringCase)
{
    const struct {
        const char* name;
        FileType type;
    } cases[] = {
        {"a.pdf", FileType::Pdf},          {"B.PDF", FileType::Pdf},
        {"技术条件.docx", FileType::OfficeOpenXml}, {"x.XLSX", FileType::OfficeOpenXml},
        {"x.pptx", FileType::OfficeOpenXml}, {"x.odt", FileType::OpenDocument},
        {"x.ods", FileType::OpenDocument}, {"说明.txt", FileType::PlainText},
        {"x.CSV", FileType::PlainText},    {"/a/b.c/图.dxf", FileType::Dxf},
        {"x.dwg", FileType::Other},        {"x.doc", FileType::Other},
        {"x.xls", FileType::Other},        {"x.png", FileType::Other},
        {"pdf", FileType::Other},          {"x.pdf.dwg", FileType::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileTypeOf(QString::fromUtf8(c.name)), c.type) << c.name;
}

TEST(PlainText, EveryEncodingTheSystemMeets)
{
    static const char kBlanks[] = "  a \t b\r\n \r\n  c\0d\x1b" " e\xe3\x80\x80" "f  ";   // U+3000 before f
    ExpectTexts({
        {"ASCII", FileType::PlainText, Utf8("ZQ8600 gear\r\n"), "ZQ8600 gear"},
        {"UTF-8", FileType::PlainText, Utf8("零件 ZQ8600\n"), "零件 ZQ8600"},
        {"UTF-8 with a byte-order mark", FileType::PlainText, Utf8("\xEF\xBB\xBF零件"), "零件"},
        {"UTF-16 LE with a byte-order mark", FileType::PlainText, Utf16(QStringLiteral("零件𝄞 A"), false), "零件𝄞 A"},
        {"UTF-16 BE with a byte-order mark", FileType::PlainText, Utf16(QStringLiteral("零件𝄞 A"), true), "零件𝄞 A"},
        {"GBK", FileType::PlainText, Gbk("氟橡胶密封圈, 压缩永久变形"), "氟橡胶密封圈, 压缩永久变形"},
        {"GB18030 beyond GBK", FileType::PlainText, Gbk("𝄞零件"), "𝄞零件"},
        {"CSV, line ends folded", FileType::PlainText, Utf8("代号,名称\r\n\r\nGB93-8,弹簧垫圈\r\n"),
         "代号,名称\nGB93-8,弹簧垫圈"},
        {"whitespace runs and control characters", FileType::PlainText,
         QByteArray(kBlanks, sizeof(kBlanks) - 1), "a b\nc d e f"},
        {"empty", FileType::PlainText, QByteArray(), ""},
    });
}

TEST(PlainText, CharactersAcrossThePiecesOfALongFileStayWhole)
{
    // Long files are decoded a piece at a time; a character may fall on the edge of a piece.
    const QString chinese = QString(200000, QChar(0x96F6));   // 零
    const struct {
        const char* what;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"GBK after one ASCII byte", "a" + zq::EncodeGbk(chinese), QLatin1Char('a') + chinese},
        {"UTF-8 after one ASCII byte", "a" + chinese.toUtf8(), QLatin1Char('a') + chinese},
        {"UTF-16 pairs", Utf16(QString(131071, QLatin1Char('a')) + QStringLiteral("𝄞").repeated(3), false),
         QString(131071, QLatin1Char('a')) + QStringLiteral("𝄞").repeated(3)},
    };
    for (const auto& c : cases) {
        const Extraction e = ExtractTextFromBytes(FileType::PlainText, c.bytes);
        EXPECT_TRUE(e.text == c.text) << c.what << ": " << e.text.size() << " characters, "
                                      << e.text.count(QChar(QChar::ReplacementCharacter)) << " replaced";
    }
}

TEST(Dxf, TextEntitiesInTheDrawingsCodePage)
{
    const auto text = [](const QByteArray& value) {
        return QList<std::pair<QByteArray, QList<std::pair<int, QByteArray>>>>{
            {"TEXT", {{10, "0.0"}, {20, "0.0"}, {40, "3.5"}, {1, value}}}};
    };
    ExpectTexts({
        {"GBK under ANSI_936", FileType::Dxf, DxfDrawing("AC1015", "ANSI_936", text(Gbk("箱座"))), "箱座"},
        {"UTF-8 from AC1021 on, whatever the code page", FileType::Dxf,
         DxfDrawing("AC1021", "ANSI_936", text(Utf8("箱座"))), "箱座"},
        {"no header: UTF-8 when valid", FileType::Dxf, DxfDrawing({}, {}, text(Utf8("铸件"))), "铸件"},
        {"no header: GBK otherwise", FileType::Dxf, DxfDrawing({}, {}, text(Gbk("铸件"))), "铸件"},
        {"a western code page", FileType::Dxf, DxfDrawing("AC1015", "ANSI_1252", text("\xD8" "40")), "Ø40"},
        {"\\U+ escapes, pairs of them, half of one", FileType::Dxf,
         DxfDrawing("AC1015", "ANSI_936", text("\\U+7BB1\\U+5EA7 \\U+D834\\U+DD1E \\U+D800x \\U+12")),
         "箱座 𝄞 \xEF\xBF\xBDx \\U+12"},
        {"\\M+ escape of a GBK character", FileType::Dxf, DxfDrawing("AC1015", "ANSI_936", text("\\M+5CFE4")), "箱"},
        {"%% codes and toggles", FileType::Dxf,
         DxfDrawing("AC1015", "ANSI_936", text(Gbk("%%c40 %%D %%p0.1 %%u下划线%%U 100%%% %%0651"))),
         "Ø40 ° ±0.1 下划线 100% A1"},
        {"caret-written control characters", FileType::Dxf, DxfDrawing("AC1015", {}, text("A^IB^ C")), "A B^C"},
        {"MTEXT pieces joined before the codes are read", FileType::Dxf,
         DxfDrawing("AC1021", {}, {{"MTEXT", {{3, Utf8("第一段\\")}, {3, Utf8("P第二")}, {1, Utf8("段")}}}}),
         "第一段\n第二段"},
        {"entities without text, and text outside the entities", FileType::Dxf,
         DxfPairs({{0, "SECTION"}, {2, "TABLES"}, {0, "STYLE"}, {2, "HZ"}, {3, "gbcbig.shx"}, {1, "not text"},
                   {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {10, "0"}, {11, "5"},
                   {0, "DIMENSION"}, {1, "<>"}, {0, "TEXT"}, {1, "ONLY"}, {0, "ENDSEC"}, {0, "EOF"}}),
         "ONLY"},
        {"block attributes", FileType::Dxf,
         DxfPairs({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "TITLE"}, {0, "ATTRIB"}, {1, "ZQ8600-01-01"},
                   {2, "CODE"}, {0, "ENDBLK"}, {0, "ENDSEC"}, {0, "EOF"}}),
         "ZQ8600-01-01"},
        {"several entities, one line each; nothing after EOF", FileType::Dxf,
         DxfDrawing({}, {}, {{"TEXT", {{1, "A"}}}, {"MTEXT", {{1, "B"}}}}) + " 0\r\nTEXT\r\n 1\r\nC\r\n", "A\nB"},
    });
}

TEST(Dxf, MtextFormatCodesAreRemoved)
{
    const struct {
        const char* mtext;
        const char* text;
    } cases[] = {
        {"第一行\\P第二行\\N第三栏\\X第四", "第一行\n第二行\n第三栏\n第四"},
        {"R3\\~R5", "R3 R5"},
        {"{\\fArial|b0|i0|c0|p34;文字}{\\FSimplex;x}", "文字x"},
        {"\\H2.5x;大\\W0.8;窄\\C1;红\\c16711680;真\\A1;\\T1.1;\\Q15;斜", "大窄红真斜"},
        {"\\L下划线\\l\\O上划线\\o\\K删除线\\k", "下划线上划线删除线"},
        {"%%c40\\S+0.1^-0.2;, \\S1/2;, \\S1#4;", "Ø40+0.1/-0.2, 1/2, 1/4"},
        {"a\\\\b\\{c\\}", "a\\b{c}"},
        {"\\pxi-3,l3,t3;项目", "项目"},
        {"\\U+6280\\U+672F要求", "技术要求"},
        {"文字\\H2", "文字"},
        {"{{{嵌套}}}", "嵌套"},
        {"\\Z未知", "\\Z未知"},
    };
    for (const auto& c : cases) {
        const Extraction e = ExtractTextFromBytes(FileType::Dxf, MtextDrawing(QString::fromUtf8(c.mtext)));
        EXPECT_EQ(e.text, QString::fromUtf8(c.text)) << c.mtext;
    }
}

TEST(Dxf, DamagedAndUnreadableDrawings)
{
    ExpectDamage({
        {"not DXF", FileType::Dxf, "hello\nworld\n", false, "DXF 文件已损坏: 第 1 行不是组码"},
        {"empty", FileType::Dxf, "", false, "DXF 文件已损坏: 文件是空的"},
        {"blank lines", FileType::Dxf, "\r\n\r\n", false, "DXF 文件已损坏: 第 1 行不是组码"},
        {"binary DXF", FileType::Dxf, QByteArray("AutoCAD Binary DXF\r\n\x1a\0\0\0", 25), false,
         "DXF 文件是二进制格式, 不能提取文本"},
        {"damaged after the first text", FileType::Dxf,
         DxfPairs({{0, "SECTION"}, {2, "ENTITIES"}, {0, "TEXT"}, {1, "前"}}) + "xx\r\nyy\r\n 0\r\nTEXT\r\n 1\r\n后\r\n",
         true, "DXF 文件已损坏: 第 9 行不是组码"},
    });
    // A file cut short keeps what it holds.
    const QByteArray whole = DxfDrawing({}, {}, {{"TEXT", {{1, "A"}}}, {"TEXT", {{1, "BBBB"}}}});
    const Extraction cut = ExtractTextFromBytes(FileType::Dxf, whole.left(whole.indexOf("BBBB") + 2));
    EXPECT_TRUE(cut.ok);
    EXPECT_EQ(cut.text, QStringLiteral("A\nBB"));
}

TEST(Office, WordExcelPowerPointAndOpenDocumentParts)
{
    using zq::test::WordDocumentXml;
    const QByteArray slides =
        Zip({{QStringLiteral("ppt/slides/slide10.xml"), Slide(QStringLiteral("十"))},
             {QStringLiteral("ppt/slides/slide2.xml"), Slide(QStringLiteral("二"))},
             {QStringLiteral("ppt/slides/_rels/slide1.xml.rels"), "<Relationships/>"},
             {QStringLiteral("ppt/slides/slide1.xml"), Slide(QStringLiteral("一"))},
             {QStringLiteral("ppt/notesSlides/notesSlide1.xml"), Slide(QStringLiteral("备注"))}});
    const QByteArray sheet = "<worksheet xmlns=\"urn:s\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                             "<c r=\"B1\" t=\"inlineStr\"><is><t>内联</t></is></c><c r=\"C1\"><v>12</v></c></row>"
                             "</sheetData></worksheet>";
    const QByteArray strings = "<sst xmlns=\"urn:s\"><si><r><t>漢</t></r><rPh sb=\"0\" eb=\"1\"><t>かん</t></rPh></si></sst>";
    ExpectTexts({
        {"Word, as pdm-seed writes it", FileType::OfficeOpenXml, zq::seed::MakeDocx({QStringLiteral("标题"), QStringLiteral("第二段")}),
         "标题\n第二段"},
        {"Word runs, tabs, breaks; deleted text and field codes left out", FileType::OfficeOpenXml,
         Zip({{QStringLiteral("word/document.xml"),
               WordDocumentXml(QStringLiteral(
                   "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr><w:r><w:t>技术</w:t></w:r>"
                   "<w:r><w:t>条件</w:t></w:r><w:r><w:tab/><w:t>A</w:t><w:br/><w:t xml:space=\"preserve\"> B </w:t></w:r></w:p>"
                   "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>格1</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>格2</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
                   "<w:p><w:r><w:delText>删掉</w:delText><w:instrText>PAGE</w:instrText><w:t>&lt;完&gt;</w:t></w:r></w:p>"))}}),
         "技术条件 A\nB\n格1\n格2\n<完>"},
        {"Excel, as pdm-seed writes it", FileType::OfficeOpenXml,
         zq::seed::MakeXlsx(QStringLiteral("表"), {{QStringLiteral("代号"), QStringLiteral("名称")},
                                                   {QStringLiteral("ZQ8600"), QStringLiteral("12")}}),
         "表\n代号 名称\nZQ8600 12"},
        {"Excel cells in their order: a shared string without phonetic guides, an inline one, a number",
         FileType::OfficeOpenXml,
         Zip({{QStringLiteral("xl/worksheets/sheet1.xml"), sheet}, {QStringLiteral("xl/sharedStrings.xml"), strings}}),
         "漢 内联 12"},
        {"PowerPoint slides in slide order, then the speaker notes", FileType::OfficeOpenXml, slides, "一\n二\n十\n备注"},
        {"part names in another letter case", FileType::OfficeOpenXml,
         Zip({{QStringLiteral("Word/Document.xml"), WordDocumentXml(QStringLiteral("<w:p><w:r><w:t>大写</w:t></w:r></w:p>"))}}),
         "大写"},
        {"OpenDocument text", FileType::OpenDocument,
         Zip({{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
              {QStringLiteral("content.xml"),
               OpenDocumentContent(QStringLiteral(
                   "<text:h>标题</text:h><text:p>甲<text:s text:c=\"3\"/>乙<text:tab/>丙<text:line-break/>丁</text:p>"
                   "<text:tracked-changes><text:changed-region><text:deletion><text:p>删</text:p></text:deletion>"
                   "</text:changed-region></text:tracked-changes>"))}}),
         "标题\n甲 乙 丙\n丁"},
    });
}

TEST(Office, DamagedFilesAreReported)
{
    using zq::test::WordDocumentXml;
    const QByteArray docx = zq::seed::MakeDocx({QStringLiteral("完整的文件")});
    const QByteArray whole = WordDocumentXml(QStringLiteral("<w:p><w:r><w:t>有文字</w:t></w:r></w:p><w:p><w:r><w:t>后来的</w:t></w:r></w:p>"));
    const QByteArray cutShort = whole.left(whole.indexOf("后来的"));
    const QByteArray mismatched = WordDocumentXml(QStringLiteral("<w:p><w:r><w:t>有文字</w:t></w:r></w:p><w:p><w:r><w:t>后来的"));
    ExpectDamage({
        {"not a zip", FileType::OfficeOpenXml, "PK\x03\x04 garbage", false, "Office 文件已损坏: 不是 ZIP 压缩包"},
        {"empty", FileType::OfficeOpenXml, "", false, "Office 文件已损坏: 文件是空的"},
        {"half of a zip", FileType::OfficeOpenXml, docx.left(docx.size() / 2), false, "Office 文件已损坏: 不是 ZIP 压缩包"},
        {"encrypted, or Word 97", FileType::OfficeOpenXml, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0'),
         false, "Office 文件已加密, 或是旧的二进制格式, 不能提取文本"},
        {"no text part", FileType::OfficeOpenXml, Zip({{QStringLiteral("a.txt"), "text"}}), false, "Office 文件已损坏: 找不到正文"},
        {"no content.xml", FileType::OpenDocument, Zip({{QStringLiteral("mimetype"), "x"}}), false,
         "OpenDocument 文件已损坏: 找不到 content.xml"},
        {"a part that is not XML", FileType::OfficeOpenXml, Zip({{QStringLiteral("word/document.xml"), "not <xml"}}),
         false, "Office 文件已损坏: word/document.xml 第 1 行"},
        {"a part cut short after text", FileType::OfficeOpenXml, Zip({{QStringLiteral("word/document.xml"), cutShort}}),
         true, "Office 文件已损坏: word/document.xml 第 1 行: XML 不完整"},
        {"a part damaged after text", FileType::OfficeOpenXml, Zip({{QStringLiteral("word/document.xml"), mismatched}}),
         true, "Office 文件已损坏: word/document.xml 第 1 行: Opening and ending tag mismatch."},
    });
    // What came before the damage is kept.
    EXPECT_EQ(ExtractTextFromBytes(FileType::OfficeOpenXml, Zip({{QStringLiteral("word/document.xml"), cutShort}})).text,
              QStringLiteral("有文字"));
    EXPECT_EQ(ExtractTextFromBytes(FileType::OfficeOpenXml, Zip({{QStringLiteral("word/document.xml"), mismatched}})).text,
              QStringLiteral("有文字\n后来的"));
}

TEST(Pdf, EveryPageInOrder)
{
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("第%1行 氟橡胶密封圈").arg(i);
    const Extraction e = ExtractTextFromBytes(FileType::Pdf, zq::seed::MakePdf(QStringLiteral("标题"), lines));
    ASSERT_TRUE(e.ok) << str(e.error);
    // The lines end and begin with Chinese characters, so only the pages' ends separate them.
    EXPECT_EQ(QString(e.text).remove(QLatin1Char('\n')), lines.join(QString())) << "150 lines fill several pages";
    EXPECT_GE(e.text.count(QLatin1Char('\n')), 2);
}

TEST(Pdf, DamagedFilesAreReported)
{
    const QByteArray pdf = zq::seed::MakePdf(QStringLiteral("标题"), {QStringLiteral("内容")});
    ExpectDamage({
        {"not a PDF", FileType::Pdf, "garbage", false, "PDF 文件已损坏"},
        {"empty", FileType::Pdf, "", false, "PDF 文件已损坏"},
        {"the first bytes of one", FileType::Pdf, pdf.left(300), false, "PDF 文件已损坏"},
    });
}
