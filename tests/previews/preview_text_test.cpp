// The words of a 文档内容 hit in the file's text: found as the content search finds them (case and
// width folded), each with its context, pieces that touch joined; and the pane's place beside
// the list, which leaves each of them room.
#include "PaneSplit.h"
#include "SearchFolding.h"
#include "TextExcerpts.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace zq::preview;

TEST(TextExcerpts, EveryOccurrenceWithItsContext)
{
    const struct {
        const char* name;
        QString text;
        QStringList words;
        qsizetype context;
        QString excerpts;
        int hits;
    } cases[] = {
        {"one word, context cut at both ends", QStringLiteral("0123轴承4567"), {QStringLiteral("轴承")}, 2,
         QStringLiteral("…23轴承45…"), 1},
        {"case and width folded", QStringLiteral("材料HT200与ｈｔ２００"), {QStringLiteral("ht200")}, 20,
         QStringLiteral("材料HT200与ｈｔ２００"), 2},
        {"pieces far apart", QStringLiteral("aXbbbbbbbbbbXa"), {QStringLiteral("X")}, 1, QStringLiteral("aXb…\n\n…bXa"), 2},
        {"two words, the longer first where they start together", QStringLiteral("轴承孔"), {QStringLiteral("轴承"), QStringLiteral("轴承孔")}, 5,
         QStringLiteral("轴承孔"), 1},
        {"no occurrence", QStringLiteral("abc"), {QStringLiteral("z")}, 5, QString(), 0},
        {"an empty word finds nothing", QStringLiteral("abc"), {QString()}, 5, QString(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextExcerpts excerpts = ExcerptsAround(c.text, c.words, c.context);
        EXPECT_EQ(excerpts.text, c.excerpts);
        ASSERT_EQ(excerpts.hits.size(), c.hits);
        // Each hit marks a word in the excerpts' own text.
        for (const TextRange& hit : excerpts.hits) {
            const QString found = zq::FoldForSearch(excerpts.text.mid(hit.start, hit.length));
            EXPECT_TRUE(std::any_of(c.words.begin(), c.words.end(),
                                    [&](const QString& word) { return !word.isEmpty() && zq::FoldForSearch(word) == found; }))
                << found.toStdString();
        }
    }
}

TEST(PaneSplit, ThePaneAndTheListEachKeepRoom)
{
    const struct {
        int placeWidth;
        int wanted;
        int pane;
    } cases[] = {
        {800, 0, 320},                                          // two fifths by default
        {800, 300, 300},
        {800, 10, kSmallestPaneWidth},                          // not narrower than this
        {800, 5000, 800 - kPaneHandleWidth - kSmallestListWidth},   // the list keeps its least
        {200, 300, (200 - kPaneHandleWidth) * 2 / 5},           // too narrow for both: shares
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placeWidth);
        const QRect place(10, 20, c.placeWidth, 300);
        const PaneSplit split = SplitBesideList(place, c.wanted);
        EXPECT_EQ(split.pane.width(), c.pane);
        EXPECT_EQ(split.list.left(), place.left());
        EXPECT_EQ(split.handle.left(), split.list.right() + 1);
        EXPECT_EQ(split.pane.left(), split.handle.right() + 1);
        EXPECT_EQ(split.pane.right(), place.right());
        EXPECT_EQ(split.pane.height(), place.height());
    }
}
