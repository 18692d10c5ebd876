// The quick search with the index of folded codes that zqpdm-index keeps beside the content index:
// the same hits as without it for every kind of typed text, codes written oddly included; rows
// written after the last run are found all the same; the next run takes in new, changed and
// deleted rows and nothing else; an index without it (of the layout before) is searched as before.
#include "CodeIndexLayout.h"
#include "IndexTestKit.h"
#include "QuickSearch.h"
#include "ZQDBConnect.h"

using namespace zq;
using namespace zq::quick;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

// Every hit of every kind, as one line each, with the counts: what a user sees of a search.
QStringList Seen(const QuickResult& result)
{
    QStringList lines{result.countsText()};
    for (const QuickHit& hit : result.rankedHits())
        lines.append(QStringList{hit.kind, hit.code, hit.name, hit.date, TierName(hit.tier), hit.note}.join(u'|'));
    return lines;
}

// Codes as users and other programs write them, each stored in a drawing of its own.
const char* const kOddCodes[] = {
    "ZQ·8600/01-A", "zq 8600.01_b", "O'RING-100", "100%-X_1", "KEY%1-42", "ÄRM-ß-7",
};

class QuickCodeIndex : public test::IndexTest {
protected:
    void SetUp() override
    {
        IndexTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_content = std::make_unique<ContentIndex>(indexUrl);
        m_search = std::make_unique<QuickSearch>(db.connection()->GetPtrPDM(), m_content.get());
    }
    void AddDrawing(const QString& code, const QString& name)
    {
        ASSERT_EQ(PdmSql(QStringLiteral("INSERT INTO ZqlomiraAll_title (Tcode, Tname, Tdesigner, Ttime, ProductDwgCode) "
                                        "VALUES (?, ?, ?, ?, ?)"),
                         {code, name, QStringLiteral("张伟"), QStringLiteral("2026-12-02 08:00:00"), QStringLiteral("ZQ8600")}),
                  QString());
    }
    // The search with the index and without it; the statements sent to the index counted.
    QuickResult Indexed(const QString& typed)
    {
        m_search->setUseCodeIndex(true);
        return m_search->run({typed, {}, kHitsPerKind});
    }
    QuickResult Both(const QString& typed, int* indexStatements = nullptr)
    {
        int asked = 0;
        SetSqlTraceListener([&asked](const QString& sql) { asked += sql.contains(codeindex::kTextTable) ? 1 : 0; });
        m_search->setUseCodeIndex(true);
        const QuickResult indexed = m_search->run({typed, {}, kHitsPerKind});
        SetSqlTraceListener({});
        m_search->setUseCodeIndex(false);
        const QuickResult scanned = m_search->run({typed, {}, kHitsPerKind});
        EXPECT_EQ(Seen(indexed), Seen(scanned)) << str(typed);
        EXPECT_TRUE(indexed.problems().isEmpty()) << str(indexed.problems().join(u'\n'));
        if (indexStatements)
            *indexStatements = asked;
        return indexed;
    }
    bool Found(const QString& typed, const QString& code)
    {
        for (const QuickHit& hit : Both(typed).rankedHits())
            if (hit.code == code)
                return true;
        return false;
    }

    std::unique_ptr<ContentIndex> m_content;
    std::unique_ptr<QuickSearch> m_search;
};

