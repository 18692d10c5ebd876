// Every control of every page can be reached with the mouse: on the demo installation with all
// twelve captions in its page list, each tab's controls lie inside the visible page area at the
// search window's default size, at 1.5 times that size, maximised and back at the default size;
// so do the buttons in the tab bar's corner. From every page the keys reach the next tab, and
// every condition grid keeps its labels in view while a value is edited. With the preview pane
// shown, the pane fits beside each tab's result list.
#include "AllPageCaptions.h"
#include "DialogTemplate.h"
#include "PageRegistry.h"
#include "PaneSplit.h"
#include "PreviewDock.h"
#include "PreviewPane.h"
#include "FlatTabCtrl.h"
#include "GbkText.h"
#include "ListCtrl.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <gtest/gtest.h>

// Qt's own dispatch of a key press to the shortcuts of the active window (what QTest uses).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false, ushort count = 1);

using F = CZQPDMSearchFunction;

namespace {

struct WithApp {
    WithApp() { zq::test::EnsureApp(); }
};

// The part of a widget that is not clipped by its ancestors, in its own coordinates.
QRect visiblePart(const QWidget& widget)
{
    QRect area = widget.rect();
    for (const QWidget* up = widget.parentWidget(); up; up = up->parentWidget()) {
        area &= QRect(widget.mapFrom(up, QPoint(0, 0)), up->size());
        if (up->isWindow())
            break;
    }
    return area;
}

QString describe(const QWidget& control)
{
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        text = button->text();
    else if (const auto* label = qobject_cast<const QLabel*>(&control))
        text = label->text();
    return QStringLiteral("control %1 (%2%3)")
        .arg(control.objectName(), QString::fromUtf8(control.metaObject()->className()),
             text.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(text));
}

bool isList(const QWidget& control)
{
    return qobject_cast<const QAbstractItemView*>(&control) != nullptr;
}

// Controls the user clicks or types into; labels, frames and group boxes only decorate.
bool isInteractive(const QWidget& control)
{
    return isList(control) || qobject_cast<const QAbstractButton*>(&control) || qobject_cast<const QLineEdit*>(&control)
           || qobject_cast<const QComboBox*>(&control) || qobject_cast<const QAbstractSpinBox*>(&control);
}

// Why the control cannot be reached in the area, or an empty text. A list scrolls its rows, so
// it may be cut at its edges, but its header must show and at most a quarter of it be cut.
QString fitProblem(const QWidget& control, const QRect& area)
{
    const QRect r = control.geometry();
    const QRect shown = r & area;
    const auto where = [&] {
        return QStringLiteral("at (%1,%2 %3x%4), visible area (%5,%6 %7x%8)")
            .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
            .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
    };
    if (!isList(control))
        return area.contains(r) ? QString() : QStringLiteral("is not wholly visible ") + where();
    const bool headerShown = !shown.isEmpty() && shown.top() == r.top();
    if (!headerShown || shown.width() * 4 < r.width() * 3 || shown.height() * 4 < r.height() * 3)
        return QStringLiteral("is mostly hidden ") + where();
    return QString();
}

// The problems of one window or page: controls outside the area and interactive controls that
// cover each other.
QStringList problemsOf(const QWidget& dialog, const QRect& area)
{
    QList<const QWidget*> controls;
    for (const QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisibleTo(&dialog) && child->property("controlId").isValid())
            controls.append(child);
    QStringList problems;
    for (const QWidget* control : controls) {
        const QString problem = fitProblem(*control, area);
        if (!problem.isEmpty())
            problems << describe(*control) + QLatin1Char(' ') + problem;
    }
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            if (isInteractive(*controls[i]) && isInteractive(*controls[j])
                && controls[i]->geometry().intersects(controls[j]->geometry()))
                problems << describe(*controls[i]) + QStringLiteral(" overlaps ") + describe(*controls[j]);
    return problems;
}

// Counts the Finds: each runs under one outermost wait cursor.
class FindCountingDesktop : public zq::ScriptedDesktop {
public:
    void beginWaitCursor() override
    {
        if (waitDepth == 0)
            ++outermostWaits;
        ScriptedDesktop::beginWaitCursor();
    }
    int outermostWaits = 0;
};

class PageFit : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.ok()) << m_home.error().toStdString();
        ASSERT_TRUE(wbtest::WriteAllPagesList(m_home.path(QStringLiteral("Support/Search.cfg"))));
        m_desktop.fixedNow = QDateTime(m_home.today(), QTime(12, 0));
        F::ShowSearchMain(true);
        m_window = F::m_pPDMSearchMain;
        ASSERT_NE(m_window, nullptr);
        ASSERT_TRUE(m_window->IsCreated());
        QCoreApplication::processEvents();
        ASSERT_NE(m_window->TabCtrl(), nullptr);
        ASSERT_GT(m_window->TabCtrl()->GetItemCount(), 0) << "no page of the page list was built";
    }
    void TearDown() override
    {
        F::DestorySearchMain();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void resizeWindow(const QSize& size)
    {
        m_window->resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(m_window->size(), size);
    }

    // The corner's buttons lie in the window, right of the tabs, none over another.
    QStringList cornerProblems() const
    {
        QStringList problems;
        const CFlatTabCtrl* tabs = m_window->TabCtrl();
        const QList<QToolButton*> buttons = tabs->Corner()->findChildren<QToolButton*>();
        if (buttons.isEmpty() || !tabs->Corner()->isVisible())
            problems << QStringLiteral("the tab bar has no corner buttons shown");
        const QRect bar(tabs->tabBar()->mapTo(m_window, QPoint(0, 0)), tabs->tabBar()->size());
        for (const QToolButton* button : buttons) {
            const QRect at(button->mapTo(m_window, QPoint(0, 0)), button->size());
            if (!(visiblePart(*button) == button->rect()) || !m_window->rect().contains(at))
                problems << QStringLiteral("corner button %1 is not wholly visible").arg(button->toolTip());
            if (at.intersects(bar))
                problems << QStringLiteral("corner button %1 covers the tabs").arg(button->toolTip());
        }
        return problems;
    }

    // Selects every tab in turn and reports what cannot be reached, by page and control.
    void expectEveryControlReachable(const QString& when)
    {
        for (const QString& problem : problemsOf(*m_window, m_window->rect()))
            ADD_FAILURE() << when.toStdString() << ", search window: " << problem.toStdString();
        for (const QString& problem : cornerProblems())
            ADD_FAILURE() << when.toStdString() << ", tab bar: " << problem.toStdString();
        for (int tab = 0; tab < m_window->TabCtrl()->GetItemCount(); ++tab) {
            m_window->SelectPage(tab);
            QCoreApplication::processEvents();
            const CZQSearchPage* page = m_window->CurrentPage();
            const QString caption = m_window->TabCtrl()->GetItemText(tab);
            ASSERT_NE(page, nullptr) << caption.toStdString();
            ASSERT_TRUE(page->isVisible()) << caption.toStdString();
            for (const QString& problem : problemsOf(*page, visiblePart(*page)))
                ADD_FAILURE() << when.toStdString() << ", page \"" << caption.toStdString() << "\": "
                              << problem.toStdString();
        }
    }

    zq::test::SeededHome m_home;
    FindCountingDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    CZQPDMSearchMain* m_window = nullptr;
};

