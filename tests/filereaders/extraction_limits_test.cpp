// The limits against hostile files: a zip that inflates far beyond what it claims, thousands of
// entries, deep XML, long texts and files, a time limit; and files that cannot be read at all.
#include "DemoFileFormats.h"
#include "ExtractTestFiles.h"
#include "GbkText.h"
#include "TextExtraction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zq::extract;
using zq::test::Zip;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

QByteArray DocumentXml(const QByteArray& text)
{
    return "<w:document xmlns:w=\"urn:w\"><w:body><w:p><w:r><w:t>" + text + "</w:t></w:r></w:p></w:body></w:document>";
}

ExtractLimits Limits(qint64 readBytes, qsizetype textChars, int timeMs = 20000)
{
    ExtractLimits limits;
    limits.maxReadBytes = readBytes;
    limits.maxTextChars = textChars;
    limits.timeLimitMs = timeMs;
    return limits;
}

QByteArray ManySlides(int count)
{
    QList<std::pair<QString, QByteArray>> entries;
    for (int i = count; i >= 1; --i)
        entries.append({QStringLiteral("ppt/slides/slide%1.xml").arg(i),
                        QStringLiteral("<sld><p><t>页%1</t></p></sld>").arg(i).toUtf8()});
    return Zip(entries);
}

QByteArray ManyTextEntities(int count)
{
    QList<std::pair<QByteArray, QList<std::pair<int, QByteArray>>>> entities;
    for (int i = 0; i < count; ++i)
        entities.append({"TEXT", {{1, "NOTE " + QByteArray::number(i)}}});
    return zq::test::DxfDrawing("AC1021", {}, entities);
}

} // namespace

TEST(ExtractionLimits, AZipBombIsCutAtTheReadLimit)
{
    // 20 MB of paragraphs in 20 KB, the headers claiming either the truth or 100 bytes.
    const QByteArray paragraph = "<w:p><w:r><w:t>" + QByteArray(1000, 'A') + "</w:t></w:r></w:p>";
    const QByteArray xml = "<w:document xmlns:w=\"urn:w\"><w:body>" + paragraph.repeated(20 * 1024) + "</w:body></w:document>";
    const qint64 limit = 1024 * 1024;
    for (quint32 claimed : {quint32(xml.size()), 100u}) {
        const QByteArray bomb = zq::test::ZipClaimingSize(QStringLiteral("word/document.xml"), xml, claimed);
        ASSERT_LT(bomb.size(), 100 * 1024);
        const Extraction e = ExtractTextFromBytes(FileType::OfficeOpenXml, bomb, Limits(limit, 100 * 1024 * 1024));
        // libzip inflates past a size claimed too small: the count of inflated bytes stops it.
        EXPECT_TRUE(e.ok && e.truncated) << claimed << ": " << str(e.error);
        EXPECT_EQ(e.note, QStringLiteral("解压后的内容超过 1048576 字节, 之后的内容未读取")) << claimed;
        EXPECT_LE(e.text.size(), limit) << claimed;
        EXPECT_GT(e.text.size(), limit / 2) << claimed << ": the text up to the limit is kept";
    }
}

TEST(ExtractionLimits, ThousandsOfEntriesAndDeepXml)
{
    const Extraction slides = ExtractTextFromBytes(FileType::OfficeOpenXml, ManySlides(3000));
    ASSERT_TRUE(slides.ok) << str(slides.error);
    const QStringList pages = slides.text.split(QLatin1Char('\n'));
    ASSERT_EQ(pages.size(), 3000);
    EXPECT_EQ(pages.first(), QStringLiteral("页1"));
    EXPECT_EQ(pages.at(1499), QStringLiteral("页1500"));
    EXPECT_EQ(pages.last(), QStringLiteral("页3000"));

    const Extraction cut = ExtractTextFromBytes(FileType::OfficeOpenXml, ManySlides(3000), Limits(50LL << 20, 100));
    EXPECT_TRUE(cut.truncated);
    EXPECT_LE(cut.text.size(), 100);

    // 200,000 levels of elements, the text at the bottom.
    const int depth = 200000;
    const QByteArray deep = DocumentXml(QByteArray("<w:p>").repeated(depth) + "深处" + QByteArray("</w:p>").repeated(depth));
    const Extraction e = ExtractTextFromBytes(FileType::OfficeOpenXml, Zip({{QStringLiteral("word/document.xml"), deep}}));
    EXPECT_TRUE(e.ok) << str(e.error);
    EXPECT_EQ(e.text, QStringLiteral("深处"));
}

