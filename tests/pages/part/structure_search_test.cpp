// The product-structure search over small databases of its own: the places found, the scope
// filter, the names shown, cycles, deep chains, shared assemblies and cancel.
#include "ListCtrl.h"
#include "PartSql.h"
#include "PartTestDb.h"
#include "StructureSearch.h"

using namespace zq::part;
using parttest::Line;

namespace {

class StructureSearchTest : public parttest::PartDatabase {
protected:
    QList<StructurePath> Collect(const QString& product, const QString& condition)
    {
        return CollectStructurePaths({zq::CZQDBConnect::GetCurDBConnect(), zq::CZQDBConnect::GetCurDBConnect()->GetPtrPDM(),
                                      zq::CZQDBConnect::GetCurDBConnect()->m_nDataSystemType},
                                     product, condition);
    }
    static QStringList Texts(const QList<StructurePath>& paths)
    {
        QStringList texts;
        for (const StructurePath& p : paths)
            texts << p.text;
        return texts;
    }
    // The rows shown for the paths inside the scope, as "code|name|path".
    QStringList Shown(const QList<StructurePath>& paths, const QString& scope)
    {
        CReportListCtrl list;
        for (int c = 0; c < 6; ++c)
            list.InsertColumn(c, QString());
        list.InsertItem(0, QStringLiteral("old row"));
        ShowStructurePaths(list, paths, scope, zq::CZQDBConnect::GetCurDBConnect());
        QStringList rows;
        for (int r = 0; r < list.GetItemCount(); ++r)
            rows << list.GetItemText(r, 0) + "|" + list.GetItemText(r, 1) + "|" + list.GetItemText(r, 2) +
                        list.GetItemText(r, 3) + list.GetItemText(r, 4) + list.GetItemText(r, 5);
        return rows;
    }
    // Counts the statements sent that start with the prefix.
    void CountStatements(const QString& prefix, int* count)
    {
        zq::SetSqlTraceListener([prefix, count](const QString& sql) {
            if (sql.startsWith(prefix))
                ++*count;
        });
    }
};

TEST_P(StructureSearchTest, PlacesAndScope)
{
    AddLines({
        {"P", "P", "B", "螺栓"},
        {"P", "P", "A1", "部件一"},
        {"P", "P", "A2", "部件二"},
        {"P", "A1", "C", "垫圈"},
        {"P", "A2", "C", "垫圈"},
        {"P", "P", "AB", "部件三"},
        {"P", "AB", "C", "垫圈"},
        {"Q", "Q", "C", "别的产品"},
    });
    const struct {
        const char* name;
        const char* condition;
        const char* scope;
        QStringList rows;
    } cases[] = {
        {"direct", "Dcode LIKE '%B%' ", "P", {"B|螺栓|P::B", "AB|部件三|P::AB"}},
        {"two_places", "Dcode LIKE '%C%' ", "P", {"C|垫圈|P::A1::C", "C|垫圈|P::A2::C", "C|垫圈|P::AB::C"}},
        {"scope_branch", "Dcode LIKE '%C%' ", "P::A1", {"C|垫圈|P::A1::C"}},
        {"scope_by_characters", "Dcode LIKE '%C%' ", "P::A", {"C|垫圈|P::A1::C", "C|垫圈|P::A2::C", "C|垫圈|P::AB::C"}},
        {"scope_ignores_case", "Dcode LIKE '%C%' ", "p::ab", {"C|垫圈|P::AB::C"}},
        {"scope_longer_than_path", "Dcode LIKE '%B%' ", "P::B::X", {}},
        {"empty_condition", "", "P::A2",
         {"A2|部件二|P::A2", "C|垫圈|P::A2::C"}},
        {"no_match", "Dcode LIKE '%Z%' ", "P", {}},
    };
    for (const auto& c : cases) {
        // The database decides the order of the lines; the set of places is what counts here.
        const QList<StructurePath> paths = Collect("P", QString::fromUtf8(c.condition));
        QStringList shown = Shown(paths, QString::fromUtf8(c.scope));
        QStringList want = c.rows;
        shown.sort();
        want.sort();
        EXPECT_EQ(shown, want) << c.name;
    }
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(StructureSearchTest, ProductTestIgnoresCase)
{
    AddLines({{"P", "p", "A", "部件"}, {"P", "A", "B", "零件"}});
    EXPECT_EQ(Texts(Collect("P", "Dcode LIKE '%B%' ")), QStringList{"p::A::B"});
}

TEST_P(StructureSearchTest, QuotesInCodes)
{
    AddLines({{"P'1", "P'1", "A'1", "部件"}, {"P'1", "A'1", "O'型圈", "O'型圈"}});
    const QList<StructurePath> paths = Collect("P'1", StructureCondition({"O'*"}));
    EXPECT_EQ(Shown(paths, "P'1"), QStringList{"O'型圈|O'型圈|P'1::A'1::O'型圈"});
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(StructureSearchTest, CycleEnds)
{
    AddLines({{"P", "P", "A", "甲"}, {"P", "A", "B", "乙"}, {"P", "B", "A", "甲"}, {"P", "B", "B", "乙"}});
    EXPECT_EQ(Texts(Collect("P", "")), (QStringList{"P::A", "P::A::B"}));
}

TEST_P(StructureSearchTest, DeepChain)
{
    const int depth = 10000;
    std::vector<Line> lines;
    lines.push_back({"P", "P", "C1", "第1级"});
    for (int i = 1; i < depth; ++i)
        lines.push_back({"P", QStringLiteral("C%1").arg(i), QStringLiteral("C%1").arg(i + 1), QStringLiteral("第%1级").arg(i + 1)});
    AddLines(lines);
    int upward = 0;
    CountStatements("SELECT UpCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='P' AND DCode=", &upward);
    const QList<StructurePath> paths = Collect("P", "Dcode LIKE '%C10000%' ");
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(paths[0].text.count("::"), depth);
    EXPECT_TRUE(paths[0].text.startsWith("P::C1::C2::C3::"));
    EXPECT_TRUE(paths[0].text.endsWith("::C9999::C10000"));
    EXPECT_EQ(upward, depth - 1);
    EXPECT_EQ(Shown(paths, "P::C1::C2").value(0).section('|', 0, 1), "C10000|第10000级");
}

TEST_P(StructureSearchTest, SharedAssemblyQueriedOnce)
{
    const int places = 200;
    std::vector<Line> lines;
    for (int i = 1; i <= places; ++i) {
        lines.push_back({"P", "P", QStringLiteral("A%1").arg(i), "部件"});
        lines.push_back({"P", QStringLiteral("A%1").arg(i), "S", "共用组件"});
    }
    lines.push_back({"P", "S", "B1", "轴"});
    lines.push_back({"P", "S", "B2", "套"});
    AddLines(lines);
    int upward = 0;
    CountStatements("SELECT UpCode FROM ZqlomiraAll_detail", &upward);
    const QList<StructurePath> paths = Collect("P", "Dcode LIKE '%B%' ");
    ASSERT_EQ(paths.size(), 2 * places);
    EXPECT_EQ(paths[0].text, "P::A1::S::B1");
    EXPECT_EQ(paths[places - 1].text, QStringLiteral("P::A%1::S::B1").arg(places));
    EXPECT_EQ(paths[places].text, "P::A1::S::B2");
    EXPECT_EQ(upward, 1 + places);

    int names = 0;
    CountStatements("SELECT DName FROM ZqlomiraAll_detail", &names);
    const QStringList rows = Shown(paths, "P::A7::");
    EXPECT_EQ(rows, (QStringList{"B1|轴|P::A7::S::B1", "B2|套|P::A7::S::B2"}));
    EXPECT_LE(names, 2);
}

TEST_P(StructureSearchTest, CountAndRowsStatements)
{
    AddLines({{"P", "P", "B", "螺栓"}});
    QStringList sent;
    zq::SetSqlTraceListener([&sent](const QString& sql) { sent << sql; });
    Collect("P", "Dcode LIKE '%B%' ");
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent[0], "SELECT count(*) FROM ZqlomiraAll_detail WHERE ProductDwgCode='P' AND Dcode LIKE '%B%' ");
    EXPECT_EQ(sent[1], "SELECT UpCode, DCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='P' AND Dcode LIKE '%B%' ");
}

TEST_P(StructureSearchTest, CancelKeepsPathsSoFar)
{
    AddLines({{"P", "P", "B1", "一"}, {"P", "P", "B2", "二"}, {"P", "P", "B3", "三"}});
    desktop.cancelAfterRows = 2;
    EXPECT_EQ(Texts(Collect("P", "")), (QStringList{"P::B1", "P::B2"}));
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(StructureSearchTest, DatabaseErrorIsReported)
{
    AddLines({{"P", "P", "B", "螺栓"}});
    // A condition naming a column that does not exist: the count fails, the user is told.
    EXPECT_TRUE(Collect("P", "NoSuchColumn LIKE '%B%' ").isEmpty());
    EXPECT_EQ(desktop.messages().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, StructureSearchTest,
                         ::testing::ValuesIn(zq::test::EngineNames()), parttest::EngineName);

} // namespace
