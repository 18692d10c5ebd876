// The quick search over the demo database on every engine: however the code is typed, the
// drawing itself comes first; counts are exact beyond what is listed; a pasted list keeps its
// order and tells what is not there.
#include "PastedList.h"
#include "QuickSearch.h"
#include "SeededHome.h"
#include "ZQDBConnect.h"

#include <gtest/gtest.h>

using namespace zq::quick;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

struct WithApp {
    WithApp() { zq::test::EnsureApp(); }
};

class QuickSearchDemo : public WithApp, public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (!m_engine.available())
            GTEST_SKIP() << m_engine.skipReason();
        ASSERT_TRUE(m_engine.ok()) << str(m_engine.error());
        m_database = std::make_unique<zq::test::ScopedCurrentDatabase>(m_engine.databaseUrl());
        ASSERT_TRUE(m_database->ok()) << str(m_database->error());
        m_search = std::make_unique<QuickSearch>(m_database->connection()->GetPtrPDM(), nullptr);
    }
    QuickResult Run(const QString& text, const QStringList& kinds = {}, int limit = kHitsPerKind)
    {
        const QuickResult result = m_search->run({text, kinds, limit});
        EXPECT_TRUE(result.problems().isEmpty()) << str(result.problems().join(u'\n'));
        return result;
    }
    const KindResult* Kind(const QuickResult& result, const QString& caption)
    {
        for (const KindResult& kind : result.kinds)
            if (kind.kind == caption)
                return &kind;
        return nullptr;
    }

    zq::test::EngineHome m_engine{QString::fromLatin1(GetParam())};
    std::unique_ptr<zq::test::ScopedCurrentDatabase> m_database;
    std::unique_ptr<QuickSearch> m_search;
};

TEST_P(QuickSearchDemo, TheDrawingComesFirstHoweverItsNumberIsTyped)
{
    for (const char* typed : {"zq8600 01", "ZQ8600-01", "ＺＱ８６００－０１", "zq8600_01"}) {
        SCOPED_TRACE(typed);
        const QList<QuickHit> hits = Run(QString::fromUtf8(typed)).rankedHits();
        ASSERT_FALSE(hits.isEmpty());
        EXPECT_EQ(hits[0].kind, QStringLiteral("设计零部件"));
        EXPECT_EQ(hits[0].code, QStringLiteral("ZQ8600-01"));
        EXPECT_EQ(hits[0].tier, MatchTier::CodeSame);
        EXPECT_EQ(hits[0].name, QStringLiteral("箱体部件"));
        // ZQ8600-01-02 and its kin begin with the number: listed after it, never as the same.
        for (qsizetype i = 1; i < hits.size(); ++i) {
            if (hits[i].kind == hits[0].kind) {
                EXPECT_NE(hits[i].tier, MatchTier::CodeSame) << str(hits[i].code);
            }
        }
    }
}