TEST(ExtractionLimits, TheTextLimitCutsEveryType)
{
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines << QStringLiteral("第%1行").arg(i);
    const struct {
        const char* what;
        FileType type;
        QByteArray bytes;
    } cases[] = {
        {"plain text", FileType::PlainText, QStringLiteral("零件 ").repeated(10000).toUtf8()},
        {"PDF pages", FileType::Pdf, zq::seed::MakePdf(QStringLiteral("标题"), lines + lines + lines)},
        {"Word", FileType::OfficeOpenXml, zq::seed::MakeDocx(lines)},
        {"DXF", FileType::Dxf, ManyTextEntities(1000)},
        {"pairs never split", FileType::PlainText, QStringLiteral("𝄞").repeated(1000).toUtf8()},
    };
    for (const auto& c : cases) {
        const Extraction e = ExtractTextFromBytes(c.type, c.bytes, Limits(50LL << 20, 101));
        EXPECT_TRUE(e.ok) << c.what << ": " << str(e.error);
        EXPECT_TRUE(e.truncated) << c.what;
        EXPECT_EQ(e.note, QStringLiteral("文本超过 101 个字符, 之后的内容未保留")) << c.what;
        EXPECT_GE(e.text.size(), 90) << c.what;
        EXPECT_LE(e.text.size(), 101) << c.what;
        EXPECT_FALSE(e.text.back().isHighSurrogate()) << c.what;
    }
}

TEST(ExtractionLimits, TheReadLimitCutsTextAndRefusesWholeFileFormats)
{
    const struct {
        const char* what;
        FileType type;
        QByteArray bytes;
        bool ok;
        qint64 limit;   // 0: 1000 bytes, or one less than the file
    } cases[] = {
        {"UTF-8 text, a character cut by the limit", FileType::PlainText, QStringLiteral("零件").repeated(1000).toUtf8(), true, 0},
        {"UTF-8 text whose only non-ASCII character the limit cuts", FileType::PlainText, "abc\xE9\x9B\xB6", true, 5},
        {"GBK text, a character cut by the limit", FileType::PlainText, " " + zq::EncodeGbk(QStringLiteral("零件").repeated(1000)), true, 0},
        {"DXF", FileType::Dxf, ManyTextEntities(1000), true, 0},
        {"PDF", FileType::Pdf, zq::seed::MakePdf(QStringLiteral("标题"), {QStringLiteral("内容")}), false, 0},
        {"Word", FileType::OfficeOpenXml, zq::seed::MakeDocx({QString(2000, QLatin1Char('x'))}), false, 0},
    };
    for (const auto& c : cases) {
        const qint64 limit = c.limit ? c.limit : std::min<qint64>(c.bytes.size() - 1, 1000);
        const Extraction e = ExtractTextFromBytes(c.type, c.bytes, Limits(limit, 1 << 20));
        EXPECT_EQ(e.ok, c.ok) << c.what;
        if (c.ok) {
            EXPECT_TRUE(e.truncated) << c.what;
            EXPECT_EQ(e.note, QStringLiteral("文件超过 %1 字节, 只读取了前 %1 字节").arg(limit)) << c.what;
            EXPECT_FALSE(e.text.isEmpty()) << c.what;
            EXPECT_TRUE(ExtractTextFromBytes(c.type, c.bytes).text.startsWith(e.text)) << c.what << ": " << str(e.text.right(4));
        } else {
            EXPECT_EQ(e.error, QStringLiteral("文件超过 %1 字节的读取上限, 未提取文本").arg(limit)) << c.what;
        }
    }
}