TEST_F(PageFit, EveryControlIsReachableAtTheDefaultSizeAndLarger)
{
    const QSize defaultSize = m_window->size();
    expectEveryControlReachable(QStringLiteral("default size"));
    resizeWindow(defaultSize * 1.5);
    expectEveryControlReachable(QStringLiteral("1.5 x default size"));
    // Maximised: the screen's free area.
    const QScreen* screen = m_window->screen();
    ASSERT_NE(screen, nullptr);
    resizeWindow(screen->availableGeometry().size());
    expectEveryControlReachable(QStringLiteral("maximised"));
    // The window's own resize rule leaves the tab area a little lower than at creation.
    resizeWindow(defaultSize);
    expectEveryControlReachable(QStringLiteral("back at default size"));
}

// With the preview pane shown, every tab's controls are still reachable and the pane lies in the
// window beside the result list, over no other control of the page.
TEST_F(PageFit, ThePreviewPaneFitsBesideEveryTabsList)
{
    zq::preview::PreviewDock* preview = m_window->Preview();
    ASSERT_NE(preview, nullptr);
    preview->setShown(true, false);
    expectEveryControlReachable(QStringLiteral("preview pane shown"));
    const QWidget& pane = preview->pane();
    for (int tab = 0; tab < m_window->TabCtrl()->GetItemCount(); ++tab) {
        m_window->SelectPage(tab);
        QCoreApplication::processEvents();
        const QString caption = m_window->TabCtrl()->GetItemText(tab);
        CZQSearchPage* page = m_window->CurrentPage();
        if (!page->GetResultList())
            continue;
        ASSERT_TRUE(pane.isVisible()) << caption.toStdString();
        const QRect at(pane.mapTo(m_window, QPoint(0, 0)), pane.size());
        EXPECT_TRUE(m_window->rect().contains(at)) << caption.toStdString();
        EXPECT_GE(pane.width(), zq::preview::kSmallestPaneWidth) << caption.toStdString();
        for (const QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->isVisible() || !control->property("controlId").isValid() || !isInteractive(*control))
                continue;
            const QRect controlAt(control->mapTo(m_window, QPoint(0, 0)), control->size());
            EXPECT_FALSE(controlAt.intersects(at)) << caption.toStdString() << ": " << describe(*control).toStdString();
        }
    }
    preview->setShown(false, false);
}

