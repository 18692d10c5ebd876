// The search window: page list, tabs, link state, Find, status line, keys and resizing; and as it is
// worked in all day (below).
#include "WorkbenchTestKit.h"

#include "ColumnWidthMemory.h"
#include "FlatTabCtrl.h"
#include "ProgressWnd.h"
#include "SearchWindowState.h"
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

// Qt's own dispatch of a key press to the shortcuts of the active window (what QTest uses).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false, ushort count = 1);

using namespace wbtest;

namespace {

class SearchMainTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        RegisterTestPages();
    }
    void TearDown() override
    {
        m_window.reset();
        CZQPDMSearchFunction::SetDllCommand(nullptr);
        flushDeferredDeletes();
    }

    CZQPDMSearchMain& create(const QStringList& captions)
    {
        m_install.writePageList(captions);
        return createFromInstallation();
    }
    CZQPDMSearchMain& createFromInstallation()
    {
        m_window.reset();
        m_window = std::make_unique<CZQPDMSearchMain>();
        CZQPDMSearchFunction::m_pPDMSearchMain = m_window.get();   // pages reach the window through it
        EXPECT_TRUE(m_window->Create(nullptr));
        return *m_window;
    }
    QStringList tabCaptions() const
    {
        QStringList captions;
        CFlatTabCtrl* tabs = m_window->TabCtrl();
        for (int i = 0; tabs && i < tabs->GetItemCount(); ++i)
            captions.append(tabs->GetItemText(i));
        return captions;
    }
    TestPage* page(int index) const { return AsTestPage(m_window->Pages().value(index)); }
    int currentIndex() const { return int(m_window->Pages().indexOf(m_window->CurrentPage())); }
    QAbstractButton* button(int id) const { return zq::ControlAs<QAbstractButton>(*m_window, id); }
    void clickLocate() const { button(CZQPDMSearchMain::IDC_LOCATE)->click(); }

    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    TempInstallation m_install;
    std::unique_ptr<CZQPDMSearchMain> m_window;
};

