// The pages "更改发放部门" and "更改处理意见": their condition lists and their searches.
#include "EcoTestDb.h"

#include "ZQECOSearchBrance.h"
#include "ZQECOSearchResult.h"
#include "ZQPDMFC.h"

#include <QAbstractButton>

using namespace ecotest;

namespace {

enum { IdFrom = 1204, IdTo = 1258, IdAdd = 1009, IdRemove = 1008 };

void Click(QWidget& page, int id)
{
    auto* button = zq::ControlAs<QAbstractButton>(page, id);
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

template <class Page>
class ConditionPage : public EcoDatabase {
protected:
    void SetUp() override
    {
        EcoDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(page.CreatePage(&parent));
        ASSERT_NE(page.GetResultList(), nullptr);
    }
    void Dates(const QString& from, const QString& to)
    {
        zq::SetControlText(page, IdFrom, from);
        zq::SetControlText(page, IdTo, to);
    }
    QStringList Orders()
    {
        QStringList orders = page.GetResultList()->GetColumnTexts(1);
        if (this->OnPostgres())
            orders.sort();
        return orders;
    }
    QWidget parent;
    Page page;
};

using DepartmentPage = ConditionPage<CZQECOSearchBrance>;
using OpinionPage = ConditionPage<CZQECOSearchResult>;

TEST_P(DepartmentPage, ListColumnsAndDuplicates)
{
    CReportListCtrl* departments = page.GetDepartmentList();
    ASSERT_NE(departments, nullptr);
    ASSERT_EQ(departments->GetColumnCount(), 2);
    EXPECT_EQ(departments->GetHeaderCtrl()->GetItemText(0), QStringLiteral("提示内容"));
    EXPECT_EQ(departments->GetHeaderCtrl()->GetItemText(1), QStringLiteral("查询条件值"));
    EXPECT_EQ(departments->GetColumnWidth(0), 100);
    EXPECT_EQ(departments->GetColumnWidth(1), 120);

    page.AddDepartments({"Dept A", "一车间", "dept a", "DEPT A", "一车间"});
    EXPECT_EQ(page.Departments(), (QStringList{"Dept A", "一车间"}));
    EXPECT_EQ(departments->GetColumnTexts(0), (QStringList{"发放部门", "发放部门"}));
    page.AddDepartments({"dEpT a", "二车间"});
    EXPECT_EQ(page.Departments(), (QStringList{"Dept A", "一车间", "二车间"}));

    // Through the picker: the chosen names in the picker's order, cancel adds nothing.
    desktop.pickAnswers = {{"三车间", "一车间"}};
    Click(page, IdAdd);
    EXPECT_EQ(page.Departments(), (QStringList{"Dept A", "一车间", "二车间", "三车间"}));
    Click(page, IdAdd);
    EXPECT_EQ(page.Departments().size(), 4);
    EXPECT_EQ(desktop.eventsOf("PICK").size(), 2);
}

TEST_P(DepartmentPage, Removal)
{
    const QString prompt = QStringLiteral("请先选择发放部门...");
    Click(page, IdRemove);
    EXPECT_EQ(desktop.messages(), QStringList{prompt});

    CReportListCtrl* departments = page.GetDepartmentList();
    page.AddDepartments({"a", "b", "c", "d", "e"});
    desktop.events.clear();
    Click(page, IdRemove);
    EXPECT_EQ(desktop.messages(), QStringList{prompt});
    EXPECT_EQ(page.Departments().size(), 5);

    departments->SelectRow(0);
    departments->SelectRow(1, true);
    departments->SelectRow(3, true);
    desktop.events.clear();
    Click(page, IdRemove);
    EXPECT_TRUE(desktop.messages().isEmpty());
    EXPECT_EQ(page.Departments(), (QStringList{"c", "e"}));
}

struct ListSearchCase {
    const char* name;
    QStringList values;
    const char* from;
    const char* to;
    QStringList orders;
};

TEST_P(DepartmentPage, Searches)
{
    const ListSearchCase cases[] = {
        {"one department", {"一车间"}, "2005-02-01", "2005-03-31", {"E-001", "E-004"}},
        {"leading blanks of the stored name ignored", {"二车间"}, "2005-02-01", "2005-03-31", {"E-002"}},
        {"other kinds of document do not count", {"三车间"}, "2005-02-01", "2005-03-31", {}},
        {"a quote in the name", {"O'Brien部"}, "2005-02-01", "2005-03-31", {"E-003"}},
        {"either department, March only", {"一车间", "O'Brien部"}, "2005-03-01", "2005-03-31", {"E-001", "E-003"}},
        {"no department, reversed dates: everything", {}, "2005-03-31", "2005-03-01",
         {"E-001", "E-002", "E-003", "E-004", "E/005"}},
    };
    CReportListCtrl* departments = page.GetDepartmentList();
    for (const ListSearchCase& c : cases) {
        departments->DeleteAllItems();
        page.AddDepartments(c.values);
        Dates(c.from, c.to);
        EXPECT_EQ(page.DoSearch(), 1) << c.name;
        EXPECT_EQ(Orders(), c.orders) << c.name;
    }
}

TEST_P(DepartmentPage, LocateTextIsTheSubject)
{
    page.AddDepartments({"O'Brien部"});
    Dates("2005-03-01", "2005-03-31");
    ASSERT_EQ(page.DoSearch(), 1);
    ASSERT_EQ(page.GetResultList()->GetItemCount(), 1);
    EXPECT_EQ(page.GetLocateText(), QString());
    page.GetResultList()->SelectRow(0);
    EXPECT_EQ(page.GetLocateText(), QStringLiteral("O'Brien的支架"));
}

TEST_P(OpinionPage, AddRemoveAndEditing)
{
    CGridListCtrl* opinions = page.GetOpinionList();
    ASSERT_NE(opinions, nullptr);
    EXPECT_TRUE(opinions->IsColumnEditable(1));
    EXPECT_FALSE(opinions->IsColumnEditable(0));
    for (int i = 0; i < 3; ++i)
        Click(page, IdAdd);
    EXPECT_EQ(opinions->GetColumnTexts(0), (QStringList{"处理意见", "处理意见", "处理意见"}));
    EXPECT_EQ(page.Opinions(), (QStringList{"", "", ""}));
    opinions->SetItemText(0, 1, "报废");
    opinions->SetItemText(2, 1, "返修");

    // Removing with nothing selected says nothing; removing two keeps the third.
    Click(page, IdRemove);
    EXPECT_EQ(page.Opinions().size(), 3);
    opinions->SelectRow(0);
    opinions->SelectRow(1, true);
    Click(page, IdRemove);
    EXPECT_EQ(page.Opinions(), QStringList{"返修"});
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(OpinionPage, Searches)
{
    const ListSearchCase cases[] = {
        {"one opinion", {"报废"}, "2005-02-01", "2005-03-31", {"E-001", "E-004"}},
        {"contained text, listed once", {"返修"}, "2005-02-01", "2005-03-31", {"E-001", "E-002"}},
        {"either opinion, March only", {"报废", "后使用"}, "2005-03-01", "2005-03-31", {"E-001", "E-002"}},
        {"an empty row: any opinion given", {""}, "2005-01-01", "2005-12-31", {"E-001", "E-002", "E-004"}},
        {"no opinion, reversed dates: everything", {}, "2005-03-31", "2005-03-01",
         {"E-001", "E-002", "E-003", "E-004", "E/005"}},
        {"a quote finds nothing and breaks nothing", {"it's"}, "2005-01-01", "2005-12-31", {}},
    };
    CGridListCtrl* opinions = page.GetOpinionList();
    for (const ListSearchCase& c : cases) {
        opinions->DeleteAllItems();
        for (const QString& text : c.values) {
            Click(page, IdAdd);
            opinions->SetItemText(opinions->GetItemCount() - 1, 1, text);
        }
        Dates(c.from, c.to);
        desktop.events.clear();
        EXPECT_EQ(page.DoSearch(), 1) << c.name;
        EXPECT_EQ(Orders(), c.orders) << c.name;
        EXPECT_EQ(desktop.messages().isEmpty(), QString(c.from) <= QString(c.to)) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, DepartmentPage, testing::ValuesIn(zq::test::EngineNames()), EngineName);
INSTANTIATE_TEST_SUITE_P(Engines, OpinionPage, testing::ValuesIn(zq::test::EngineNames()), EngineName);

} // namespace
