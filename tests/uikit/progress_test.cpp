// The progress window: values recorded at once, the bar's wrap, the step and reset counts,
// and every way of cancelling (button, Escape, closing, the Desktop hook).
#include "ControlTestSupport.h"
#include "ProgressWnd.h"
#include "ScriptedDesktop.h"
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class ProgressTest : public ::testing::Test, zqtest::WithApp {
protected:
    QPushButton* cancelButton()
    {
        for (QPushButton* b : progress.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("取消"))
                return b;
        return nullptr;
    }
    CProgressWnd progress{nullptr, QStringLiteral("正在进行")};
};

TEST_F(ProgressTest, ShownAsAModelessTopLevelWindow)
{
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.isWindow());
    EXPECT_FALSE(progress.isModal());
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("正在进行"));
    EXPECT_NE(cancelButton(), nullptr);
    progress.Hide();
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(ProgressTest, StepItWrapsLikeAProgressControl)
{
    struct Case {
        int lower, upper, step, steps;
        int expectedPos;
    };
    const Case cases[] = {
        {0, 500, 1, 500, 500},
        {0, 500, 1, 501, 0},
        {0, 500, 1, 502, 1},
        {0, 100, 1, 101, 0},
        {0, 10, 3, 3, 9},
        {0, 10, 3, 4, 0},
        {5, 10, 5, 2, 5},
        {0, 10, -1, 1, 10},
        {0, 10, 0, 7, 0},
    };
    for (const Case& c : cases) {
        CProgressWnd p(nullptr, QStringLiteral("t"));
        p.SetRange(c.lower, c.upper);
        p.SetStep(c.step);
        p.SetPos(c.lower);
        for (int i = 0; i < c.steps; ++i)
            p.StepIt();
        EXPECT_EQ(p.GetPos(), c.expectedPos) << c.lower << ".." << c.upper << " step " << c.step << " x" << c.steps;
        EXPECT_EQ(p.GetStepCount(), c.steps);
    }
}

TEST_F(ProgressTest, ValuesAreRecordedAtOnceAndShownByThePump)
{
    progress.SetRange(0, 500);
    const QString text = QStringLiteral("正读取第 %1 条......\n\n      中止操作请按<取消>键...").arg(7);
    progress.SetText(text);
    progress.SetPos(42);
    EXPECT_EQ(progress.GetText(), text);
    EXPECT_EQ(progress.GetPos(), 42);
    EXPECT_EQ(progress.GetLower(), 0);
    EXPECT_EQ(progress.GetUpper(), 500);
    EXPECT_TRUE(progress.PeekAndPump());   // the first pump paints whatever is due
    QLabel* label = progress.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text);        // plain text: "<取消>" is not taken for markup
    EXPECT_EQ(progress.findChild<QProgressBar*>()->value(), 42);
    progress.SetPos(900);                  // out of range: clamped
    EXPECT_EQ(progress.GetPos(), 500);
}

TEST_F(ProgressTest, ResetsAreCountedOnlyAfterTheFirstStep)
{
    progress.SetRange(0, 500);
    progress.SetPos(0);
    EXPECT_EQ(progress.GetResetCount(), 0);
    progress.StepIt();
    progress.SetPos(0);
    progress.SetPos(3);
    progress.SetPos(0);
    EXPECT_EQ(progress.GetResetCount(), 2);
}

TEST_F(ProgressTest, WaysOfCancelling)
{
    struct Case {
        const char* how;
        std::function<void(CProgressWnd&, QWidget& elsewhere)> act;
        bool cancelOnEscape;
        bool cancels;
    };
    const Case cases[] = {
        {"取消 clicked", [](CProgressWnd& p, QWidget&) {
             for (QPushButton* b : p.findChildren<QPushButton*>())
                 b->click();
         }, true, true},
        {"Escape on the window", [](CProgressWnd& p, QWidget&) { zqtest::key(&p, Qt::Key_Escape); }, true, true},
        {"Escape in another window", [](CProgressWnd&, QWidget& w) { zqtest::key(&w, Qt::Key_Escape); }, true, true},
        {"Escape not counted", [](CProgressWnd& p, QWidget&) { zqtest::key(&p, Qt::Key_Escape); }, false, false},
        {"Escape once hidden", [](CProgressWnd& p, QWidget& w) { p.Hide(); zqtest::key(&w, Qt::Key_Escape); }, true, false},
        {"window closed", [](CProgressWnd& p, QWidget&) { p.close(); }, true, true},
        {"other keys", [](CProgressWnd& p, QWidget&) { zqtest::key(&p, Qt::Key_Return); }, true, false},
    };
    progress.Cancel();   // the fixture's own window: an Escape no case's window takes must not count for it
    for (const Case& c : cases) {
        CProgressWnd p(nullptr, QStringLiteral("正在进行"));
        QLineEdit elsewhere;
        elsewhere.show();
        EXPECT_TRUE(p.PeekAndPump(c.cancelOnEscape)) << c.how;
        const int cancelledBefore = CProgressWnd::CancelledCount();
        c.act(p, elsewhere);
        EXPECT_EQ(p.Cancelled(), c.cancels) << c.how;
        EXPECT_EQ(p.PeekAndPump(c.cancelOnEscape), !c.cancels) << c.how;
        p.Cancel();   // again, or at last: a window is counted once
        EXPECT_EQ(CProgressWnd::CancelledCount() - cancelledBefore, 1) << c.how;
        if (c.cancels && std::string(c.how) == "window closed") {
            EXPECT_TRUE(p.isVisible());   // the caller hides it once the work has stopped
        }
    }
}

TEST_F(ProgressTest, TheDesktopHookCanCancelAfterNRows)
{
    zq::ScriptedDesktop desktop;
    desktop.cancelAfterRows = 3;
    zq::ScopedDesktop installed(desktop);
    int rows = 0;
    for (int i = 0; i < 100; ++i) {
        progress.StepIt();
        if (!progress.PeekAndPump())
            break;
        ++rows;
    }
    EXPECT_EQ(rows, 3);
    EXPECT_TRUE(progress.Cancelled());
}

} // namespace
