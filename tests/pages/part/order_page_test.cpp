// The "批次产品" page on a small database: the batch-number rows of both kinds, values kept per
// kind, greyed dates, the five columns, plain searches, the part menu and the locate text.
#include "CallLog.h"
#include "ConditionPageTest.h"
#include "GbkText.h"
#include "ListCtrl.h"
#include "RecordingDesktop.h"
#include "ZQPDMSearchOrder.h"

#include <QComboBox>
#include <QDateEdit>

namespace {

enum { kFrom = 1204, kTo = 1258, kKind = 1256, kConditions = 1318, kResults = 1319 };

class OrderPageTest : public parttest::ConditionPageTest<CZQPDMSearchOrder> {
protected:
    // Each result row as "c0|c1|c2|c3|c4", sorted.
    QStringList ResultRows() { return ResultRowsOf(5); }
    void SeedBatches()
    {
        AddProduct("P1", "产品一");
        const QStringList title{"TOrdercode", "OrderProductCode", "Tcode", "Tname", "TOther4", "State", "Ttime"};
        Insert("ZqOrderProduct_title", title, {"B01", "P1", "P1", "产品一", "OLD-P1", "投产", "2005-03-10 14:00:00"});
        Insert("ZqOrderProduct_title", title, {"B01", "P1", "A1", "轴", "OLD-A1", "投产", "2005-03-10 14:01:00"});
        Insert("ZqOrderProduct_title", title, {"B02", "P2", "A2", "O'型圈", "", "投产", "2003-01-01 14:00:00"});
        const QStringList detail{"DOrdercode", "OrderProductCode", "UpCode", "Dcode", "Dname", "Dother2"};
        Insert("ZqOrderProduct_detail", detail, {"B01", "P1", "P1", "A1", "轴", "OLD-A1"});
        Insert("ZqOrderProduct_detail", detail, {"B02", "P2", "P2", "A2", "O'型圈", "OLD-A2"});
    }
};

TEST_P(OrderPageTest, RowsColumnsAndKinds)
{
    ASSERT_TRUE(zq::WriteGbkFile(HomeFolder() + "rnds/spt/zqpdmcad.ini",
                                 "[产品属性]\r\n标题其他1=重量\r\n明细规格=规格型号\r\n"));
    auto* kind = zq::ControlAs<QComboBox>(Page(), kKind);
    ASSERT_EQ(kind->count(), 2);
    EXPECT_EQ(kind->itemText(1), "明细");
    EXPECT_EQ(Conditions().GetItemCount(), 17);
    EXPECT_EQ(Conditions().GetColumnTexts(0).mid(0, 3), (QStringList{"批次号", "图号", "图名"}));
    EXPECT_EQ(Conditions().GetColumnTexts(0).mid(11, 2), (QStringList{"重量", "其他3"}));
    EXPECT_EQ(Conditions().GetItemText(16, 0), "状态");
    EXPECT_TRUE(Enabled(kFrom) && Enabled(kTo));

    Type(0, "B01");
    SelectKind(1);
    EXPECT_EQ(Conditions().GetColumnTexts(0),
              (QStringList{"批次号", "图号", "图名", "材料", "规格型号", "备注", "类型", "其他1", "其他2"}));
    EXPECT_EQ(Conditions().GetColumnTexts(1), QStringList(9));
    EXPECT_FALSE(Enabled(kFrom));
    EXPECT_FALSE(Enabled(kTo));
    Type(8, "OLD");
    SelectKind(0);
    EXPECT_EQ(Conditions().GetItemText(0, 1), "B01");
    EXPECT_TRUE(Enabled(kFrom));
    SelectKind(1);
    EXPECT_EQ(Conditions().GetItemText(8, 1), "OLD");

    const QStringList headers{"零部件图号", "零部件图名", "所在产品", "旧图号", "来源类型"};
    ASSERT_EQ(Results().GetColumnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(Results().GetHeaderCtrl()->GetItemText(c), headers[c]);
        EXPECT_EQ(Results().GetColumnWidth(c), c == 0 ? 100 : 120);
    }
    EXPECT_TRUE(Page().CanLocate());
}

TEST_P(OrderPageTest, OldCodeSwitchHidesColumnThree)
{
    parttest::ScopedEnv hidden("ZQPDM_OLDCODE", QStringLiteral("1"));
    EXPECT_EQ(Results().GetHeaderCtrl()->GetItemText(3), "");
    EXPECT_EQ(Results().GetColumnWidth(3), 0);
}

TEST_P(OrderPageTest, SearchesListFourFieldsWithoutProductLookup)
{
    SeedBatches();
    QStringList sent;
    zq::SetSqlTraceListener([&sent](const QString& sql) { sent << sql; });
    Type(0, "B0");
    EXPECT_EQ(Page().DoSearch(), 1);
    // B02's drawing lies outside the 360 days before 2005-03-31.
    EXPECT_EQ(ResultRows(), (QStringList{"B01|产品一|P1|OLD-P1|", "B01|轴|P1|OLD-A1|"}));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_TRUE(sent[0].startsWith("SELECT DISTINCT TOrdercode, Tname, OrderProductCode, TOther4 FROM "
                                   "ZqOrderProduct_title WHERE TOrdercode LIKE '%B0%' AND Ttime>"));

    SelectKind(1);
    Type(2, "O'型");
    EXPECT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(ResultRows(), QStringList{"B02|O'型圈|P2|OLD-A2|"});
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(OrderPageTest, MenuAndLocateTextUseTheBatchNumber)
{
    SeedBatches();
    zq::test::RecordingDesktop recording;
    recording.fixedNow = desktop.fixedNow;
    zq::ScopedDesktop scoped(recording);
    Type(0, "B01");
    ASSERT_EQ(Page().DoSearch(), 1);
    EXPECT_EQ(Page().GetLocateText(), "");
    CTreeCtrlEx tree;
    Page().SetTreeItem(tree.InsertItem("P1"));   // kept, changes nothing
    Results().SelectRow(0);
    EXPECT_EQ(Page().GetLocateText(), "B01@^P1");
    recording.menuAnswers = {1, 2, 3};
    for (int i = 0; i < 3; ++i)
        Q_EMIT Results().rightClicked(0, QPoint());
    ASSERT_EQ(recording.menus.size(), 3);
    QStringList shape;
    for (const zq::MenuEntry& entry : recording.menus[0])
        shape << (entry.id ? QString::number(entry.id) + entry.text : QStringLiteral("-"));
    EXPECT_EQ(shape, (QStringList{"1借用查询...", "-", "2零部件属性...", "-", "3版本浏览...", "-"}));
    QStringList calls;
    for (const zq::ServiceCall& call : zq::CallLog::Calls())
        calls << call.component + "::" + call.operation + "(" + call.args.join(",") + ")";
    EXPECT_EQ(calls, (QStringList{
                         "CZQPartBorrowManage::PartUsedSearch(B01)",
                         "CZQPart::SetPartParameter(B01,(null),(null),A)",
                         "CZQPart::DwgAttribute(ZqlomiraAll,1)",
                         "CZQPart::SetPartParameter(B01,(null),(null),A)",
                         "CZQPart::BrowsePartReversion()",
                     }));
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderPageTest,
                         ::testing::ValuesIn(zq::test::EngineNames()), parttest::EngineName);

} // namespace
