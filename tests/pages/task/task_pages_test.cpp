// The pages "设计任务" and "设计过程零部件" on the demo installation, on every engine: their
// initial controls, the kind and state lists, the rows each search lists, and database failures.
#include "ListCtrl.h"
#include "ScriptedDesktop.h"
#include "SeededPageTest.h"
#include "ZQDBConnect.h"
#include "ZQTWSearchPart.h"
#include "ZQTWSearchTask.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

enum { IdName = 1014, IdNumber = 1021, IdPerson = 1084, IdPick = 1248, IdFrom = 1204, IdTo = 1258, IdState = 1020,
       IdKind = 1250 };

// The demo relative to the real date: the overdue test compares with the server's date.
class TaskPages : public zq::test::SeededPageTest {
protected:
    zq::test::SeededHome::Options HomeOptions() const override
    {
        zq::test::SeededHome::Options options;
        options.today = QDate::currentDate();
        return options;
    }

    QDate Today() const { return m_engine->home().today(); }

    // The rows as "column|column|…", sorted: the engines list in their own order.
    static QStringList Rows(const CReportListCtrl& list, QList<int> columns)
    {
        QStringList rows;
        for (int r = 0; r < list.GetItemCount(); ++r) {
            QStringList cells;
            for (int c : columns)
                cells << list.GetItemText(r, c);
            rows << cells.join('|');
        }
        rows.sort();
        return rows;
    }

    void DropTable(const QString& table)
    {
        zq::CZQDBConnect other(m_engine->databaseUrl());
        ASSERT_TRUE(other.ConnectPDM());
        zq::Recordset drop;
        try {
            drop.Open(QStringLiteral("DROP TABLE ") + table, other.GetPtrPDM());
        } catch (const zq::_com_error&) {
            // Some drivers report a statement without rows as a failure; the table is gone all the same.
        }
    }

    const zq::test::ScopedEnv m_user{"ZQPDM_USER", QStringLiteral("zhangwei")};
};

