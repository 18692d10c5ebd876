// The client's "任务" view: a property view of two task pages listing tasks that are not
// finished, the logged-on user's and everyone's, refreshed by Enter, kept by a reversed range.
#include "DialogTemplate.h"
#include "FlatTabCtrl.h"
#include "ListCtrl.h"
#include "OpenTasks.h"
#include "PDMClientWindow.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "TaskDock.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

namespace {

class TaskDockTest : public testing::Test {
protected:
    static void SetUpTestSuite() { zq::test::EnsureApp(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_home.ok()) << m_home.error().toStdString();
        m_window = std::make_unique<zq::host::PDMClientWindow>();
        m_window->start();
        m_dock = m_window->taskDock();
        ASSERT_NE(m_dock, nullptr);
    }
    void TearDown() override { m_window.reset(); }

    QStringList Numbers(int page) const
    {
        QStringList numbers = m_dock->page(page)->GetResultList()->GetColumnTexts(1);
        numbers.sort();
        return numbers;
    }
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &press);
    }

    zq::test::ScopedEnv m_user{"ZQPDM_USER", QStringLiteral("zhangwei")};
    zq::test::SeededHome m_home;
    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scoped{m_desktop};
    std::unique_ptr<zq::host::PDMClientWindow> m_window;
    zq::host::TaskDock* m_dock = nullptr;
};

TEST_F(TaskDockTest, ListsTheTasksThatAreNotFinished)
{
    zq::host::TaskView* view = m_dock->view();
    ASSERT_EQ(view->GetPageCount(), 2);
    EXPECT_EQ(view->GetTabCtrl()->GetItemText(0), QStringLiteral("我的任务"));
    EXPECT_EQ(view->GetTabCtrl()->GetItemText(1), QStringLiteral("全部任务"));
    EXPECT_EQ(view->GetActiveIndex(), 0);
    EXPECT_EQ(zq::ControlText(*m_dock->page(0), 1084), QStringLiteral("zhangwei"));
    EXPECT_EQ(m_dock->page(0)->GetResultList()->GetHeaderCtrl()->GetItemText(1), QStringLiteral("编号"));
    EXPECT_EQ(Numbers(0), (QStringList{"GG2026-01", "GG2026-01", "QT2026-01", "XM2026-01", "XM2026-01#03"}));
    EXPECT_EQ(Numbers(1), (QStringList{"GG2026-01", "GG2026-01", "GG2026-01", "QT2026-01", "TW0001", "XM2026-01",
                                       "XM2026-01#03", "XM2026-01-01", "XM2026-02", "XM2026-02", "XM2026-02-01",
                                       "XM2026-03"}));
    EXPECT_TRUE(m_desktop.messages().isEmpty()) << m_desktop.messages().join(u'\n').toStdString();
    EXPECT_EQ(m_dock->note(), QString());

    // With the search window's link ticked, the task name of a selected row is located.
    m_window->openSearch();
    zq::SetChecked(*CZQPDMSearchFunction::m_pPDMSearchMain, 1057, true);
    CReportListCtrl* list = m_dock->page(0)->GetResultList();
    list->SelectRow(1);
    ASSERT_EQ(m_window->commandLog()->count(), 1);
    EXPECT_EQ(m_window->commandLog()->item(0)->text(), QStringLiteral("Locate  ") + list->GetItemText(1, 0));
}

TEST_F(TaskDockTest, EnterListsAgainWithThePageConditions)
{
    zq::host::TaskListPage* mine = m_dock->page(0);
    auto* number = zq::ControlAs<QLineEdit>(*mine, 1021);
    number->setText(QStringLiteral("XM"));
    Press(number, Qt::Key_Return);
    EXPECT_EQ(Numbers(0), (QStringList{"XM2026-01", "XM2026-01#03"}));
    // "..." picks the person in charge.
    m_desktop.pickAnswers = {{"lina"}};
    zq::ControlAs<QAbstractButton>(*mine, 1248)->click();
    EXPECT_EQ(zq::ControlText(*mine, 1084), QStringLiteral("lina"));
    // A chosen state lists that state, finished or not.
    zq::SetControlText(*mine, 1021, QString());
    zq::SetControlText(*mine, 1084, QString());
    zq::SetComboIndex(*mine, 1020, 7);   // "完成"
    m_dock->view()->Refresh();
    EXPECT_EQ(Numbers(0), (QStringList{"GG2026-02", "GG2026-02", "XM2025-09-01", "XM2026-01-02"}));
}

TEST_F(TaskDockTest, CtrlTabSwitchesAndAReversedRangeKeepsThePage)
{
    zq::host::TaskView* view = m_dock->view();
    Press(zq::Control(*m_dock->page(0), 1014), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(view->GetActiveIndex(), 1);
    Press(zq::Control(*m_dock->page(1), 1014), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(view->GetActiveIndex(), 0);

    zq::task::TaskFormData& data = m_dock->page(0)->Data();
    zq::SetControlText(*m_dock->page(0), 1204, data.to.addDays(1).toString("yyyy-MM-dd"));
    EXPECT_FALSE(view->SetActivePage(1));
    EXPECT_EQ(view->GetActiveIndex(), 0);
    EXPECT_EQ(m_desktop.messages(), QStringList{"开始日期与结束日期不匹配..."});
}

// A login the database does not know has no tasks of its own: "我的任务" lists none (neither
// everyone's nor those of a user whose name merely contains the login) and the dock says why.
TEST(TaskDockUnknownLogin, ListsNothingAndSaysTheLoginIsUnknown)
{
    zq::test::EnsureApp();
    zq::test::SeededHome home;
    ASSERT_TRUE(home.ok()) << home.error().toStdString();
    for (const QString& login : {QStringLiteral("nobody"), QStringLiteral("li")}) {
        const zq::test::ScopedEnv user("ZQPDM_USER", login);
        zq::ScriptedDesktop desktop;
        const zq::ScopedDesktop scoped{desktop};
        zq::host::PDMClientWindow window;
        window.start();
        zq::host::TaskDock* dock = window.taskDock();
        EXPECT_EQ(dock->page(0)->GetResultList()->GetItemCount(), 0) << login.toStdString();
        EXPECT_GT(dock->page(1)->GetResultList()->GetItemCount(), 0) << login.toStdString();
        EXPECT_EQ(zq::ControlText(*dock->page(0), 1084), login);
        EXPECT_EQ(dock->note(), QStringLiteral("登录名 %1 不是产品数据库的用户, 我的任务里没有任务").arg(login));
    }
}

TEST(OpenTasks, FinishedStates)
{
    for (const char* state : {"完成", "归档", "已归档", "已入库", "已完成", " 完成 "})
        EXPECT_TRUE(zq::host::IsFinishedState(QString::fromUtf8(state))) << state;
    for (const char* state : {"正进行中", "未完成", "评审", "评审-更改", "待确认", ""})
        EXPECT_FALSE(zq::host::IsFinishedState(QString::fromUtf8(state))) << state;
}

} // namespace
