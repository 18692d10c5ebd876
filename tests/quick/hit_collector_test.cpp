// The hits of one kind: counted exactly however many there are, the best kept, one a code
// where a kind lists a part once.
#include "HitCollector.h"

#include <gtest/gtest.h>

using namespace zq::quick;

namespace {

QuickHit Hit(const QString& code, MatchTier tier, const QString& date)
{
    QuickHit hit;
    hit.kind = QStringLiteral("设计零部件");
    hit.code = code;
    hit.tier = tier;
    hit.date = date;
    return hit;
}

TEST(HitCollector, CountsEveryHitAndKeepsTheBestRanked)
{
    HitCollector hits(3, false);
    for (int i = 0; i < 1000; ++i)
        hits.add(Hit(QStringLiteral("C%1").arg(i), i == 777 ? MatchTier::CodeSame : MatchTier::CodeContains,
                     QStringLiteral("2026-01-%1").arg(1 + i % 28, 2, 10, QChar(u'0'))));
    EXPECT_EQ(hits.count(), 1000);
    const QList<QuickHit> best = hits.best();
    ASSERT_EQ(best.size(), 3);
    EXPECT_EQ(best[0].code, QStringLiteral("C777"));
    EXPECT_EQ(best[1].date, QStringLiteral("2026-01-28"));
    EXPECT_EQ(best[2].date, QStringLiteral("2026-01-28"));
}

TEST(HitCollector, OneHitPerCodeKeepsTheBestOfEach)
{
    HitCollector hits(10, true);
    hits.add(Hit(QStringLiteral("A"), MatchTier::CodeSame, QString()));            // a part-list line
    hits.add(Hit(QStringLiteral("A"), MatchTier::CodeSame, QStringLiteral("2026-02-01")));   // its drawing
    hits.add(Hit(QStringLiteral("A"), MatchTier::CodeSame, QStringLiteral("2025-02-01")));   // an older one
    hits.add(Hit(QStringLiteral("B"), MatchTier::Name, QStringLiteral("2026-03-01")));
    EXPECT_EQ(hits.count(), 2);
    const QList<QuickHit> best = hits.best();
    ASSERT_EQ(best.size(), 2);
    EXPECT_EQ(best[0].code, QStringLiteral("A"));
    EXPECT_EQ(best[0].date, QStringLiteral("2026-02-01"));
}

TEST(HitCollector, CountsTextJoinsTheKindsWithHits)
{
    QuickResult result;
    result.kinds = {{QStringLiteral("设计零部件"), 12, {}, {}, {}},
                    {QStringLiteral("批次产品"), 0, {}, {}, {}},
                    {QStringLiteral("设计文档"), 3, {}, {}, {}}};
    EXPECT_EQ(result.countsText(), QStringLiteral("设计零部件 12 · 设计文档 3"));
}

} // namespace
