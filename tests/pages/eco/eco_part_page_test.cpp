// The page "更改影响面": changed parts and upper-level parts of the described change orders,
// and the part context menu's service calls.
#include "EcoTestDb.h"

#include "TLItem.h"
#include "ZQECOSearchPart.h"
#include "ZQPDMFC.h"

using namespace ecotest;

namespace {

enum { IdAuthor = 1067, IdFrom = 1204, IdTo = 1258, IdOrderNumber = 1376, IdSubject = 1004, IdPartCode = 1022,
       IdModeParts = 1034, IdModeUpper = 1041 };

class PartPage : public EcoDatabase {
protected:
    void SetUp() override
    {
        EcoDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(page.CreatePage(&parent));
        list = page.GetResultList();
        ASSERT_NE(list, nullptr);
    }

    // Every listed row as "c0|c1|c2|c3", sorted (DISTINCT gives no order).
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < list->GetItemCount(); ++row) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << list->GetItemText(row, c);
            rows << cells.join('|');
        }
        rows.sort();
        return rows;
    }

    QWidget parent;
    CZQECOSearchPart page;
    CReportListCtrl* list = nullptr;
};

struct PartCase {
    const char* name;
    const char* author;
    const char* number;
    const char* subject;
    const char* part;
    bool upper;
    const char* from;
    const char* to;
    QStringList rows;
    bool warned;
};

TEST_P(PartPage, Initialisation)
{
    EXPECT_FALSE(page.CanLocate());
    EXPECT_EQ(page.GetLocateText(), QString());
    EXPECT_EQ(zq::ControlText(page, IdAuthor), QStringLiteral("张三"));
    EXPECT_TRUE(zq::IsChecked(page, IdModeParts));
    EXPECT_EQ(zq::ControlText(page, IdFrom), QStringLiteral("2005-03-01"));
    ASSERT_EQ(list->GetColumnCount(), 4);
    const QStringList headers{"零部件图号", "零部件图名", "所在产品", "影响处"};
    const int widths[] = {100, 120, 120, 120};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(list->GetHeaderCtrl()->GetItemText(c), headers[c]);
        EXPECT_EQ(list->GetColumnWidth(c), widths[c]);
    }
}

TEST_P(PartPage, Searches)
{
    const QString a100 = "A1-100|轴承座|P1|影响一", a200 = "A1-200|轴|P1|影响二", b300 = "B2-300|齿轮|P2|影响三",
                  c400 = "C3-400|螺栓|P2|", x900 = "X9-900|无关|P3|";
    const QString upA1p1 = "A1|总成一|P1|装配", upA1p2 = "A1|总成一|P2|装配", upB2 = "B2|总成二|P2|传动",
                  upX9 = "X9|无关件|P3|";
    const PartCase cases[] = {
        {"parts of the March orders", "", "", "", "", false, "2005-03-01", "2005-03-31", {a100, a200, b300}, false},
        {"one author's orders", "李四", "", "", "", false, "2005-01-01", "2005-12-31", {b300}, false},
        {"part text with the orders", "", "", "", "A1", false, "2005-03-01", "2005-03-31", {a100, a200}, false},
        {"order number and subject", "", "E-00", "二月", "", false, "2005-01-01", "2005-12-31", {c400}, false},
        {"reversed dates, no text: every title row", "", "", "", "", false, "2005-03-31", "2005-03-01",
         {a100, a200, b300, c400, x900}, true},
        {"reversed dates, part text only", "", "", "", "-400", false, "2005-03-31", "2005-03-01", {c400}, true},
        {"upper-level parts: one per product", "", "", "", "", true, "2005-03-01", "2005-03-31", {upA1p1, upA1p2, upB2},
         false},
        {"upper-level parts of everything", "", "", "", "", true, "2005-03-31", "2005-03-01",
         {upA1p1, upA1p2, upB2, upX9}, true},
    };
    for (const PartCase& c : cases) {
        desktop.events.clear();
        zq::SetControlText(page, IdAuthor, c.author);
        zq::SetControlText(page, IdOrderNumber, c.number);
        zq::SetControlText(page, IdSubject, c.subject);
        zq::SetControlText(page, IdPartCode, c.part);
        zq::SetChecked(page, c.upper ? IdModeUpper : IdModeParts, true);
        zq::SetControlText(page, IdFrom, c.from);
        zq::SetControlText(page, IdTo, c.to);
        EXPECT_EQ(page.DoSearch(), 1) << c.name;
        EXPECT_EQ(Rows(), c.rows) << c.name;
        EXPECT_EQ(desktop.messages(), c.warned ? QStringList{"开始日期与结束日期不匹配..."} : QStringList()) << c.name;
        for (int row = 0; row < list->GetItemCount(); ++row) {
            auto* record = static_cast<CTLItem*>(list->GetItemData(row));
            ASSERT_NE(record, nullptr) << c.name;
            EXPECT_EQ(record->GetItemText(), list->GetItemText(row, 0)) << c.name;
            EXPECT_EQ(record->GetSubstring(3), list->GetItemText(row, 3)) << c.name;
        }
    }
}

TEST_P(PartPage, ContextMenu)
{
    zq::SetControlText(page, IdAuthor, "");
    zq::SetControlText(page, IdPartCode, "B2-300");
    ASSERT_EQ(page.DoSearch(), 1);
    ASSERT_EQ(list->GetItemCount(), 1);
    list->SetSelectionMark(0);

    struct MenuCase {
        int command;
        QList<QStringList> calls;   // operation followed by its arguments
    };
    const MenuCase cases[] = {
        {1, {{"PartUsedSearch", "B2-300"}}},
        {2, {{"SetPartParameter", "B2-300", "(null)", "(null)", "A"}, {"DwgAttribute", "ZqlomiraAll", "1"}}},
        {3, {{"SetPartParameter", "B2-300", "(null)", "B2-300", "A"}, {"BrowsePartReversion"}}},
        {4, {}},
    };
    for (const MenuCase& c : cases) {
        zq::CallLog::Clear();
        desktop.events.clear();
        desktop.menuAnswers = {c.command};
        Q_EMIT list->rightClicked(0, QPoint(5, 5));
        ASSERT_EQ(desktop.eventsOf("MENU").size(), 1) << c.command;
        EXPECT_EQ(desktop.eventsOf("MENU")[0].fields, (QStringList{"1", "2", "3", "4"}));
        QList<QStringList> calls;
        for (const zq::ServiceCall& call : zq::CallLog::Calls())
            calls << (QStringList{call.operation} + call.args);
        EXPECT_EQ(calls, c.calls) << c.command;
    }
    EXPECT_EQ(desktop.clipboard, QStringLiteral("B2-300"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PartPage, testing::ValuesIn(zq::test::EngineNames()), EngineName);

} // namespace
