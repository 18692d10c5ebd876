// PDF text as the index holds it: line ends mended (a word hyphenated by the line's width joined,
// a code keeping its hyphen, Chinese phrases across lines), damaged files told with their reason,
// and a sound file without a text layer told apart from an empty success.
#include "DemoFileFormats.h"
#include "ExtractCases.h"
#include "ExtractTestFiles.h"
#include "PdfLineEnds.h"
#include "TextExtraction.h"

#include <gtest/gtest.h>

using namespace zq::extract;
using zq::test::PdfOfObjects;
using zq::test::PdfOfPages;
using zq::test::str;

namespace {

// One line of text a PDF text operator draws, 14 points below the one before.
QByteArray Lines(const QList<QByteArray>& lines)
{
    QByteArray content = "BT /F1 12 Tf 72 700 Td";
    for (qsizetype i = 0; i < lines.size(); ++i)
        content += (i ? " 0 -14 Td (" : " (") + lines[i] + ") Tj";
    return content + " ET";
}

} // namespace

TEST(PdfLineEnds, JoinedWhereALineEndSplitsAWordACodeOrAPhrase)
{
    const struct {
        const char* what;
        const char16_t* text;
        const char16_t* joined;
    } cases[] = {
        {"a word hyphenated at the line end", u"post-\r\nseason", u"postseason"},
        {"PDFium's mark of such a hyphen", u"post\uFFFEseason", u"postseason"},
        {"accented letters", u"caf-\r\né naïve", u"café naïve"},
        {"a soft hyphen", u"hy\u00AD\r\nphen", u"hyphen"},
        {"blanks around the line end", u"post- \r\n  season", u"postseason"},
        {"a code keeps its hyphen", u"ZQ8600-\r\n01", u"ZQ8600-01"},
        {"PDFium's mark inside a code", u"GB\uFFFE93", u"GB-93"},
        {"a capital after the hyphen", u"Post\uFFFESeason", u"Post-Season"},
        {"a dash after a space stays as it was", u"A -\r\nB", u"A -\r\nB"},
        {"a hyphen ending the text stays", u"to be con-", u"to be con-"},
        {"PDFium's mark ending the text", u"con\uFFFE", u"con-\n"},
        {"a Chinese phrase across lines", u"部分用户\r\n代码", u"部分用户代码"},
        {"blanks around it", u"部分用户 \r\n 代码", u"部分用户代码"},
        {"full-width punctuation", u"用户，\r\n代码：Ａ\r\n１", u"用户，代码：Ａ１"},
        {"Japanese kana", u"ひら\r\nがな", u"ひらがな"},
        {"characters beyond the basic plane", u"\U00020000\r\n\U00020001", u"\U00020000\U00020001"},
        {"Chinese, then Latin: the line end stays", u"零件\r\nZQ8600", u"零件\r\nZQ8600"},
        {"Latin lines stay", u"end.\r\nNext line", u"end.\r\nNext line"},
        {"spaces without a line end stay", u"a    b\t c", u"a    b\t c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinPdfLineEnds(QString::fromUtf16(c.text)), QString::fromUtf16(c.joined)) << c.what;
}

TEST(PdfLineEnds, JoinedInTheTextOfARealPdf)
{
    const Extraction latin = ExtractTextFromBytes(
        FileType::Pdf, PdfOfPages({Lines({"the post-", "season sale of ZQ8600-", "01 parts"})}));
    ASSERT_TRUE(latin.ok) << str(latin.error);
    EXPECT_EQ(latin.text, QStringLiteral("the postseason sale of ZQ8600-01 parts"));

    const Extraction chinese = ExtractTextFromBytes(
        FileType::Pdf, zq::seed::MakePdf(QStringLiteral("说明"), {QStringLiteral("只有部分用户"), QStringLiteral("代码可以修改")}));
    ASSERT_TRUE(chinese.ok) << str(chinese.error);
    EXPECT_TRUE(chinese.text.contains(QStringLiteral("部分用户代码"))) << str(chinese.text);
}

TEST(Pdf, DamagedFilesAreToldWithTheirReason)
{
    const QByteArray sound = PdfOfPages({Lines({"ZQ8600 gear"}), Lines({"second page"})});
    const QByteArray encrypt = "<< /Filter /Standard /V 1 /R 2 /O <" + QByteArray(64, 'A') + "> /U <" +
                               QByteArray(64, 'B') + "> /P -4 >>";
    QList<QByteArray> encrypted{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>", encrypt};
    zq::test::ExpectDamage({
        {"cut in half", FileType::Pdf, sound.left(sound.size() / 2), false, "PDF 文件已损坏"},
        {"no PDF at all", FileType::Pdf, "%PDF-1.4\n1 0 obj << /Type /Catalog", false,
         "PDF 文件已损坏: 不是 PDF 文件, 或文件的结构已损坏"},
        {"a page tree without pages", FileType::Pdf, PdfOfPages({}), false, "PDF 文件已损坏: 没有页面"},
        {"pages that are not there", FileType::Pdf, PdfOfPages({Lines({"lost"})}, "98 0 R 99 0 R", "2"), false,
         "PDF 文件已损坏: 第 1 页不能读取"},
        {"one page of two not there: the other is read", FileType::Pdf,
         PdfOfPages({Lines({"kept"})}, "4 0 R 99 0 R", "2"), true, "PDF 文件已损坏: 第 2 页不能读取"},
        {"encrypted", FileType::Pdf,
         PdfOfObjects(encrypted, "/Encrypt 4 0 R /ID [<0123456789abcdef0123456789abcdef> <0123456789abcdef0123456789abcdef>]"),
         false, "PDF 文件已加密, 需要密码才能提取文本"},
    });
    // A page count of 2^31 in the page tree: PDFium counts the pages there are.
    const Extraction huge = ExtractTextFromBytes(FileType::Pdf, PdfOfPages({Lines({"ZQ8600 gear"})}, {}, "2147483648"));
    EXPECT_TRUE(huge.ok) << str(huge.error);
    EXPECT_EQ(huge.text, QStringLiteral("ZQ8600 gear"));
}

TEST(Pdf, ASoundFileWithoutATextLayerIsToldApart)
{
    const QByteArray drawing = "0 0 m 200 200 l S 10 10 100 50 re f";
    const struct {
        const char* what;
        QByteArray pdf;
        bool textless;
    } cases[] = {
        {"pages of lines and shapes only", PdfOfPages({drawing, drawing}), true},
        {"one page with text of two", PdfOfPages({drawing, Lines({"ZQ8600"})}), false},
    };
    for (const auto& c : cases) {
        const Extraction e = ExtractTextFromBytes(FileType::Pdf, c.pdf);
        EXPECT_TRUE(e.ok) << c.what << ": " << str(e.error);
        EXPECT_EQ(e.textless, c.textless) << c.what;
        EXPECT_EQ(e.note.startsWith(QStringLiteral("无文字层")), c.textless) << c.what << ": " << str(e.note);
        EXPECT_EQ(e.text.isEmpty(), c.textless) << c.what;
    }
    // Other types hold no text layer: an empty one is just empty.
    const Extraction empty = ExtractTextFromBytes(FileType::PlainText, {});
    EXPECT_TRUE(empty.ok && !empty.textless);
}
