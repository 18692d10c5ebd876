// The search window as it is worked in all day: each tab's own status line, the keys and the list
// that switch tabs, a cancelled search told apart, and the place and column widths the user left.
#include "WorkbenchTestKit.h"

#include "ColumnWidthMemory.h"
#include "FlatTabCtrl.h"
#include "ProgressWnd.h"
#include "SearchWindowState.h"
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QToolButton>

// Qt's own dispatch of a key press to the shortcuts of the active window (what QTest uses).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false, ushort count = 1);

using namespace wbtest;

namespace {

const QString kInitialStatus = QStringLiteral("操作提示：");

QString counted(int rows)
{
    return QStringLiteral("操作提示:共查到%1项记录").arg(rows);
}

// A key pressed where the focus is, as the window system delivers it: shortcuts first.
void press(QWidget* focus, int key, Qt::KeyboardModifiers modifiers)
{
    if (qt_sendShortcutOverrideEvent(focus, 0, key, modifiers))
        return;
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(focus, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(focus, &up);
}

class DailyUseTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        RegisterTestPages();
    }
    void TearDown() override
    {
        m_window.reset();
        flushDeferredDeletes();
    }
    CZQPDMSearchMain& create(const QStringList& captions)
    {
        m_install.writePageList(captions);
        m_window.reset();
        m_window = std::make_unique<CZQPDMSearchMain>();
        CZQPDMSearchFunction::m_pPDMSearchMain = m_window.get();
        EXPECT_TRUE(m_window->Create(nullptr));
        return *m_window;
    }
    TestPage* page(int index) const { return AsTestPage(m_window->Pages().value(index)); }
    int currentIndex() const { return int(m_window->Pages().indexOf(m_window->CurrentPage())); }

    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    TempInstallation m_install;
    std::unique_ptr<CZQPDMSearchMain> m_window;
};

// The status line tells of the tab shown: its last search, or nothing when it has none (before,
// it kept the last search of any tab, a count over a list it did not describe).
TEST_F(DailyUseTest, EachTabShowsTheStatusOfItsOwnLastSearch)
{
    create({u8("更改单"), u8("设计文档"), u8("设计任务")});
    const struct {
        const char* step;
        std::function<void()> act;
        QString status;
    } steps[] = {
        {"Find on 更改单", [&] { page(0)->rowsPerSearch = 3; m_window->OnFind(); }, counted(3)},
        {"to 设计文档, never searched", [&] { m_window->SelectPage(1); }, kInitialStatus},
        {"Find there", [&] { page(1)->rowsPerSearch = 5; m_window->OnFind(); }, counted(5)},
        {"back to 更改单", [&] { m_window->SelectPage(0); }, counted(3)},
        {"a resize lays the tab out again", [&] { m_window->resize(m_window->size() + QSize(30, 20)); }, counted(3)},
        {"to 设计任务 by a click on its tab", [&] { m_window->TabCtrl()->SelectAsUser(2); }, kInitialStatus},
        {"to 设计文档", [&] { m_window->SelectPage(1); }, counted(5)},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(m_window->StatusText(), s.status) << s.step;
    }
}

// The user goes to another tab while the rows are read: the count is that search's tab's, shown
// when the user comes back to it, never over the tab the user went to.
TEST_F(DailyUseTest, ACountGoesToTheTabThatSearchedWhenTheUserMovedOnMeanwhile)
{
    Settings().onSearch = [this](TestPage& searching) {
        searching.list()->InsertItem(0, QStringLiteral("A"));
        searching.list()->InsertItem(1, QStringLiteral("B"));
        m_window->SelectPage(1);
    };
    create({u8("更改单"), u8("设计文档")});
    m_window->OnFind();
    EXPECT_EQ(m_window->CurrentPage(), page(1));
    EXPECT_EQ(m_window->StatusText(), kInitialStatus);
    m_window->SelectPage(0);
    EXPECT_EQ(m_window->StatusText(), counted(2));
}

TEST_F(DailyUseTest, CtrlTabAndCtrlPageKeysStepThroughTheTabsWrappingRound)
{
    create({u8("更改单"), u8("设计文档"), u8("设计任务")});
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } presses[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_Tab, Qt::ControlModifier, 0},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_PageUp, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, 2},
        {Qt::Key_PageDown, Qt::NoModifier, 2},   // the list's own key
        {Qt::Key_Tab, Qt::NoModifier, 2},        // the focus's
    };
    for (const auto& p : presses) {
        CReportListCtrl* focus = page(currentIndex())->list();
        focus->setFocus();
        press(focus, p.key, p.modifiers);
        EXPECT_EQ(currentIndex(), p.tab) << QKeySequence(p.key | p.modifiers).toString().toStdString();
        EXPECT_EQ(m_window->TabCtrl()->GetCurSel(), p.tab);
        EXPECT_TRUE(m_window->CurrentPage()->isVisible());
    }
    EXPECT_EQ(page(2)->activations, 3);
}