// Templates without given positions are laid out in CZQSearchPage::kTemplateArea; that area must
// fit the page area the user sees at the default size, after the window was resized too.
TEST_F(PageFit, TheTemplateAreaFitsTheVisiblePageArea)
{
    const QSize defaultSize = m_window->size();
    for (bool resizedBefore : {false, true}) {
        if (resizedBefore) {
            resizeWindow(defaultSize + QSize(40, 40));
            resizeWindow(defaultSize);
        }
        const CZQSearchPage* page = m_window->CurrentPage();
        ASSERT_NE(page, nullptr);
        const QSize base = zq::DialogBaseUnits(page->font());
        const QSize visible = visiblePart(*page).size();
        const QSize inDialogUnits(visible.width() * 4 / base.width(), visible.height() * 8 / base.height());
        std::printf("visible page area%s: %d x %d pixels, %d x %d dialog units\n",
                    resizedBefore ? " after a resize" : "", visible.width(), visible.height(),
                    inDialogUnits.width(), inDialogUnits.height());
        EXPECT_GE(inDialogUnits.width(), CZQSearchPage::kTemplateArea.width()) << resizedBefore;
        EXPECT_GE(inDialogUnits.height(), CZQSearchPage::kTemplateArea.height()) << resizedBefore;
    }
}

// The window's rule, Enter anywhere runs Find, on every tab: the change-order pages swallow the
// OK command so that Enter never closes them, but not the search with it.
TEST_F(PageFit, EnterInAnEditOfEveryPageRunsOneFind)
{
    m_window->show();
    QApplication::setActiveWindow(m_window);
    for (int tab = 0; tab < m_window->TabCtrl()->GetItemCount(); ++tab) {
        m_window->SelectPage(tab);
        QCoreApplication::processEvents();
        const QString caption = m_window->TabCtrl()->GetItemText(tab);
        CZQSearchPage* page = m_window->CurrentPage();
        ASSERT_NE(page, nullptr) << caption.toStdString();
        // An edit, or where the conditions are typed into a grid, the grid.
        QWidget* edit = nullptr;
        for (QLineEdit* candidate : page->findChildren<QLineEdit*>())
            if (!edit && candidate->isVisible() && candidate->isEnabled())
                edit = candidate;
        for (CGridListCtrl* grid : page->findChildren<CGridListCtrl*>())
            if (!edit && grid->isVisible())
                edit = grid;
        ASSERT_NE(edit, nullptr) << caption.toStdString();
        // The edit of an editable combo box passes its focus to the box.
        QWidget* focused = edit->focusProxy() ? edit->focusProxy() : edit;
        QApplication::setActiveWindow(m_window);   // a progress window of the last Find took it
        focused->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), focused) << caption.toStdString();
        const int before = m_desktop.outermostWaits;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(focused, &press);
        EXPECT_EQ(m_desktop.outermostWaits - before, 1) << caption.toStdString();
        EXPECT_TRUE(m_window->isVisible()) << caption.toStdString();
        EXPECT_TRUE(page->isVisibleTo(m_window)) << caption.toStdString();
    }
    EXPECT_EQ(m_window->TabCtrl()->GetItemCount(), 12);
}