TEST_F(SearchMainTest, PageListFilesGiveTheirTabs)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList tabs;
    } cases[] = {
        {"known captions in file order", zq::EncodeGbk(u8("更改单\r\n设计零部件\r\n设计任务\r\n")),
         {u8("更改单"), u8("设计零部件"), u8("设计任务")}},
        {"unknown lines skipped", zq::EncodeGbk(u8("设计零部件\r\n零部件\r\nfoo\r\n资源文件\r\n")),
         {u8("设计零部件"), u8("资源文件")}},
        {"duplicate caption gives two pages", zq::EncodeGbk(u8("更改单\r\n更改单\r\n")), {u8("更改单"), u8("更改单")}},
        {"extra space matches nothing", zq::EncodeGbk(u8("设计零部件 \r\n 更改单\r\n设计文档\r\n")), {u8("设计文档")}},
        {"LF line ends and no final line end", zq::EncodeGbk(u8("设计文档\n批次产品")), {u8("设计文档"), u8("批次产品")}},
        {"empty lines skipped", zq::EncodeGbk(u8("\r\n设计任务\r\n\r\n")), {u8("设计任务")}},
        {"UTF-8 page list", u8("数据视图项\n").toUtf8(), {u8("数据视图项")}},
        {"all eleven", zq::EncodeGbk(u8("设计零部件\n资源文件\n设计文档\n数据视图项\n批次产品\n更改单\n更改发放部门\n"
                                        "更改影响面\n更改处理意见\n设计任务\n设计过程零部件\n")),
         {u8("设计零部件"), u8("资源文件"), u8("设计文档"), u8("数据视图项"), u8("批次产品"), u8("更改单"),
          u8("更改发放部门"), u8("更改影响面"), u8("更改处理意见"), u8("设计任务"), u8("设计过程零部件")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_desktop.events.clear();
        m_install.writePageListBytes(c.bytes);
        createFromInstallation();
        EXPECT_EQ(tabCaptions(), c.tabs);
        EXPECT_EQ(m_window->Pages().size(), c.tabs.size());
        EXPECT_TRUE(m_desktop.messages().isEmpty());
        ASSERT_NE(m_window->CurrentPage(), nullptr);
        EXPECT_EQ(m_window->CurrentPage(), m_window->Pages().value(0));
        EXPECT_EQ(m_window->TabCtrl()->GetCurSel(), 0);
    }
}

TEST_F(SearchMainTest, CaptionWithoutARegisteredPageIsSkipped)
{
    zq::RegisterPageFactory(u8("设计文档"), {});
    create({u8("设计文档"), u8("更改单")});
    EXPECT_EQ(tabCaptions(), QStringList{u8("更改单")});
    EXPECT_TRUE(m_desktop.messages().isEmpty());
}

TEST_F(SearchMainTest, MissingPageListIsReportedAndLeavesNoTabs)
{
    createFromInstallation();
    ASSERT_EQ(m_desktop.eventsOf(QStringLiteral("MSG")).size(), 1);
    const auto message = m_desktop.eventsOf(QStringLiteral("MSG")).first().fields;
    EXPECT_EQ(message.value(0), u8("错误"));
    EXPECT_EQ(message.value(1), u8("不能创建查询页面！"));
    EXPECT_TRUE(m_window->Pages().isEmpty());
    EXPECT_EQ(m_window->CurrentPage(), nullptr);
    m_window->OnFind();
    m_window->OnSaveAs();
    EXPECT_EQ(m_desktop.events.size(), 1);
}

TEST_F(SearchMainTest, EmptyPageListShowsNothingAndFindDoesNothing)
{
    m_install.writePageListBytes(QByteArray());
    createFromInstallation();
    EXPECT_TRUE(m_desktop.events.isEmpty());
    EXPECT_TRUE(tabCaptions().isEmpty());
    const QString before = m_window->StatusText();
    m_window->OnFind();
    EXPECT_EQ(m_window->StatusText(), before);
    EXPECT_EQ(m_desktop.waitDepth, 0);
}

TEST_F(SearchMainTest, PageListFoundWhateverTheCaseOfItsPath)
{
    m_install.writePageListBytes(zq::EncodeGbk(u8("设计文档\r\n")), QStringLiteral("SUPPORT/search.CFG"));
    createFromInstallation();
    EXPECT_EQ(tabCaptions(), QStringList{u8("设计文档")});
}

TEST_F(SearchMainTest, PartPageStaysVisibleUntilSelectedAndLeft)
{
    create({u8("更改单"), u8("设计零部件"), u8("设计文档")});
    m_window->show();
    TestPage* eco = page(0);
    TestPage* part = page(1);
    TestPage* document = page(2);
    EXPECT_EQ(m_window->CurrentPage(), eco);
    EXPECT_TRUE(eco->isVisible() && eco->isEnabled());
    EXPECT_TRUE(part->isVisible());
    EXPECT_FALSE(part->isEnabled());
    EXPECT_FALSE(document->isVisible());

    m_window->SelectPage(1);
    EXPECT_TRUE(part->isVisible() && part->isEnabled());
    EXPECT_FALSE(eco->isVisible() || eco->isEnabled());
    m_window->SelectPage(2);
    EXPECT_FALSE(part->isVisible());
    EXPECT_TRUE(document->isVisible() && document->isEnabled());
    EXPECT_EQ(document->activations, 1);
}

TEST_F(SearchMainTest, SelectingOutOfRangeDoesNothing)
{
    create({u8("更改单"), u8("设计文档")});
    m_window->SelectPage(2);
    m_window->SelectPage(-1);
    EXPECT_EQ(m_window->CurrentPage(), page(0));
    EXPECT_EQ(m_window->TabCtrl()->GetCurSel(), 0);
}

TEST_F(SearchMainTest, EachLinkedPageKeepsItsOwnTick)
{
    // 更改单 and 设计任务 take part in the link, 设计文档 does not.
    create({u8("更改单"), u8("设计文档"), u8("设计任务")});
    QAbstractButton* locate = button(CZQPDMSearchMain::IDC_LOCATE);
    const struct {
        int select;
        bool tick;          // tick the box after selecting (only when enabled)
        bool enabled;
        bool checked;
    } steps[] = {
        {0, true, true, true},      // tick on 更改单
        {1, false, false, true},    // 设计文档: box disabled, tick kept as it was
        {2, false, true, false},    // 设计任务: its own state, not ticked
        {0, false, true, true},     // back to 更改单: its tick restored
        {2, true, true, true},      // tick on 设计任务 too
        {1, false, false, true},
        {0, false, true, true},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        m_window->SelectPage(steps[i].select);
        EXPECT_EQ(locate->isEnabled(), steps[i].enabled);
        if (steps[i].tick)
            locate->setChecked(true);
        EXPECT_EQ(locate->isChecked(), steps[i].checked);
    }
    EXPECT_TRUE(page(0)->m_bLocate);
    EXPECT_FALSE(page(1)->m_bLocate);
    EXPECT_TRUE(page(2)->m_bLocate);
}

TEST_F(SearchMainTest, LocateIsSentOnTickAndOnNewSelections)
{
    RecordingCommand host;
    CZQPDMSearchFunction::SetDllCommand(&host);
    create({u8("更改单")});
    m_window->OnFind();
    TestPage* eco = page(0);
    eco->list()->SelectRow(1);                       // not ticked: nothing sent
    EXPECT_TRUE(host.commands.isEmpty());

    clickLocate();                                    // ticked with a row selected: sent at once
    ASSERT_EQ(host.commands.size(), 1);
    EXPECT_EQ(host.commands[0], (QStringList{QStringLiteral("Locate"), QStringLiteral("R1-1")}));
    EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("CMD")).size(), 1);

    eco->list()->SelectRow(1);                       // the same row again: nothing
    eco->report(1);
    EXPECT_EQ(host.commands.size(), 1);
    eco->list()->SelectRow(2);                       // another row: one more
    ASSERT_EQ(host.commands.size(), 2);
    EXPECT_EQ(host.commands[1].value(1), QStringLiteral("R1-2"));

    clickLocate();                                    // ticked off: nothing
    EXPECT_EQ(host.commands.size(), 2);
    eco->list()->SelectRow(0);
    EXPECT_EQ(host.commands.size(), 2);
}

