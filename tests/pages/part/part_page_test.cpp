// The "设计零部件" page on a small database: condition rows per kind, enable states, the scope
// from the host tree, plain and structure searches, locate texts and the part menu.
#include "ConditionPageTest.h"
#include "GbkText.h"
#include "ListCtrl.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchPart.h"

#include <QCheckBox>
#include <QDateEdit>

using parttest::Line;

namespace {

enum { kScopeCheck = 1172, kScopeText = 1167, kFrom = 1204, kTo = 1258, kKind = 1256, kConditions = 1318, kResults = 1319 };

class PartPageTest : public parttest::ConditionPageTest<CZQPDMSearchPart> {
protected:
    void SetUp() override
    {
        PartDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CZQPDMSearchFunction::m_pTreeEx = nullptr;
        m_treeOwner = std::make_unique<CTreeCtrlEx>();
        const CTreeItemRecord p{"_Product", "P"}, a{"_Part", "A"}, b{"_Part", "B"};
        m_product = Tree().InsertItem("P", {}, &p);
        m_partA = Tree().InsertItem("A", m_product, &a);
        m_partB = Tree().InsertItem("B", m_partA, &b);
    }
    void TearDown() override
    {
        CZQPDMSearchFunction::m_pTreeEx = nullptr;
        m_host.reset();
        m_treeOwner.reset();
        ConditionPageTest::TearDown();
    }

    QStringList Column(CReportListCtrl& list, int column)
    {
        return list.GetColumnTexts(column);
    }
    // Each result row as "c0|c1|c2|c3|c4|c5", sorted.
    QStringList ResultRows() { return ResultRowsOf(6); }
    void UseTree(const CTreeCursor& selected)
    {
        CZQPDMSearchFunction::m_pTreeEx = &Tree();
        Tree().SelectItem(selected);
    }
    void SeedTitles()
    {
        AddProduct("P1", "产品一");
        AddTitle("A1-100", "轴承座", "P1", "2005-03-10 08:00:00", "OLD-1", "HT200");
        AddTitle("A1-200", "轴", "P9", "2005-03-11 08:00:00", "OLD-2", "45");
        AddTitle("B-1", "O'型圈", "P1", "2005-03-12 08:00:00");
        AddTitle("A1-300", "旧件", "P1", "2003-01-01 08:00:00");
        Insert("PartAttribute", {"PartCode", "GroupCode", "Key_Flag"}, {"A1-100", "0101", "Y"});
        Insert("PartAttribute", {"PartCode", "GroupCode", "Key_Flag"}, {"A1-200", "0102", "N"});
    }