TEST(ExtractionLimits, TheTimeLimitStopsEveryType)
{
    const struct {
        FileType type;
        QByteArray bytes;
    } cases[] = {
        {FileType::PlainText, "text"},
        {FileType::Pdf, zq::seed::MakePdf(QStringLiteral("标题"), {QStringLiteral("内容")})},
        {FileType::OfficeOpenXml, zq::seed::MakeDocx({QStringLiteral("内容")})},
        {FileType::Dxf, ManyTextEntities(1)},
    };
    // Cut before any text came, a file is not an empty one: it failed, to be read again.
    for (const auto& c : cases) {
        const Extraction e = ExtractTextFromBytes(c.type, c.bytes, Limits(50LL << 20, 1 << 20, 0));
        EXPECT_TRUE(!e.ok && e.truncated && e.text.isEmpty()) << int(c.type) << ": " << str(e.error);
        EXPECT_EQ(e.error, QStringLiteral("提取超过时间限制 0 毫秒, 没有读到文本")) << int(c.type);
        EXPECT_EQ(e.note, QStringLiteral("提取超过时间限制 0 毫秒, 之后的内容未读取")) << int(c.type);
    }
    // The time is asked while reading, not afterwards: a file read whole is not called cut.
    const Extraction none = ExtractTextFromBytes(FileType::Other, "AC1015", Limits(50LL << 20, 1 << 20, 0));
    EXPECT_TRUE(none.ok && !none.truncated);
    EXPECT_EQ(none.note, QStringLiteral("此类型的文件没有可提取的文本"));
    // Checked as the reader goes: a drawing of 300,000 notes takes longer than a millisecond.
    const Extraction partly = ExtractTextFromBytes(FileType::Dxf, ManyTextEntities(300000), Limits(50LL << 20, 50 << 20, 1));
    EXPECT_TRUE(partly.truncated);
    EXPECT_FALSE(partly.text.endsWith(QStringLiteral("NOTE 299999")));
}

TEST(ExtractText, FilesThatCannotBeReadAndTypesWithoutText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QDir(dir.path()).mkdir(QStringLiteral("folder.pdf"));
    const QString drawing = dir.filePath(QStringLiteral("ZQ8600.dwg"));
    const QString notes = dir.filePath(QStringLiteral("说明.TXT"));
    for (const auto& [path, bytes] : {std::pair{drawing, QByteArray("AC1015 binary")},
                                      std::pair{notes, zq::EncodeGbk(QStringLiteral("压缩永久变形"))}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QString missing = dir.filePath(QStringLiteral("missing.pdf"));
    const QString folder = dir.filePath(QStringLiteral("folder.pdf"));
    const struct {
        QString path;
        bool ok;
        QString told;   // the error, or the note when ok
        QString text;
    } cases[] = {
        {missing, false, QStringLiteral("文件不存在: ") + missing, {}},
        {folder, false, QStringLiteral("不是普通文件: ") + folder, {}},
        {pipe, false, QStringLiteral("不是普通文件: ") + pipe, {}},   // would wait for a writer for ever
        {drawing, true, QStringLiteral("此类型的文件没有可提取的文本"), {}},
        {notes, true, {}, QStringLiteral("压缩永久变形")},
    };
    for (const auto& c : cases) {
        const Extraction e = ExtractText(c.path);
        EXPECT_EQ(e.ok, c.ok) << str(c.path);
        EXPECT_EQ(c.ok ? e.note : e.error, c.told) << str(c.path);
        EXPECT_EQ(e.text, c.text) << str(c.path);
    }
    // A file longer than the read limit is read up to it.
    const Extraction cut = ExtractText(notes, Limits(4, 100));
    EXPECT_EQ(cut.text, QStringLiteral("压缩"));
    EXPECT_TRUE(cut.truncated);
}
