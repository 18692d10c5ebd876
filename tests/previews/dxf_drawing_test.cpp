// DXF drawings as the preview draws them: what each entity becomes, where blocks are placed,
// and that a hostile file (blocks inserting themselves, nesting too deep, a million inserts)
// ends with a part of the drawing, never a hang or a crash.
#include "DxfDrawing.h"
#include "DxfScene.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <cmath>

using namespace zq::preview;

namespace {

QByteArray Entities(const QByteArray& body, const QByteArray& blocks = {})
{
    QByteArray bytes;
    if (!blocks.isEmpty())
        bytes += "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n";
    return bytes + "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n";
}

QRectF BoundsOf(const QByteArray& file)
{
    return PlaceDrawing(ReadDxfDrawing(file)).bounds;
}

bool Near(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()) < 1e-6; }

} // namespace

TEST(DxfDrawing, EachEntityKindBecomesLinesOrText)
{
    const struct {
        const char* name;
        QByteArray body;
        int paths;
        int labels;
        QRectF bounds;   // of the lines drawn (texts left out where null)
    } cases[] = {
        {"line", "0\nLINE\n10\n1\n20\n2\n11\n5\n21\n7\n", 1, 0, QRectF(1, 2, 4, 5)},
        {"circle", "0\nCIRCLE\n10\n10\n20\n10\n40\n3\n", 1, 0, QRectF(7, 7, 6, 6)},
        {"arc, a quarter from 0 to 90 degrees", "0\nARC\n10\n0\n20\n0\n40\n2\n50\n0\n51\n90\n", 1, 0, QRectF(0, 0, 2, 2)},
        {"arc across 0 degrees", "0\nARC\n10\n0\n20\n0\n40\n1\n50\n270\n51\n90\n", 1, 0, QRectF(0, -1, 1, 2)},
        {"closed light polyline", "0\nLWPOLYLINE\n90\n3\n70\n1\n10\n0\n20\n0\n10\n4\n20\n0\n10\n4\n20\n3\n", 1, 0, QRectF(0, 0, 4, 3)},
        {"a bulge of 1 is a half circle", "0\nLWPOLYLINE\n90\n2\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n", 1, 0, QRectF(0, -1, 2, 1)},
        {"old polyline with its vertices", "0\nPOLYLINE\n66\n1\n70\n0\n0\nVERTEX\n10\n1\n20\n1\n0\nVERTEX\n10\n3\n20\n4\n0\nSEQEND\n", 1, 0, QRectF(1, 1, 2, 3)},
        {"ellipse, major axis 4 along x, ratio 0.5", "0\nELLIPSE\n10\n0\n20\n0\n11\n4\n21\n0\n40\n0.5\n41\n0\n42\n6.283185307\n", 1, 0, QRectF(-4, -2, 8, 4)},
        {"spline without knots runs along its points", "0\nSPLINE\n71\n3\n10\n0\n20\n0\n10\n1\n20\n2\n10\n2\n20\n0\n", 1, 0, QRectF(0, 0, 2, 2)},
        {"text", "0\nTEXT\n10\n5\n20\n5\n40\n2\n1\nA-1\n", 0, 1, QRectF()},
        {"mtext", "0\nMTEXT\n10\n5\n20\n5\n40\n2\n1\n{\\fSimSun;技术要求}\\P第二行\n", 0, 1, QRectF()},
        {"paper space is left out", "0\nLINE\n67\n1\n10\n0\n20\n0\n11\n1\n21\n1\n", 0, 0, QRectF()},
        {"an unknown entity is passed over", "0\nHATCH\n10\n0\n20\n0\n0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n", 1, 0, QRectF(0, 0, 1, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DxfScene scene = PlaceDrawing(ReadDxfDrawing(Entities(c.body)));
        EXPECT_EQ(scene.paths.size(), c.paths);
        EXPECT_EQ(scene.labels.size(), c.labels);
        if (!c.bounds.isNull() && !scene.paths.isEmpty()) {
            QRectF lines;
            for (const QPolygonF& path : scene.paths)
                lines |= path.boundingRect();
            EXPECT_NEAR(lines.left(), c.bounds.left(), 1e-6);
            EXPECT_NEAR(lines.top(), c.bounds.top(), 1e-6);
            EXPECT_NEAR(lines.right(), c.bounds.right(), 1e-6);
            EXPECT_NEAR(lines.bottom(), c.bounds.bottom(), 1e-6);
        }
    }
}

TEST(DxfDrawing, MTextFormatCodesAreGoneAndItsLinesKept)
{
    const DxfDrawing drawing = ReadDxfDrawing(Entities("0\nMTEXT\n10\n0\n20\n0\n40\n2\n3\n{\\H0.7x;\\C1;孔%%c72}\n1\n\\P\\S+0.03^0;\n"));
    ASSERT_EQ(drawing.model.labels.size(), 1);
    EXPECT_EQ(drawing.model.labels[0].text, QStringLiteral("孔Ø72\n+0.03/0"));
}

TEST(DxfDrawing, BlocksArePlacedWhereTheyAreInsertedScaledAndTurned)
{
    // HOLE: a line from its base (1, 1) to (2, 1); PAIR inserts HOLE twice, itself inserted turned.
    const QByteArray blocks = "0\nBLOCK\n2\nHOLE\n10\n1\n20\n1\n0\nLINE\n10\n1\n20\n1\n11\n2\n21\n1\n0\nENDBLK\n"
                              "0\nBLOCK\n2\nPAIR\n10\n0\n20\n0\n0\nINSERT\n2\nHOLE\n10\n0\n20\n0\n"
                              "0\nINSERT\n2\nHOLE\n10\n0\n20\n5\n41\n2\n0\nENDBLK\n";
    const QByteArray body = "0\nINSERT\n2\nPAIR\n10\n10\n20\n0\n50\n90\n";
    const DxfScene scene = PlaceDrawing(ReadDxfDrawing(Entities(body, blocks)));
    ASSERT_EQ(scene.paths.size(), 2);
    // The first: base to (10, 0), along y after the turn; the second 5 further "up" (−x), twice as long.
    EXPECT_TRUE(Near(scene.paths[0].first(), QPointF(10, 0)));
    EXPECT_TRUE(Near(scene.paths[0].last(), QPointF(10, 1)));
    EXPECT_TRUE(Near(scene.paths[1].first(), QPointF(5, 0)));
    EXPECT_TRUE(Near(scene.paths[1].last(), QPointF(5, 2)));
}

TEST(DxfDrawing, HostileBlocksEndWithPartOfTheDrawing)
{
    // A block inserting itself; a chain deeper than the limit; ten inserts a level, ten levels deep.
    const QByteArray selfInsert = "0\nBLOCK\n2\nA\n0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n0\nINSERT\n2\nA\n10\n1\n20\n0\n0\nENDBLK\n";
    const DxfScene cyclic = PlaceDrawing(ReadDxfDrawing(Entities("0\nINSERT\n2\nA\n10\n0\n20\n0\n", selfInsert)));
    EXPECT_TRUE(cyclic.cyclic);
    EXPECT_EQ(cyclic.paths.size(), 1);

    QByteArray chain;
    for (int i = 0; i < 40; ++i)
        chain += QStringLiteral("0\nBLOCK\n2\nB%1\n0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n0\nINSERT\n2\nB%2\n10\n1\n20\n0\n0\nENDBLK\n")
                     .arg(i).arg(i + 1).toLatin1();
    DxfSceneLimits limits;
    limits.maxDepth = 16;
    const DxfScene deep = PlaceDrawing(ReadDxfDrawing(Entities("0\nINSERT\n2\nB0\n10\n0\n20\n0\n", chain)), limits);
    EXPECT_TRUE(deep.cut);
    EXPECT_EQ(deep.paths.size(), 16);

    QByteArray bomb;
    for (int level = 0; level < 10; ++level) {
        bomb += QStringLiteral("0\nBLOCK\n2\nL%1\n").arg(level).toLatin1();
        for (int i = 0; i < 10; ++i)
            bomb += level == 9 ? QByteArray("0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n")
                               : QStringLiteral("0\nINSERT\n2\nL%1\n10\n%2\n20\n0\n").arg(level + 1).arg(i).toLatin1();
        bomb += "0\nENDBLK\n";
    }
    limits.maxPoints = 100'000;
    const DxfScene bombed = PlaceDrawing(ReadDxfDrawing(Entities("0\nINSERT\n2\nL0\n10\n0\n20\n0\n", bomb)), limits);
    EXPECT_TRUE(bombed.cut);
    EXPECT_LE(bombed.paths.size(), 50'000);
}

TEST(DxfDrawing, FilesThatAreNoDrawingSayWhy)
{
    EXPECT_FALSE(ReadDxfDrawing(QByteArray("AutoCAD Binary DXF\r\n\x1a\0", 22) + "xx").error.isEmpty());
    EXPECT_FALSE(ReadDxfDrawing("").error.isEmpty());
    // Damage after a line: the line is kept and the damage told.
    const DxfDrawing damaged = ReadDxfDrawing(Entities("0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\nnot a code\nx\n"));
    EXPECT_EQ(damaged.model.paths.size(), 1);
    EXPECT_FALSE(damaged.damage.isEmpty());
    // Coordinates too far to be a drawing count as 0, so the rest still shows.
    EXPECT_LE(BoundsOf(Entities("0\nLINE\n10\n1e300\n20\n0\n11\n1\n21\n1\n")).width(), 1.0);
}

TEST(DxfDrawing, TheSceneIsFittedIntoThePicture)
{
    const DxfScene scene = PlaceDrawing(ReadDxfDrawing(Entities("0\nLINE\n10\n0\n20\n0\n11\n1000\n21\n500\n")));
    const QImage picture = DrawScene(scene, QSize(200, 100));
    ASSERT_EQ(picture.size(), QSize(200, 100));
    // The line runs from the bottom left to the top right, within the margin.
    const auto dark = [&](int x, int y) { return qGray(picture.pixel(x, y)) < 160; };
    const auto darkNear = [&](int x, int y) { return dark(x, y - 1) || dark(x, y) || dark(x, y + 1); };
    EXPECT_TRUE(darkNear(picture.width() / 2, picture.height() / 2));
    EXPECT_FALSE(dark(1, 1));
    EXPECT_FALSE(dark(picture.width() - 2, picture.height() - 2));
}