class TaskPage : public TaskPages {
protected:
    void SetUp() override
    {
        TaskPages::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_page = new CZQTWSearchTask(m_host.get());
        ASSERT_TRUE(m_page->CreatePage(m_host.get()));
        m_list = m_page->GetResultList();
        ASSERT_NE(m_list, nullptr);
    }
    QStringList ComboItems(int id) const
    {
        QStringList items;
        auto* combo = zq::ControlAs<QComboBox>(*m_page, id);
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    CZQTWSearchTask* m_page = nullptr;   // owned by m_host
    CReportListCtrl* m_list = nullptr;
};

TEST_P(TaskPage, Initialisation)
{
    EXPECT_EQ(zq::ControlText(*m_page, IdPerson), QStringLiteral("zhangwei"));
    EXPECT_EQ(zq::ComboIndex(*m_page, IdKind), 0);
    EXPECT_EQ(zq::ComboIndex(*m_page, IdState), 0);
    EXPECT_EQ(ComboItems(IdKind).size(), 6);
    EXPECT_EQ(ComboItems(IdState).size(), 11);
    EXPECT_EQ(zq::ControlText(*m_page, IdFrom), Today().addDays(-30).toString("yyyy-MM-dd"));
    EXPECT_EQ(zq::ControlText(*m_page, IdTo), Today().toString("yyyy-MM-dd"));
    const QStringList headers{"任务名称", "任务编号", "负责人", "状态", "创建日期", "类型"};
    const int widths[] = {100, 100, 90, 70, 90, 90};
    ASSERT_EQ(m_list->GetColumnCount(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(m_list->GetHeaderCtrl()->GetItemText(c), headers[c]);
        EXPECT_EQ(m_list->GetColumnWidth(c), widths[c]);
    }
    EXPECT_TRUE(m_page->CanLocate());

    // The picker starts from the text in the box and writes the login name picked.
    zq::SetControlText(*m_page, IdPerson, QStringLiteral("typed"));
    desktop.pickAnswers = {{"lina"}};
    zq::ControlAs<QAbstractButton>(*m_page, IdPick)->click();
    EXPECT_EQ(zq::ControlText(*m_page, IdPerson), QStringLiteral("lina"));
    zq::ControlAs<QAbstractButton>(*m_page, IdPick)->click();   // cancelled
    EXPECT_EQ(zq::ControlText(*m_page, IdPerson), QStringLiteral("lina"));
}

TEST_P(TaskPage, KindDecidesTheStateList)
{
    const QStringList taskStates{"所有", "逾期", "待确认", "未开始", "正进行中", "评审", "评审-更改", "完成",
                                 "归档", "已归档", "已入库"};
    const QStringList reviewStates{"所有", "未完成", "已完成"};
    const struct {
        const char* name;
        int stateBefore;
        int kind;
        QStringList states;
        int stateAfter;
    } steps[] = {
        {"task kind to task kind keeps the state", 4, 1, taskStates, 4},
        {"to a review kind: review states from the first", 4, 4, reviewStates, 0},
        {"review to review keeps the state", 2, 5, reviewStates, 2},
        {"back to a task kind: task states from the first", 2, 3, taskStates, 0},
        {"to all kinds", 7, 0, taskStates, 7},
    };
    for (const auto& step : steps) {
        zq::SetComboIndex(*m_page, IdState, step.stateBefore);
        zq::SetComboIndex(*m_page, IdKind, step.kind);
        EXPECT_EQ(ComboItems(IdState), step.states) << step.name;
        EXPECT_EQ(zq::ComboIndex(*m_page, IdState), step.stateAfter) << step.name;
    }
}

TEST_P(TaskPage, Searches)
{
    const QString to = Today().toString("yyyy-MM-dd");
    const QString from = Today().addDays(-30).toString("yyyy-MM-dd");
    const QString reversed = QStringLiteral("开始日期与结束日期不匹配...");
    const struct {
        const char* name;
        const char* person;
        int kind;
        int state;
        QString from, to;
        QStringList rows;   // number|type, sorted
        QStringList messages;
    } cases[] = {
        {"the user's tasks of the last 30 days", "zhangwei", 0, 0, from, to,
         {"GG2026-01|更改设计任务", "GG2026-01|项目任务", "QT2026-01|工作组任务", "XM2026-01#03|工作组任务",
          "XM2026-01|项目任务"}, {}},
        {"change tasks only", "", 2, 0, from, to, {"GG2026-01|更改设计任务", "GG2026-02|更改设计任务"}, {}},
        {"change tasks, reversed dates: still only change tasks", "", 2, 0, to, from,
         {"GG2026-01|更改设计任务", "GG2026-02|更改设计任务"}, {reversed}},
        {"overdue by the server's date", "", 0, 1, from, to,
         {"GG2026-01|更改设计任务", "GG2026-01|项目任务", "XM2026-01-01|工作组任务", "XM2026-01|项目任务"}, {}},
        {"open project reviews", "", 4, 1, from, to, {"GG2026-01|项目评审任务", "XM2026-02|项目评审任务"}, {}},
        {"work reviews of chenjing", "chen", 5, 0, from, to, {"TW0001|工作评审任务"}, {}},
        {"one day", "", 0, 0, Today().addDays(-9).toString("yyyy-MM-dd"), Today().addDays(-9).toString("yyyy-MM-dd"),
         {"XM2026-01-01|工作组任务", "XM2026-01-02|工作组任务"}, {}},
    };
    for (const auto& c : cases) {
        desktop.events.clear();
        zq::SetControlText(*m_page, IdPerson, QString::fromUtf8(c.person));
        zq::SetComboIndex(*m_page, IdKind, c.kind);
        zq::SetComboIndex(*m_page, IdState, c.state);
        zq::SetControlText(*m_page, IdFrom, c.from);
        zq::SetControlText(*m_page, IdTo, c.to);
        EXPECT_EQ(m_page->DoSearch(), 1) << c.name;
        EXPECT_EQ(Rows(*m_list, {1, 5}), c.rows) << c.name;
        EXPECT_EQ(desktop.messages(), c.messages) << c.name;
    }
    // Kind "所有" lists the tables one after another, in kind order.
    zq::SetControlText(*m_page, IdPerson, QString());
    zq::SetComboIndex(*m_page, IdKind, 0);
    zq::SetComboIndex(*m_page, IdState, 0);
    zq::SetControlText(*m_page, IdFrom, from);
    zq::SetControlText(*m_page, IdTo, to);
    ASSERT_EQ(m_page->DoSearch(), 1);
    QStringList kinds;
    for (int r = 0; r < m_list->GetItemCount(); ++r)
        if (kinds.isEmpty() || kinds.last() != m_list->GetItemText(r, 5))
            kinds << m_list->GetItemText(r, 5);
    EXPECT_EQ(kinds, (QStringList{"项目任务", "更改设计任务", "工作组任务", "项目评审任务", "工作评审任务"}));
    EXPECT_EQ(m_list->GetItemImage(0), 0);
}

TEST_P(TaskPage, AFailedQueryStopsTheSearchAndKeepsTheRows)
{
    DropTable(QStringLiteral("TeamWorkManage"));
    zq::SetControlText(*m_page, IdPerson, QString());
    EXPECT_EQ(m_page->DoSearch(), 0);
    // Project and change tasks came before the failing work-group query.
    EXPECT_EQ(Rows(*m_list, {5}).filter(QStringLiteral("工作组")).size(), 0);
    EXPECT_GT(m_list->GetItemCount(), 0);
    const QList<zq::ScriptedDesktop::Event> boxes = desktop.eventsOf("MSG");
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].fields, (QStringList{"操作说明", "查询信息时,数据库出现异常!"}));
}

