// What the worker draws of each kind of file, and what it says of one it cannot draw; the
// answer's bytes as the cache keeps them.
#include "DemoFileFormats.h"
#include "PreviewRender.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq::preview;

namespace {

class PreviewRenderTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray Png(QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    QTemporaryDir m_dir;
};

QImage PictureOf(const PreviewAnswer& answer)
{
    return QImage::fromData(answer.png, "PNG");
}

} // namespace

TEST_F(PreviewRenderTest, PicturesFitTheBoxAndKeepTheirShape)
{
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
                           "<rect width='20' height='10' fill='green'/></svg>";
    const struct {
        QString name;
        QByteArray bytes;
        QSize box;
        QSize expected;
    } cases[] = {
        {QStringLiteral("big.png"), Png({400, 200}), {100, 100}, {100, 50}},
        {QStringLiteral("small.PNG"), Png({40, 20}), {100, 100}, {40, 20}},   // never enlarged
        {QStringLiteral("drawing.svg"), svg, {100, 100}, {100, 50}},          // a drawing fills the box
        {QStringLiteral("第一页.pdf"), zq::seed::MakePdf(QStringLiteral("标题"), {QStringLiteral("一行")}), {300, 300}, {}},
        {QStringLiteral("plan.dxf"), "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n4\n21\n3\n0\nENDSEC\n0\nEOF\n", {80, 60}, {80, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        PreviewRequest request{write(c.name, c.bytes), c.box, 0};
        const PreviewAnswer answer = RenderPreview(request);
        ASSERT_EQ(answer.kind, PreviewAnswer::Kind::Picture) << answer.reason.toStdString();
        const QImage picture = PictureOf(answer);
        if (c.expected.isValid()) {
            EXPECT_EQ(picture.size(), c.expected);
        }
        EXPECT_LE(picture.width(), c.box.width());
        EXPECT_LE(picture.height(), c.box.height());
    }
}

TEST_F(PreviewRenderTest, APdfPageBeyondTheLastShowsTheLast)
{
    const QString pdf = write(QStringLiteral("a.pdf"), zq::seed::MakePdf(QStringLiteral("t"), {QStringLiteral("x")}));
    const PreviewAnswer answer = RenderPreview({pdf, {200, 200}, 7});
    ASSERT_EQ(answer.kind, PreviewAnswer::Kind::Picture);
    EXPECT_EQ(answer.page, answer.pageCount - 1);
}

TEST_F(PreviewRenderTest, WhatCannotBeDrawnSaysWhy)
{
    const struct {
        QString name;
        QByteArray bytes;
        PreviewAnswer::Kind kind;
        QString reasonStart;
    } cases[] = {
        {QStringLiteral("damaged.pdf"), "%PDF-1.4\n1 0 obj garbage", PreviewAnswer::Kind::Failed, QStringLiteral("PDF 文件已损坏")},
        {QStringLiteral("empty.png"), "", PreviewAnswer::Kind::Failed, QStringLiteral("图像文件不能读取")},
        {QStringLiteral("binary.dxf"), QByteArray("AutoCAD Binary DXF\r\n\x1a\0", 22), PreviewAnswer::Kind::Failed, QStringLiteral("DXF")},
        {QStringLiteral("text-only.dxf"), "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n", PreviewAnswer::Kind::Failed, QStringLiteral("DXF")},
        {QStringLiteral("placeholder.dwg"), "GBK text, no drawing", PreviewAnswer::Kind::NoPreview, QStringLiteral("不是 DWG 文件")},
        {QStringLiteral("model.prt"), "solid", PreviewAnswer::Kind::NoPreview, QStringLiteral("此类型的文件不能预览")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const PreviewAnswer answer = RenderPreview({write(c.name, c.bytes), {100, 100}, 0});
        EXPECT_EQ(answer.kind, c.kind);
        EXPECT_TRUE(answer.reason.startsWith(c.reasonStart)) << answer.reason.toStdString();
    }
    const PreviewAnswer missing = RenderPreview({m_dir.filePath(QStringLiteral("gone.pdf")), {100, 100}, 0});
    EXPECT_EQ(missing.kind, PreviewAnswer::Kind::Failed);
}

TEST_F(PreviewRenderTest, TextsAreTheIndexersAndTheirFirstLinesShown)
{
    QByteArray lines;
    for (int i = 1; i <= 250; ++i)
        lines += "第" + QByteArray::number(i) + "行\r\n";
    const PreviewAnswer answer = RenderPreview({write(QStringLiteral("long.txt"), lines), {100, 100}, 0});
    ASSERT_EQ(answer.kind, PreviewAnswer::Kind::Text);
    const QStringList shown = FirstLines(answer.text).split(u'\n');
    EXPECT_EQ(shown.size(), kTextPreviewLines);
    EXPECT_EQ(shown.last(), QStringLiteral("第200行"));
    // Asked for its text, a drawing gives the text the index has of it.
    const QString dxf = write(QStringLiteral("t.dxf"), "0\nSECTION\n2\nENTITIES\n0\nTEXT\n10\n0\n20\n0\n40\n1\n1\n技术要求\n0\nENDSEC\n0\nEOF\n");
    PreviewRequest asText{dxf, {100, 100}, 0, true};
    EXPECT_TRUE(RenderPreview(asText).text.contains(QStringLiteral("技术要求")));
}

TEST(PreviewAnswerBytes, AnswersAndRequestsComeBackAsTheyWentAndNonsenseIsRefused)
{
    PreviewAnswer answer;
    answer.kind = PreviewAnswer::Kind::Text;
    answer.text = QStringLiteral("轴承孔");
    answer.page = 2;
    answer.pageCount = 3;
    answer.note = QStringLiteral("n");
    PreviewAnswer back;
    ASSERT_TRUE(DecodeAnswer(EncodeAnswer(answer), &back));
    EXPECT_EQ(back.kind, answer.kind);
    EXPECT_EQ(back.text, answer.text);
    EXPECT_EQ(back.pageCount, 3);
    for (const QByteArray& nonsense : {QByteArray(), QByteArray("ZQPV"), EncodeAnswer(answer).chopped(1), EncodeAnswer(answer) + "x"})
        EXPECT_FALSE(DecodeAnswer(nonsense, &back));

    PreviewRequest request{QStringLiteral("/tmp/a.pdf"), {640, 480}, 1, true};
    PreviewRequest decoded;
    ASSERT_TRUE(DecodeRequest(EncodeRequest(request), &decoded));
    EXPECT_EQ(decoded.path, request.path);
    EXPECT_EQ(decoded.size, request.size);
    EXPECT_TRUE(decoded.text);
    EXPECT_FALSE(DecodeRequest(EncodeRequest({QStringLiteral("x"), {0, 10}, 0}), &decoded));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({QStringLiteral("x"), {100000, 10}, 0}), &decoded));
}