    CTreeCtrlEx& Tree() { return *m_treeOwner; }
    std::unique_ptr<CTreeCtrlEx> m_treeOwner;
    CTreeCursor m_product, m_partA, m_partB;
};

TEST_P(PartPageTest, InitialState)
{
    EXPECT_EQ(zq::ComboIndex(Page(), kKind), 0);
    EXPECT_EQ(zq::ControlText(Page(), kKind), "标题");
    // The kind box is one line high and leaves the condition list below it visible.
    EXPECT_LT(zq::Control(Page(), kKind)->geometry().bottom(), Conditions().geometry().top());
    EXPECT_EQ(Column(Conditions(), 0).mid(0, 3), (QStringList{"图号", "图名", "材料"}));
    EXPECT_EQ(Conditions().GetItemCount(), 16);
    EXPECT_EQ(Column(Conditions(), 1), QStringList(16, QString()));
    EXPECT_TRUE(Conditions().IsColumnEditable(1));
    EXPECT_FALSE(Conditions().IsColumnEditable(0));
    EXPECT_EQ(Conditions().GetHeaderCtrl()->GetItemText(0), "属性项");
    EXPECT_EQ(Conditions().GetHeaderCtrl()->GetItemText(1), "属性值");
    EXPECT_FALSE(Enabled(kScopeCheck));
    EXPECT_TRUE(Enabled(kFrom));
    EXPECT_EQ(zq::ControlAs<QDateEdit>(Page(), kFrom)->date(), QDate(2004, 4, 5));
    EXPECT_EQ(zq::ControlAs<QDateEdit>(Page(), kTo)->date(), QDate(2005, 3, 31));
    const QStringList headers{"零部件图号", "零部件图名", "所在产品", "产品名称", "旧图号", "来源类型"};
    const int widths[] = {100, 120, 120, 120, 120, 120};
    ASSERT_EQ(Results().GetColumnCount(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(Results().GetHeaderCtrl()->GetItemText(c), headers[c]);
        EXPECT_EQ(Results().GetColumnWidth(c), widths[c]);
    }
    EXPECT_TRUE(Page().CanLocate());
    EXPECT_EQ(Page().GetLocateText(), "");
}

TEST_P(PartPageTest, OldCodeSwitchHidesColumnFour)
{
    parttest::ScopedEnv hidden("ZQPDM_OLDCODE", QStringLiteral("1"));
    EXPECT_EQ(Results().GetHeaderCtrl()->GetItemText(4), "");
    EXPECT_EQ(Results().GetColumnWidth(4), 0);
}

TEST_P(PartPageTest, ConfiguredNamesShown)
{
    ASSERT_TRUE(zq::WriteGbkFile(HomeFolder() + "rnds/spt/zqpdmcad.ini",
                                 "[产品属性]\r\n标题其他1=重量\r\n明细规格=规格型号\r\n[零部件附加信息]\r\n附加其他5=备件\r\n"));
    EXPECT_EQ(Column(Conditions(), 0).mid(10, 4), (QStringList{"重量", "其他3", "其他4", "其他5"}));
    SelectKind(1);
    EXPECT_EQ(Column(Conditions(), 0),
              (QStringList{"图号", "图名", "材料", "规格型号", "备注", "类型", "其他1", "其他2"}));
    SelectKind(2);
    EXPECT_EQ(Conditions().GetItemCount(), 12);
    EXPECT_EQ(Conditions().GetItemText(11, 0), "备件");
}

TEST_P(PartPageTest, ValuesKeptPerKindAndEnableStates)
{
    Type(0, "A1");
    Type(15, "正式");
    SelectKind(1);
    EXPECT_EQ(Conditions().GetItemCount(), 8);
    EXPECT_EQ(Column(Conditions(), 1), QStringList(8, QString()));
    Type(0, "D1");
    SelectKind(0);
    EXPECT_EQ(Conditions().GetItemText(0, 1), "A1");
    EXPECT_EQ(Conditions().GetItemText(15, 1), "正式");
    SelectKind(1);
    EXPECT_EQ(Conditions().GetItemText(0, 1), "D1");
    SelectKind(2);
    EXPECT_EQ(Column(Conditions(), 1), QStringList(12, QString()));

    const struct {
        int kind;
        bool scope, dates;
    } states[] = {{1, true, false}, {0, false, true}, {2, false, true}, {1, true, false}};
    for (const auto& s : states) {
        SelectKind(s.kind);
        EXPECT_EQ(Enabled(kScopeCheck), s.scope) << s.kind;
        EXPECT_EQ(Enabled(kFrom), s.dates) << s.kind;
        EXPECT_EQ(Enabled(kTo), s.dates) << s.kind;
    }
}

TEST_P(PartPageTest, ScopeFollowsTheHostTree)
{
    Page();
    // Without a host tree the text stays as it was.
    zq::SetControlText(Page(), kScopeText, "旧范围");
    SelectKind(1);
    EXPECT_EQ(zq::ControlText(Page(), kScopeText), "旧范围");
    SelectKind(0);

    UseTree(m_partB);
    SelectKind(1);
    EXPECT_EQ(zq::ControlText(Page(), kScopeText), "P::A::B");
    Tree().SelectItem(m_product);
    Page().SetTreeItem(m_partB);   // the host's selection counts, not the item passed
    EXPECT_EQ(zq::ControlText(Page(), kScopeText), "P");
    SelectKind(0);
    Tree().SelectItem(m_partA);
    Page().SetTreeItem(m_partA);
    EXPECT_EQ(zq::ControlText(Page(), kScopeText), "P");
    SelectKind(1);
    EXPECT_EQ(zq::ControlText(Page(), kScopeText), "P::A");
}

TEST_P(PartPageTest, PlainTitleSearch)
{
    SeedTitles();
    Type(0, "A1");
    EXPECT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(ResultRows(), (QStringList{"A1-100|轴承座|P1|产品一|OLD-1|", "A1-200|轴|P9||OLD-2|"}));
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(PartPageTest, QuoteInValueFindsItsRow)
{
    SeedTitles();
    Type(1, "O'型");
    QStringList sent;
    zq::SetSqlTraceListener([&sent](const QString& sql) { sent << sql; });
    EXPECT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(ResultRows(), QStringList{"B-1|O'型圈|P1|产品一||"});
    EXPECT_TRUE(desktop.messages().isEmpty());
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent[0], "SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title WHERE "
                       "Tname LIKE '%O''型%' AND Ttime>'2004-04-05' AND Ttime<'2005-04-01'");
    EXPECT_TRUE(sent.contains("SELECT ProductName FROM Product WHERE ProductDwgCode = 'P1'"));
}

// A product's name is looked up once a search, however many rows name it, and again by the next
// search; rows of a product missing from Product keep an empty name.
TEST_P(PartPageTest, EachProductNameReadOnceASearch)
{
    SeedTitles();
    AddTitle("A1-400", "轴套", "P1", "2005-03-13 08:00:00");
    AddTitle("A1-500", "轴承", "P9", "2005-03-14 08:00:00");
    Type(0, "A1");
    QStringList sent;
    zq::SetSqlTraceListener([&sent](const QString& sql) { sent << sql; });
    for (int search = 1; search <= 2; ++search) {
        sent.clear();
        EXPECT_EQ(Page().DoSearch(), 1);
        EXPECT_EQ(Column(Results(), 3).count("产品一"), 2) << search;
        EXPECT_EQ(Column(Results(), 3).count(""), 2) << search;
        EXPECT_EQ(sent.count("SELECT ProductName FROM Product WHERE ProductDwgCode = 'P1'"), 1) << search;
        EXPECT_EQ(sent.count("SELECT ProductName FROM Product WHERE ProductDwgCode = 'P9'"), 1) << search;
        EXPECT_EQ(sent.size(), 3) << search;
    }
    zq::SetSqlTraceListener({});
}

TEST_P(PartPageTest, AttributeSearchFillsFourColumns)
{
    SeedTitles();
    SelectKind(2);
    Type(1, "Y");
    EXPECT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(ResultRows(), QStringList{"A1-100|轴承座|P1|产品一||"});
}

TEST_P(PartPageTest, ReversedDatesWarnAndSearchWithoutThem)
{
    SeedTitles();
    zq::ControlAs<QDateEdit>(Page(), kFrom)->setDate(QDate(2005, 4, 1));
    Type(0, "A1-3");
    EXPECT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(desktop.messages(), QStringList{"开始日期与结束日期不匹配..."});
    EXPECT_EQ(ResultRows(), QStringList{"A1-300|旧件|P1|产品一||"});
}

TEST_P(PartPageTest, CancelAfterTwoRows)
{
    SeedTitles();
    for (int i = 0; i < 5; ++i)
        AddTitle(QStringLiteral("C-%1").arg(i), "件", "P1", "2005-03-20 08:00:00");
    Type(0, "C-");
    desktop.cancelAfterRows = 2;
    EXPECT_EQ(Page().DoSearch(), 0);
    ASSERT_EQ(Results().GetItemCount(), 2);
    EXPECT_EQ(Column(Results(), 3), (QStringList{"产品一", "产品一"}));
}

TEST_P(PartPageTest, StructureSearchAndLocateTexts)
{
    AddLines({{"P", "P", "A", "部件"}, {"P", "A", "B", "零件"}, {"P", "P", "AB", "部件二"}, {"P", "AB", "B", "零件"}});
    UseTree(m_partA);
    SelectKind(1);
    zq::SetChecked(Page(), kScopeCheck, true);
    Type(0, "B");
    EXPECT_EQ(Page().DoSearch(), 1);
    // The scope P::A admits P::AB as well: the test is by characters.
    EXPECT_EQ(ResultRows(), (QStringList{"AB|部件二|P::AB|||", "B|零件|P::A::B|||", "B|零件|P::AB::B|||"}));

    int row = -1;
    for (int r = 0; r < Results().GetItemCount(); ++r)
        if (Results().GetItemText(r, 2) == "P::A::B")
            row = r;
    ASSERT_GE(row, 0);
    Results().SelectRow(row);
    EXPECT_EQ(Page().GetLocateText(), "B@^P::A::B@^P::A@^1");
    // Switching to another kind without a new search drops the scope part.
    SelectKind(0);
    EXPECT_EQ(Page().GetLocateText(), "B@^P::A::B");
}

TEST_P(PartPageTest, ScopedSearchWithEmptyScopeKeepsTheRows)
{
    SeedTitles();
    Type(0, "A1");
    ASSERT_EQ(Page().DoSearch(), 1);
    ASSERT_EQ(Results().GetItemCount(), 2);
    SelectKind(1);
    zq::SetChecked(Page(), kScopeCheck, true);
    zq::SetControlText(Page(), kScopeText, "");
    int sent = 0;
    zq::SetSqlTraceListener([&sent](const QString&) { ++sent; });
    EXPECT_EQ(Page().DoSearch(), 0);
    EXPECT_EQ(Results().GetItemCount(), 2);
    EXPECT_EQ(sent, 0);
}

TEST_P(PartPageTest, LeftoverScopeTickRunsThePlainTitleSearch)
{
    SeedTitles();
    AddLines({{"P1", "P1", "A1-100", "轴承座"}});
    UseTree(m_product);
    SelectKind(1);
    zq::SetChecked(Page(), kScopeCheck, true);
    SelectKind(0);
    Type(0, "A1-1");
    EXPECT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(ResultRows(), QStringList{"A1-100|轴承座|P1|产品一|OLD-1|"});
    Results().SelectRow(0);
    EXPECT_EQ(Page().GetLocateText(), "A1-100@^P1");
}

TEST_P(PartPageTest, ContextMenuCallsThePartServices)
{
    SeedTitles();
    Type(0, "A1-100");
    ASSERT_EQ(Page().DoSearch(), 1);
    // No row selected yet: no menu.
    Q_EMIT Results().rightClicked(0, QPoint());
    EXPECT_TRUE(desktop.eventsOf("MENU").isEmpty());

    Results().SelectRow(0);
    desktop.menuAnswers = {1, 2, 3, 0};
    for (int i = 0; i < 4; ++i)
        Q_EMIT Results().rightClicked(0, QPoint());
    ASSERT_EQ(desktop.eventsOf("MENU").size(), 4);
    EXPECT_EQ(desktop.eventsOf("MENU")[0].fields, (QStringList{"1", "2", "3"}));
    QStringList calls;
    for (const zq::ServiceCall& call : zq::CallLog::Calls())
        calls << call.component + "::" + call.operation + "(" + call.args.join(",") + ")";
    EXPECT_EQ(calls, (QStringList{
                         "CZQPartBorrowManage::PartUsedSearch(A1-100)",
                         "CZQPart::SetPartParameter(A1-100,(null),(null),A)",
                         "CZQPart::DwgAttribute(ZqlomiraAll,1)",
                         "CZQPart::SetPartParameter(A1-100,(null),(null),A)",
                         "CZQPart::BrowsePartReversion()",
                     }));
}

INSTANTIATE_TEST_SUITE_P(Engines, PartPageTest,
                         ::testing::ValuesIn(zq::test::EngineNames()), parttest::EngineName);

} // namespace