TEST_F(SearchMainTest, NotifyLocateResults)
{
    RecordingCommand host;
    create({u8("更改单")});
    const struct {
        bool ticked;
        QString text;
        bool withHost;
        int result;
        int sent;
    } cases[] = {
        {false, QStringLiteral("A@^B"), true, 0, 0},
        {true, QString(), true, 0, 0},
        {true, QStringLiteral("A@^B"), true, 1, 1},
        {true, QStringLiteral("A@^B"), false, 1, 0},
    };
    for (const auto& c : cases) {
        host.commands.clear();
        m_desktop.events.clear();
        CZQPDMSearchFunction::SetDllCommand(c.withHost ? &host : nullptr);
        zq::SetChecked(*m_window, CZQPDMSearchMain::IDC_LOCATE, c.ticked);
        EXPECT_EQ(m_window->NotifyLocate(c.text), c.result);
        EXPECT_EQ(host.commands.size(), c.sent);
        EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("CMD")).size(), c.sent);
    }
}

TEST_F(SearchMainTest, RememberedRowGoneAfterNewSearchSendsNothing)
{
    RecordingCommand host;
    CZQPDMSearchFunction::SetDllCommand(&host);
    Settings().rowsPerSearch = 3;
    create({u8("更改单")});
    m_window->OnFind();
    page(0)->list()->SelectRow(2);
    page(0)->rowsPerSearch = 1;
    m_window->OnFind();                               // row 2 no longer exists
    clickLocate();
    EXPECT_TRUE(host.commands.isEmpty());
}

TEST_F(SearchMainTest, FindShowsTheCountOrKeepsTheStatus)
{
    Settings().withoutResultList = {u8("设计文档")};
    create({u8("更改单"), u8("设计文档")});
    EXPECT_EQ(m_window->StatusText(), u8("操作提示："));
    const struct {
        int select;
        int rows;
        const char* status;
    } steps[] = {
        {0, 3, "操作提示:共查到3项记录"},
        {0, 0, "操作提示:共查到0项记录"},
        {1, 5, "操作提示："},                 // no result list: the tab's own status, none yet
        {0, 12, "操作提示:共查到12项记录"},
    };
    for (const auto& step : steps) {
        m_window->SelectPage(step.select);
        page(step.select)->rowsPerSearch = step.rows;
        m_window->OnFind();
        EXPECT_EQ(m_window->StatusText(), u8(step.status));
        EXPECT_EQ(m_desktop.waitDepth, 0);
    }
    EXPECT_EQ(page(1)->searches, 1);
}