TEST_P(QuickSearchDemo, WordsPrefixesAndKindsNarrowTheHits)
{
    struct Case {
        const char* typed;
        const char* kind;
        const char* code;
        MatchTier tier;
    } const cases[] = {
        {"名称:箱盖", "设计零部件", "ZQ8600-01-02", MatchTier::Name},
        {"箱盖 zq8600", "设计零部件", "ZQ8600-01-02", MatchTier::Name},
        {"O'型圈", "设计零部件", "ZQ8600-00-01", MatchTier::Name},
        {"xg2026 001", "更改单", "XG2026-001", MatchTier::CodeSame},
        {"zq8600 02", "设计零部件", "ZQ8600-02", MatchTier::CodeSame},
        {"zq8600 02", "设计零部件", "ZQ8600-01-02", MatchTier::CodeContains},
        {"编号:XG2026-00?", "更改单", "XG2026-001", MatchTier::CodeSame},
        // A document of product ZQ8600 is ranked by its own number, not by its product's.
        {"zq8600", "设计文档", "ZQ8600-01-02", MatchTier::CodeStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const QuickResult result = Run(QString::fromUtf8(c.typed));
        const KindResult* kind = Kind(result, QString::fromUtf8(c.kind));
        ASSERT_NE(kind, nullptr);
        const auto hit = std::find_if(kind->hits.begin(), kind->hits.end(),
                                      [&](const QuickHit& h) { return h.code == QString::fromUtf8(c.code); });
        ASSERT_NE(hit, kind->hits.end()) << "counts: " << str(result.countsText());
        EXPECT_EQ(hit->tier, c.tier) << str(TierName(hit->tier));
    }
    // A word must be in the same record: no part is named both 箱盖 and 输入轴.
    EXPECT_EQ(Kind(Run(QStringLiteral("箱盖 输入轴")), QStringLiteral("设计零部件"))->count, 0);
    // A prefix the kind has no field for leaves the kind out.
    EXPECT_EQ(Kind(Run(QStringLiteral("编制:张伟")), QStringLiteral("资源文件"))->count, 0);
    const QuickResult onlyOrders = Run(QStringLiteral("XG2026"), {QStringLiteral("更改单")});
    ASSERT_EQ(onlyOrders.kinds.size(), 1);
    EXPECT_EQ(onlyOrders.kinds[0].kind, QStringLiteral("更改单"));
}

TEST_P(QuickSearchDemo, CountsAreExactWhenFewerHitsAreListed)
{
    const QuickResult all = Run(QStringLiteral("ZQ8600"), {QStringLiteral("设计零部件")});
    const QuickResult two = Run(QStringLiteral("ZQ8600"), {QStringLiteral("设计零部件")}, 2);
    ASSERT_EQ(two.kinds.size(), 1);
    EXPECT_GT(two.kinds[0].count, 10);
    EXPECT_EQ(two.kinds[0].count, all.kinds[0].count);
    ASSERT_EQ(two.kinds[0].hits.size(), 2);
    EXPECT_EQ(two.kinds[0].hits[0].code, QStringLiteral("ZQ8600"));
    EXPECT_EQ(two.kinds[0].hits, all.kinds[0].hits.mid(0, 2));
}

TEST_P(QuickSearchDemo, PastedListKeepsItsOrderAndNamesTheNearestCode)
{
    const QStringList codes{"ZQ8600-01", "ZQ9999-99", "zq8700 01", "ZQ8600-09", "XG2026-001"};
    const QList<ListLine> lines = CheckPastedList(*m_search, codes, {});
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lines[i].input, codes[i]);
    EXPECT_EQ(lines[0].found.value(0).code, QStringLiteral("ZQ8600-01"));
    EXPECT_TRUE(lines[1].found.isEmpty());
    EXPECT_EQ(lines[2].found.value(0).code, QStringLiteral("ZQ8700-01"));
    EXPECT_TRUE(lines[3].found.isEmpty());
    EXPECT_EQ(lines[3].nearest, QStringLiteral("ZQ8600-01"));
    EXPECT_EQ(lines[4].found.value(0).kind, QStringLiteral("更改单"));
    for (const ListLine& line : lines)
        for (const QuickHit& hit : line.found)
            EXPECT_TRUE(IsCodeFound(hit.tier)) << str(line.input) << " → " << str(hit.code);

    // A product's number finds the product, not every document filed under it.
    for (const QuickHit& hit : CheckPastedList(*m_search, {QStringLiteral("ZQ8600")}, {}).value(0).found)
        EXPECT_EQ(hit.code, QStringLiteral("ZQ8600")) << str(hit.kind);

    const QList<QStringList> rows = ListRows(lines);
    const auto missing = std::count_if(rows.begin(), rows.end(), [](const QStringList& row) { return row[1] == kNotFound; });
    EXPECT_EQ(missing, 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, QuickSearchDemo, testing::ValuesIn(zq::test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

} // namespace
