// The "设计零部件" page on the demo installation: configured names, plain, attribute and
// structure searches over the seeded data.
#include "ListCtrl.h"
#include "ScriptedDesktop.h"
#include "SeededPageTest.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchPart.h"

#include <gtest/gtest.h>

namespace {

class PartDemoTest : public zq::test::SeededPageTest {
protected:
    void SetUp() override
    {
        SeededPageTest::SetUp();
        if (Ready())
            m_page = &Create<CZQPDMSearchPart>();
    }
    void TearDown() override
    {
        CZQPDMSearchFunction::m_pTreeEx = nullptr;
        SeededPageTest::TearDown();
    }
    CReportListCtrl& List(int id) { return *zq::ControlAs<CReportListCtrl>(*m_page, id); }
    QStringList Rows()
    {
        QStringList rows;
        CReportListCtrl& results = List(1319);
        for (int r = 0; r < results.GetItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << results.GetItemText(r, c);
            rows << cells.join('|');
        }
        rows.sort();
        return rows;
    }

    CZQPDMSearchPart* m_page = nullptr;   // owned by m_host
};

TEST_P(PartDemoTest, Searches)
{
    CReportListCtrl& conditions = List(1318);
    EXPECT_EQ(conditions.GetItemText(10, 0), "重量");
    EXPECT_EQ(conditions.GetItemText(12, 0), "旧图号");

    const struct {
        const char* name;
        int kind;
        int row;
        const char* value;
        QStringList rows;
    } cases[] = {
        {"quote_in_name", 0, 1, "O'型", {"ZQ8600-00-01|O'型圈|ZQ8600|ZQ8600型减速器|JQ8600.00.01|"}},
        {"missing_product", 0, 0, "ZQ9900", {"ZQ9900-01|试制支架|ZQ9900||JQ9900.01|"}},
        {"attributes", 2, 1, "N",
         {"ZQ8600-00-01|O'型圈|ZQ8600|ZQ8600型减速器||", "ZQ8600-03-02|大齿轮|ZQ8600|ZQ8600型减速器||"}},
    };
    for (const auto& c : cases) {
        zq::SetComboIndex(*m_page, 1256, c.kind);
        conditions.SetItemText(c.row, 1, QString::fromUtf8(c.value));
        EXPECT_EQ(m_page->DoSearch(), 1) << c.name;
        EXPECT_EQ(Rows(), c.rows) << c.name;
        conditions.SetItemText(c.row, 1, QString());
    }
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(PartDemoTest, StructureSearchInsideTheSelectedBranch)
{
    CTreeCtrlEx tree;
    const CTreeItemRecord product{"_Product", "ZQ8600"}, assembly{"_Part", "ZQ8600-03"};
    const CTreeCursor branch = tree.InsertItem("ZQ8600-03", tree.InsertItem("ZQ8600", {}, &product), &assembly);
    tree.SelectItem(branch);
    CZQPDMSearchFunction::m_pTreeEx = &tree;
    zq::SetComboIndex(*m_page, 1256, 1);
    zq::SetChecked(*m_page, 1172, true);
    List(1318).SetItemText(1, 1, "O'型");
    EXPECT_EQ(m_page->DoSearch(), 1);
    EXPECT_EQ(Rows(), QStringList{"ZQ8600-00-01|O'型圈|ZQ8600::ZQ8600-03::ZQ8600-00-01|||"});
    QStringList all;
    for (const auto& path : m_page->StructurePaths())
        all << path.text;
    all.sort();
    EXPECT_EQ(all, (QStringList{"ZQ8600::ZQ8600-02::ZQ8600-00-01", "ZQ8600::ZQ8600-03::ZQ8600-00-01"}));
    List(1319).SelectRow(0);
    EXPECT_EQ(m_page->GetLocateText(), "ZQ8600-00-01@^ZQ8600::ZQ8600-03::ZQ8600-00-01@^ZQ8600::ZQ8600-03@^1");
}

INSTANTIATE_TEST_SUITE_P(Engines, PartDemoTest, ::testing::ValuesIn(zq::test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

} // namespace