TEST_P(QuickCodeIndex, FindsWhatTheTablesHoldWithOrWithoutTheIndex)
{
    for (const char* code : kOddCodes)
        AddDrawing(QString::fromUtf8(code), QStringLiteral("异形编号"));
    const index::IndexRunReport report = Index();
    ASSERT_TRUE(report.upToDate()) << str(report.fatal) << str(report.codes.problems.join(u'\n'));
    // Kept where the PDM database and the index are SQLite files; elsewhere not made at all.
    EXPECT_EQ(report.codesKept, !onPostgres());
    if (report.codesKept) {
        EXPECT_GT(report.codes.tables, 10);
        EXPECT_EQ(report.codes.added, report.codes.rows);
    }
    const char* const typed[] = {
        "zq8600 01", "ZQ8600-01", "ＺＱ８６００－０１", "zq8600_01", "8600", "螺", "箱盖 zq8600", "O'型圈",
        "xg2026 001", "编号:XG2026-00?", "名称:箱盖", "\"ZQ8600-01\"", "编制:张伟", "图号:zq8600 02", "GB5783",
        "m8x20", "8600 01 a", "zq8600.01.b", "o'ring", "100%", "%1-42", "key%1", "ärm ß", "ARM-SS-7", "ZQ*01?",
        "异形编号 zq8600", "内容:镀锌钝化", "no such thing anywhere", "''; DROP TABLE QuickCodeText; --",
    };
    for (const char* text : typed) {
        int asked = 0;
        const QuickResult result = Both(QString::fromUtf8(text), &asked);
        if (QByteArray(text) == "zq8600 01") {
            if (report.codesKept) {
                EXPECT_GT(asked, 0) << "the index was not used";
            }
            ASSERT_FALSE(result.rankedHits().isEmpty());
            EXPECT_EQ(result.rankedHits().first().code, QStringLiteral("ZQ8600-01"));
        }
    }
    // Every odd code is found by itself typed plainly, whichever way it was stored.
    EXPECT_TRUE(Found(QStringLiteral("zq8600 01 a"), QStringLiteral("ZQ·8600/01-A")));
    EXPECT_TRUE(Found(QStringLiteral("100%x1"), QStringLiteral("100%-X_1")));

    // A code stored in full-width forms: the tables' LIKE folds case but not width, the index
    // holds the code folded, so it is found through the index alone.
    AddDrawing(QString::fromUtf8("ＺＱ８６００－０１Ｃ"), QStringLiteral("全角编号"));
    ASSERT_TRUE(Index().upToDate());
    if (report.codesKept) {
        const QList<QuickHit> hits = Indexed(QStringLiteral("ZQ8600-01-C")).rankedHits();
        ASSERT_FALSE(hits.isEmpty());
        EXPECT_EQ(hits.first().code, QString::fromUtf8("ＺＱ８６００－０１Ｃ"));
        EXPECT_EQ(hits.first().tier, MatchTier::CodeNear);
    }
}

TEST_P(QuickCodeIndex, RowsWrittenSinceTheLastRunAreFoundAndTheNextRunTakesThemIn)
{
    ASSERT_TRUE(Index().upToDate());
    // Written after the run: above the index's high-water mark.
    AddDrawing(QStringLiteral("QX7001-05"), QStringLiteral("新图纸"));
    ASSERT_EQ(PdmSql(QStringLiteral("UPDATE ZqlomiraAll_title SET Tcode = 'QX7002-09' WHERE Tcode = 'ZQ8600-01-02'")), QString());
    ASSERT_EQ(PdmSql(QStringLiteral("DELETE FROM ZqlomiraAll_title WHERE Tcode = 'ZQ8600-02'")), QString());
    EXPECT_TRUE(Found(QStringLiteral("qx7001 05"), QStringLiteral("QX7001-05")));
    Both(QStringLiteral("ZQ8600-02"));   // the deleted drawing: the index offers it, the table does not

    const index::IndexRunReport next = Index();
    ASSERT_TRUE(next.upToDate()) << str(next.codes.problems.join(u'\n'));
    if (next.codesKept) {
        EXPECT_EQ(next.codes.added, 1);
        EXPECT_EQ(next.codes.changed, 1);
        EXPECT_EQ(next.codes.removed, 1);
    }
    EXPECT_TRUE(Found(QStringLiteral("qx7001 05"), QStringLiteral("QX7001-05")));
    EXPECT_TRUE(Found(QStringLiteral("qx7002-09"), QStringLiteral("QX7002-09")));
    // A run with nothing changed writes nothing.
    const index::IndexRunReport quiet = Index();
    EXPECT_EQ(quiet.codes.added + quiet.codes.changed + quiet.codes.removed, 0);
}

TEST_P(QuickCodeIndex, AnIndexOfTheLayoutBeforeIsSearchedWithoutItAndGainsItOnTheNextRun)
{
    ASSERT_TRUE(Index().upToDate());
    MakeEarlierLayout(3);
    if (HasFatalFailure())
        return;
    int asked = 0;
    const QuickResult result = Both(QStringLiteral("zq8600 01"), &asked);
    EXPECT_EQ(asked, 0);
    ASSERT_FALSE(result.rankedHits().isEmpty());
    EXPECT_EQ(result.rankedHits().first().code, QStringLiteral("ZQ8600-01"));
    const index::IndexRunReport upgraded = Index();
    ASSERT_TRUE(upgraded.upToDate()) << str(upgraded.fatal);
    if (!onPostgres()) {
        EXPECT_GT(upgraded.codes.added, 100);
        Both(QStringLiteral("zq8600 01"), &asked);
        EXPECT_GT(asked, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, QuickCodeIndex, testing::ValuesIn(test::IndexEngines()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

} // namespace