class ProcessPartPage : public TaskPages {
protected:
    void SetUp() override
    {
        TaskPages::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_page = new CZQTWSearchPart(m_host.get());
        ASSERT_TRUE(m_page->CreatePage(m_host.get()));
        m_list = m_page->GetResultList();
        m_grid = zq::ControlAs<CReportListCtrl>(*m_page, CZQTWSearchPart::IDC_CONDITIONS);
        ASSERT_NE(m_list, nullptr);
        ASSERT_NE(m_grid, nullptr);
    }
    void Tick(int box, bool on)
    {
        auto* check = zq::ControlAs<QAbstractButton>(*m_page, box);
        if (check->isChecked() != on)
            check->click();
    }
    CZQTWSearchPart* m_page = nullptr;   // owned by m_host
    CReportListCtrl* m_list = nullptr;
    CReportListCtrl* m_grid = nullptr;
};

TEST_P(ProcessPartPage, Initialisation)
{
    EXPECT_EQ(m_grid->GetColumnTexts(0),
              (QStringList{"图号", "图名", "负责人", "所属任务名称", "所属任务编号", "所属项目名称", "所属项目编号"}));
    EXPECT_EQ(m_list->GetColumnCount(), 12);
    EXPECT_EQ(m_list->GetHeaderCtrl()->GetItemText(11), QStringLiteral("项目状态"));
    EXPECT_EQ(zq::ControlText(*m_page, IdFrom), Today().addDays(-365).toString("yyyy-MM-dd"));
    for (const auto& [box, picker] : {std::pair{CZQTWSearchPart::IDC_FROM_CHECK, IdFrom},
                                      std::pair{CZQTWSearchPart::IDC_TO_CHECK, IdTo}}) {
        QWidget* date = zq::Control(*m_page, picker);
        EXPECT_FALSE(date->isEnabled()) << picker;
        Tick(box, true);
        EXPECT_TRUE(date->isEnabled()) << picker;
        Tick(box, false);
        EXPECT_FALSE(date->isEnabled()) << picker;
    }
}