// Ctrl+Page Down and Ctrl+Tab from a control of every page go to the next tab, whatever the page
// does with keys itself; Ctrl+Page Up comes back.
TEST_F(PageFit, TheKeysThatSwitchTabsWorkFromEveryPage)
{
    m_window->show();
    const int count = m_window->TabCtrl()->GetItemCount();
    for (int tab = 0; tab < count; ++tab) {
        for (const auto& [key, modifiers] : {std::pair{Qt::Key_PageDown, Qt::ControlModifier}, std::pair{Qt::Key_Tab, Qt::ControlModifier}}) {
            m_window->SelectPage(tab);
            QCoreApplication::processEvents();
            const QString caption = m_window->TabCtrl()->GetItemText(tab);
            QWidget* focused = nullptr;
            for (QWidget* candidate : m_window->CurrentPage()->findChildren<QWidget*>())
                if (!focused && candidate->isVisible() && candidate->isEnabled() && candidate->focusPolicy() != Qt::NoFocus
                    && candidate->property("controlId").isValid())
                    focused = candidate->focusProxy() ? candidate->focusProxy() : candidate;
            ASSERT_NE(focused, nullptr) << caption.toStdString();
            QApplication::setActiveWindow(m_window);
            focused->setFocus();
            if (!qt_sendShortcutOverrideEvent(focused, 0, key, modifiers))
                ADD_FAILURE() << caption.toStdString() << ": " << focused->metaObject()->className() << " kept the key";
            EXPECT_EQ(m_window->TabCtrl()->GetCurSel(), (tab + 1) % count) << caption.toStdString();
            m_window->CurrentPage()->setFocus();
            QApplication::setActiveWindow(m_window);
            qt_sendShortcutOverrideEvent(m_window->CurrentPage(), 0, Qt::Key_PageUp, Qt::ControlModifier);
            EXPECT_EQ(m_window->TabCtrl()->GetCurSel(), tab) << caption.toStdString();
        }
    }
}

// The condition grids (设计零部件, 批次产品, 资源文件, 设计过程零部件, 更改处理意见, ...) at the default
// size: editing a value never scrolls the labels out of view, and the editor ends in view.
TEST_F(PageFit, ConditionGridsKeepTheirLabelsInViewWhileAValueIsEdited)
{
    m_window->show();
    int grids = 0;
    for (int tab = 0; tab < m_window->TabCtrl()->GetItemCount(); ++tab) {
        m_window->SelectPage(tab);
        QCoreApplication::processEvents();
        const QString caption = m_window->TabCtrl()->GetItemText(tab);
        for (CGridListCtrl* grid : m_window->CurrentPage()->findChildren<CGridListCtrl*>()) {
            if (!grid->isVisible() || grid->GetItemCount() == 0)
                continue;
            int editable = -1;
            for (int c = grid->GetColumnCount() - 1; c > 0; --c)
                if (grid->IsColumnEditable(c))
                    editable = c;
            if (editable < 0)
                continue;
            ++grids;
            QApplication::setActiveWindow(m_window);
            ASSERT_TRUE(grid->EditCell(0, editable)) << caption.toStdString();
            QCoreApplication::processEvents();
            EXPECT_EQ(grid->columnViewportPosition(0), 0) << caption.toStdString() << ": the labels scrolled away";
            if (QWidget* editor = grid->CurrentEditor()) {
                EXPECT_LE(editor->geometry().right(), grid->viewport()->width() - 1) << caption.toStdString();
            }
            grid->CommitEdit();
        }
    }
    EXPECT_GE(grids, 4) << "the part, batch, process-part and opinion grids at least";
}

} // namespace

namespace {

// Two templates under one id would build one page from the other's controls; each known page has
// a template of its own.
TEST(PageTemplates, EveryIdBelongsToOneTemplate)
{
    EXPECT_EQ(zq::ClashingModuleTemplates(), QList<int>());
    QList<int> ids;
    for (const zq::KnownPage& page : zq::KnownPages()) {
        EXPECT_FALSE(ids.contains(page.templateId)) << page.caption;
        ids.append(page.templateId);
    }
}

} // namespace