TEST_F(SearchMainTest, FindDuringARunningQueryOnThePageIsIgnored)
{
    // The page's search lets events through, and a second Find arrives meanwhile.
    int nested = 0;
    Settings().onSearch = [&](TestPage& page) {
        if (++nested == 1)
            m_window->OnFind();
        page.list()->InsertItem(0, QStringLiteral("X"));
    };
    create({u8("更改单")});
    m_window->OnFind();
    EXPECT_EQ(page(0)->searches, 1);
    EXPECT_FALSE(page(0)->IsQueryRunning());
    EXPECT_EQ(m_window->StatusText(), u8("操作提示:共查到1项记录"));
    m_window->OnFind();
    EXPECT_EQ(page(0)->searches, 2);
}

TEST_F(SearchMainTest, EnterFindsAndEscapeHides)
{
    create({u8("更改单")});
    m_window->show();
    const struct {
        Qt::Key key;
        QWidget* (*target)(CZQPDMSearchMain&);
        int searches;
        bool visible;
    } cases[] = {
        {Qt::Key_Return, [](CZQPDMSearchMain& w) -> QWidget* { return &w; }, 1, true},
        {Qt::Key_Enter, [](CZQPDMSearchMain& w) -> QWidget* { return w.CurrentPage(); }, 2, true},
        {Qt::Key_Escape, [](CZQPDMSearchMain& w) -> QWidget* { return w.CurrentPage(); }, 2, false},
    };
    for (const auto& c : cases) {
        m_window->show();
        QKeyEvent press(QEvent::KeyPress, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QApplication::sendEvent(c.target(*m_window), &press);
        EXPECT_EQ(page(0)->searches, c.searches);
        EXPECT_EQ(m_window->isVisible(), c.visible);
    }
    // Hidden, not destroyed: the results are still there.
    EXPECT_EQ(page(0)->list()->GetItemCount(), 3);
    button(CZQPDMSearchMain::IDC_EXIT)->click();
    EXPECT_FALSE(m_window->isVisible());
}

TEST_F(SearchMainTest, FindButtonAndTabClicks)
{
    create({u8("更改单"), u8("设计任务")});
    button(CZQPDMSearchMain::IDC_FIND)->click();
    EXPECT_EQ(page(0)->searches, 1);
    Q_EMIT m_window->TabCtrl()->selChange(1);
    EXPECT_EQ(m_window->CurrentPage(), page(1));
    EXPECT_TRUE(m_window->SelectPageByCaption(u8("更改单")));
    EXPECT_EQ(m_window->CurrentPage(), page(0));
    EXPECT_FALSE(m_window->SelectPageByCaption(u8("设计文档")));
}

TEST_F(SearchMainTest, TreeItemGoesToTheCurrentPageOnly)
{
    create({u8("设计零部件"), u8("设计文档")});
    CTreeCtrlEx tree;
    const CTreeCursor item = tree.InsertItem(QStringLiteral("产品"));
    m_window->SetCurTreeItem(item);
    m_window->SelectPage(1);
    ASSERT_EQ(page(0)->treeItems.size(), 1);
    EXPECT_EQ(page(0)->treeItems[0], item);
    EXPECT_TRUE(page(1)->treeItems.isEmpty());
}

TEST_F(SearchMainTest, PageFillsTheTabDisplayArea)
{
    create({u8("更改单")});
    QRect expected = m_window->TabCtrl()->DisplayRect();
    expected.adjust(-2, 1, 2, 1);
    EXPECT_EQ(page(0)->geometry(), expected);
}

TEST_F(SearchMainTest, ResizeKeepsButtonsInTheCorner)
{
    create({u8("更改单")});
    m_window->show();
    const QSize design = m_window->size();
    auto rect = [&](int id) { return zq::Control(*m_window, id)->geometry(); };
    const QRect locate0 = rect(1057), save0 = rect(1137), find0 = rect(1300), exit0 = rect(2), status0 = rect(1044),
                frame0 = rect(24000), saved0 = rect(1402);
    const QSize deltas[] = {{40, 30}, {-30, -20}, {0, 15}, {25, 0}};
    QSize total(0, 0);
    for (const QSize& delta : deltas) {
        total += delta;
        SCOPED_TRACE(QStringLiteral("%1,%2").arg(total.width()).arg(total.height()).toStdString());
        m_window->resize(design + total);
        QCoreApplication::processEvents();
        const int dx = total.width(), dy = total.height();
        EXPECT_EQ(rect(1057), locate0.translated(dx, dy));
        EXPECT_EQ(rect(1137), save0.translated(dx, dy));
        EXPECT_EQ(rect(1300), find0.translated(dx, dy));
        EXPECT_EQ(rect(2), exit0.translated(dx, dy));
        EXPECT_EQ(rect(1402), saved0.translated(dx, dy));
        // The status line fills what the buttons leave, up to the saved-search button.
        const QRect status = rect(1044);
        EXPECT_EQ(status.left(), 5);
        EXPECT_EQ(status.top(), status0.top() + dy);
        EXPECT_EQ(status.left() + status.width(), rect(1402).left() - 5);
        const QRect frame = rect(24000);
        EXPECT_EQ(frame.topLeft(), frame0.topLeft());
        EXPECT_EQ(frame.left() + frame.width(), rect(2).left() + rect(2).width());
        EXPECT_EQ(frame.top() + frame.height(), rect(1057).top() - 15);
        EXPECT_EQ(m_window->TabCtrl()->geometry(), frame);
        QRect area = m_window->TabCtrl()->DisplayRect();
        area.adjust(-2, 1, 2, 1);
        EXPECT_EQ(page(0)->geometry(), area);
    }
}

TEST_F(SearchMainTest, TabsShowTheImageOfTheirPosition)
{
    create({u8("设计任务"), u8("更改单"), u8("设计文档")});
    QTabBar* bar = m_window->TabCtrl()->tabBar();
    ASSERT_EQ(bar->count(), 3);
    for (int i = 0; i < 3; ++i) {
        const QImage shown = bar->tabIcon(i).pixmap(16, 16).toImage();
        const QImage strip = zq::LoadBitmapResource(135).toImage().copy(i * 16, 0, 16, 16);
        ASSERT_FALSE(shown.isNull());
        // Magenta is transparent; every other pixel is the strip's.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QColor source = strip.pixelColor(x, y);
                if (source == QColor(255, 0, 255))
                    EXPECT_EQ(shown.pixelColor(x, y).alpha(), 0);
                else
                    EXPECT_EQ(shown.pixelColor(x, y).rgb(), source.rgb());
            }
    }
}