TEST_P(ProcessPartPage, Searches)
{
    const struct {
        const char* name;
        QList<std::pair<int, const char*>> cells;
        int fromDaysBack;   // −1: box clear
        int toDaysBack;
        QStringList codes;
    } cases[] = {
        {"empty grid: the parts of managed projects' tasks", {}, -1, -1,
         {"ZQ8600-01-01", "ZQ8600-01-02", "ZQ8600-02-01", "ZQ8600-02-02", "ZQ8600-03-02", "ZQ8700-01", "ZQ8800-01-01"}},
        {"drawing number from the start", {{0, "ZQ8600-0*-01"}}, -1, -1, {"ZQ8600-01-01", "ZQ8600-02-01"}},
        {"a number that only occurs inside", {{0, "8600"}}, -1, -1, {}},
        {"spaces only", {{1, "   "}}, -1, -1,
         {"ZQ8600-01-01", "ZQ8600-01-02", "ZQ8600-02-01", "ZQ8600-02-02", "ZQ8600-03-02", "ZQ8700-01", "ZQ8800-01-01"}},
        {"person and task number", {{2, "李娜"}, {4, "XM2026-01"}}, -1, -1, {"ZQ8600-01-01", "ZQ8600-01-02"}},
        {"task number with #", {{4, "XM2026-01#"}}, -1, -1, {"ZQ8600-03-02"}},
        {"project name", {{5, "ZQ8700"}}, -1, -1, {"ZQ8700-01"}},
        {"saved since six days ago", {}, 6, -1, {"ZQ8600-02-01", "ZQ8600-02-02", "ZQ8600-03-02", "ZQ8700-01"}},
        {"saved up to seven days ago", {}, -1, 7, {"ZQ8600-01-01", "ZQ8600-01-02", "ZQ8800-01-01"}},
        {"one day", {}, 6, 6, {"ZQ8600-02-01", "ZQ8600-02-02"}},
    };
    for (const auto& c : cases) {
        for (int row = 0; row < m_grid->GetItemCount(); ++row)
            m_grid->SetItemText(row, 1, QString());
        for (const auto& [row, text] : c.cells)
            m_grid->SetItemText(row, 1, QString::fromUtf8(text));
        Tick(CZQTWSearchPart::IDC_FROM_CHECK, c.fromDaysBack >= 0);
        Tick(CZQTWSearchPart::IDC_TO_CHECK, c.toDaysBack >= 0);
        if (c.fromDaysBack >= 0)
            zq::SetControlText(*m_page, IdFrom, Today().addDays(-c.fromDaysBack).toString("yyyy-MM-dd"));
        if (c.toDaysBack >= 0)
            zq::SetControlText(*m_page, IdTo, Today().addDays(-c.toDaysBack).toString("yyyy-MM-dd"));
        EXPECT_EQ(m_page->DoSearch(), 1) << c.name;
        EXPECT_EQ(Rows(*m_list, {0}), c.codes) << c.name;
    }
    // Every column of a row, and the locate text of the selected row.
    m_grid->SetItemText(0, 1, QStringLiteral("ZQ8600-03-02"));
    Tick(CZQTWSearchPart::IDC_FROM_CHECK, false);
    Tick(CZQTWSearchPart::IDC_TO_CHECK, false);
    ASSERT_EQ(m_page->DoSearch(), 1);
    ASSERT_EQ(m_list->GetItemCount(), 1);
    QStringList cells;
    for (int c = 0; c < 12; ++c)
        cells << m_list->GetItemText(0, c);
    cells[3] = cells[3].left(10);
    EXPECT_EQ(cells, (QStringList{"ZQ8600-03-02", "大齿轮", "张伟", Today().addDays(-5).toString("yyyy-MM-dd"),
                                  "输出轴部件设计", "XM2026-01#03", "zhangwei", "未开始", "ZQ8600减速器开发",
                                  "XM2026-01", "zhangwei", "正进行中"}));
    EXPECT_EQ(m_list->GetItemImage(0), 0);
    EXPECT_EQ(m_page->GetLocateText(), QString());
    m_list->SelectRow(0);
    EXPECT_EQ(m_page->GetLocateText(), QStringLiteral("ZQ8600-03-02@^大齿轮@^XM2026-01#03"));
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(ProcessPartPage, ADatabaseErrorIsTold)
{
    DropTable(QStringLiteral("TeamWorkPart"));
    EXPECT_EQ(m_page->DoSearch(), 0);
    const QList<zq::ScriptedDesktop::Event> boxes = desktop.eventsOf("MSG");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].fields, (QStringList{"操作提示", "查询数据库记录时出现异常!"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, TaskPage, testing::ValuesIn(zq::test::EngineNames()));
INSTANTIATE_TEST_SUITE_P(Engines, ProcessPartPage, testing::ValuesIn(zq::test::EngineNames()));

} // namespace