TEST_F(DailyUseTest, TheTabListJumpsToTheChosenTab)
{
    create({u8("更改单"), u8("设计文档"), u8("设计任务"), u8("设计过程零部件")});
    auto* list = m_window->TabCtrl()->findChild<QToolButton*>(QStringLiteral("tabList"));
    ASSERT_NE(list, nullptr);
    m_desktop.menuAnswers = {4};
    list->click();
    EXPECT_EQ(m_window->CurrentPage(), page(3));
    QStringList offered;
    for (const zq::MenuEntry& entry : m_desktop.lastMenu)
        offered << entry.text;
    EXPECT_EQ(offered, (QStringList{u8("更改单"), u8("设计文档"), u8("设计任务"), u8("设计过程零部件")}));
    list->click();   // nothing chosen
    EXPECT_EQ(m_window->CurrentPage(), page(3));
}

TEST_F(DailyUseTest, ACancelledSearchIsToldApartWithTheSameStatusText)
{
    bool cancel = true;
    Settings().onSearch = [&cancel](TestPage& searching) {
        CProgressWnd progress(nullptr, QStringLiteral("正在进行"));
        searching.list()->DeleteAllItems();
        searching.list()->InsertItem(0, QStringLiteral("A"));
        if (cancel)
            progress.Cancel();
    };
    create({u8("更改单"), u8("设计文档")});
    EXPECT_FALSE(m_window->StatusFromCancelledSearch());
    m_window->OnFind();
    EXPECT_EQ(m_window->StatusText(), counted(1));
    EXPECT_TRUE(m_window->StatusFromCancelledSearch());
    m_window->SelectPage(1);
    EXPECT_FALSE(m_window->StatusFromCancelledSearch()) << "the other tab's status is not";
    m_window->SelectPage(0);
    EXPECT_TRUE(m_window->StatusFromCancelledSearch());
    cancel = false;
    m_window->OnFind();
    EXPECT_FALSE(m_window->StatusFromCancelledSearch());
}

// Widths the user drags are the user's on that tab from then on, in the next window too; the
// first fill widens only the columns the user left alone.
TEST_F(DailyUseTest, ColumnWidthsTheUserSetsComeBackOnTheirTab)
{
    Settings().onSearch = [](TestPage& searching) {
        searching.list()->DeleteAllItems();
        searching.list()->InsertItem(0, QStringLiteral("ZQ8600-01-02-01-0003 减速器箱盖组件"));
    };
    create({u8("更改单"), u8("设计文档")});
    page(0)->list()->horizontalHeader()->resizeSection(0, 180);
    create({u8("更改单"), u8("设计文档")});   // the old window went, saving what it had
    EXPECT_EQ(page(0)->list()->GetColumnWidth(0), 180);
    EXPECT_EQ(page(1)->list()->GetColumnWidth(0), 100) << "another tab keeps its own";
    m_window->OnFind();
    EXPECT_EQ(page(0)->list()->GetColumnWidth(0), 180) << "the fit leaves the user's width";
    m_window->SelectPage(1);
    m_window->OnFind();
    EXPECT_GT(page(1)->list()->GetColumnWidth(0), 100) << "the fit widens one the user left alone";
    // A drag is saved a moment later, without waiting for the window to go.
    page(1)->list()->horizontalHeader()->resizeSection(0, 130);
    const auto saved = [] { return zq::SearchWindowState().columnWidths(u8("设计文档")).value(u8("编号")); };
    EXPECT_EQ(saved(), 0) << "not at every step of the drag";
    QElapsedTimer waited;
    waited.start();
    while (saved() != 130 && waited.elapsed() < zq::ColumnWidthMemory::kSaveDelayMs * 10)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(saved(), 130);
}

// The window comes back where it was left, at the first tab whatever tab it was left on.
TEST_F(DailyUseTest, TheWindowComesBackWhereItWasLeftOnItsFirstTab)
{
    create({u8("更改单"), u8("设计文档")});
    m_window->PlaceWindow();
    m_window->show();
    m_window->setGeometry(QRect(30, 40, 610, 450));
    m_window->SelectPage(1);
    zq::ControlAs<QAbstractButton>(*m_window, CZQPDMSearchMain::IDC_EXIT)->click();   // "退出"
    create({u8("更改单"), u8("设计文档")});
    m_window->PlaceWindow();
    EXPECT_EQ(m_window->geometry(), QRect(30, 40, 610, 450));
    EXPECT_EQ(m_window->CurrentPage(), page(0));
    // Left off every screen there is now: centred instead, at the size it had.
    ASSERT_TRUE(zq::SearchWindowState().savePlacement({QRect(-5000, -5000, 610, 450), false}));
    create({u8("更改单")});
    m_window->PlaceWindow();
    EXPECT_EQ(m_window->size(), QSize(610, 450));
    EXPECT_NE(m_window->geometry().topLeft(), QPoint(-5000, -5000));
}

} // namespace