TEST_F(SearchMainTest, PageWhoseCreationFailsKeepsItsTab)
{
    Settings().failingCreate = {u8("设计文档")};
    create({u8("设计文档"), u8("更改单")});
    m_window->show();
    EXPECT_EQ(tabCaptions(), (QStringList{u8("设计文档"), u8("更改单")}));
    EXPECT_FALSE(page(0)->isVisible());
    EXPECT_TRUE(page(0)->isWindow() && !page(0)->isVisible());
    m_window->SelectPage(1);
    EXPECT_EQ(m_window->CurrentPage(), page(1));
}


// The search window as it is worked in all day: each tab's own status line, the keys and the list
// that switch tabs, a cancelled search told apart, and the place and column widths the user left.

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

// The status line tells of the tab shown: its last search, or nothing when it has none (before,
// it kept the last search of any tab, a count over a list it did not describe).
TEST_F(SearchMainTest, EachTabShowsTheStatusOfItsOwnLastSearch)
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
TEST_F(SearchMainTest, ACountGoesToTheTabThatSearchedWhenTheUserMovedOnMeanwhile)
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

TEST_F(SearchMainTest, CtrlTabAndCtrlPageKeysStepThroughTheTabsWrappingRound)
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

TEST_F(SearchMainTest, TheTabListJumpsToTheChosenTab)
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

TEST_F(SearchMainTest, ACancelledSearchIsToldApartWithTheSameStatusText)
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
TEST_F(SearchMainTest, ColumnWidthsTheUserSetsComeBackOnTheirTab)
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
TEST_F(SearchMainTest, TheWindowComesBackWhereItWasLeftOnItsFirstTab)
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
