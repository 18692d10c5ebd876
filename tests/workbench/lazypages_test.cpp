// The search window builds a tab's page when the tab is first selected. On the demo installation
// with every caption in its page list, that window is the window built all at once: the same tabs
// in the same order, and on each tab the same controls in the same order with the same texts,
// choices, states and places, the same defaults searched to the same rows, exported alike.
#include "CallLog.h"
#include "AllPageCaptions.h"
#include "DialogTemplate.h"
#include "FlatTabCtrl.h"
#include "GbkText.h"
#include "ListCtrl.h"
#include "ResultExport.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaProperty>
#include <QRect>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using Building = CZQPDMSearchMain::PageBuilding;

struct WithApp {
    WithApp() { zq::test::EnsureApp(); }
};

// Properties that tell of the moment rather than of the control.
bool isMomentary(const char* name)
{
    static const QByteArrayList names = {"focus", "isActiveWindow", "cursorPosition", "hasSelectedText",
                                         "selectedText", "undoAvailable", "redoAvailable", "modified"};
    return names.contains(QByteArray(name));
}

QString valueText(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    case QMetaType::QSize:
        return QStringLiteral("%1x%2").arg(value.toSize().width()).arg(value.toSize().height());
    case QMetaType::QPoint:
        return QStringLiteral("%1,%2").arg(value.toPoint().x()).arg(value.toPoint().y());
    case QMetaType::QStringList:
        return value.toStringList().join(u'|');
    default:
        return value.canConvert<QString>() ? value.toString() : QString();
    }
}

// One line a control of the page (its direct children carrying a control id): its kind, id and
// every readable property that can be written as text.
QStringList controlsOf(const QWidget& page)
{
    QStringList lines;
    for (const QWidget* control : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->property("controlId").isValid())
            continue;
        QString line = QString::fromUtf8(control->metaObject()->className()) + u' '
                       + control->property("controlId").toString() + QStringLiteral(" shown=")
                       + QString::number(control->isVisibleTo(&page));
        const QMetaObject* meta = control->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (!property.isReadable() || isMomentary(property.name()))
                continue;
            const QString text = valueText(property.read(control));
            if (!text.isEmpty())
                line += u' ' + QString::fromUtf8(property.name()) + u'=' + text;
        }
        lines.append(line);
    }
    return lines;
}

// The rows of a result list as the user reads them: the header, then each row's cells.
QStringList rowsOf(CReportListCtrl* list)
{
    QStringList rows;
    if (!list)
        return rows;
    QStringList header;
    for (int column = 0; column < list->GetColumnCount(); ++column)
        header.append(list->GetHeaderCtrl()->GetItemText(column) + u'/' + QString::number(list->GetColumnWidth(column)));
    rows.append(header.join(u'\t'));
    for (int row = 0; row < list->GetItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            cells.append(list->GetItemText(row, column));
        rows.append(cells.join(u'\t'));
    }
    return rows;
}

// What one window shows, tab by tab: the controls before and after a search with the defaults,
// the rows found and the file 另存为 writes of them.
struct TabView {
    QString caption;
    QStringList controls;
    QStringList rows;
    QStringList controlsAfterFind;
    QByteArray exported;
};

std::string text(const QStringList& lines)
{
    return lines.join(u'\n').toStdString();
}

// The sibling services' calls recorded so far, one line each.
QStringList recordedCalls()
{
    QStringList lines;
    for (const zq::ServiceCall& call : zq::CallLog::Calls())
        lines.append(call.component + u' ' + call.operation + u' ' + call.args.join(u','));
    return lines;
}

// Builds the window on a freshly seeded installation (a search remembers its patterns there),
// goes through its tabs in order and searches each with its defaults. The services' calls made
// while the window was built go to *callsAtCreation.
std::vector<TabView> viewOf(Building building, int* builtAtCreation, QStringList* callsAtCreation)
{
    std::vector<TabView> views;
    zq::test::SeededHome home;
    if (!home.ok() || !wbtest::WriteAllPagesList(home.path(QStringLiteral("Support/Search.cfg")))) {
        ADD_FAILURE() << home.error().toStdString();
        return views;
    }
    zq::ScriptedDesktop desktop;
    const zq::ScopedDesktop scope(desktop);
    desktop.fixedNow = QDateTime(home.today(), QTime(12, 0));
    CZQPDMSearchMain window;
    CZQPDMSearchFunction::m_pPDMSearchMain = &window;
    window.SetPageBuilding(building);
    zq::CallLog::Clear();
    EXPECT_TRUE(window.Create(nullptr));
    *builtAtCreation = window.BuiltPageCount();
    *callsAtCreation = recordedCalls();
    window.show();
    QCoreApplication::processEvents();
    for (int tab = 0; tab < window.TabCtrl()->GetItemCount(); ++tab) {
        window.SelectPage(tab);
        QCoreApplication::processEvents();
        CZQSearchPage* page = window.CurrentPage();
        if (!page) {
            ADD_FAILURE() << "tab " << tab << " has no page";
            continue;
        }
        TabView view;
        view.caption = window.TabCtrl()->GetItemText(tab);
        view.controls = controlsOf(*page);
        window.OnFind();
        QCoreApplication::processEvents();
        view.rows = rowsOf(page->GetResultList());
        view.controlsAfterFind = controlsOf(*page);
        if (page->GetResultList()) {
            const QString file = home.path(QStringLiteral("tmp/export-%1.txt").arg(tab));
            desktop.saveAnswer = zq::SaveFileAnswer{file, 1};
            window.OnSaveAs();
            QFile written(file);
            if (written.open(QIODevice::ReadOnly))
                view.exported = written.readAll();
        }
        views.push_back(view);
    }
    window.hide();
    CZQPDMSearchFunction::m_pPDMSearchMain = nullptr;
    return views;
}

class PageBuildingTest : public WithApp, public ::testing::Test {};

TEST_F(PageBuildingTest, PagesBuiltWhenFirstSelectedAreThePagesBuiltAtOnce)
{
    int builtAtOnce = 0, builtLazily = 0;
    QStringList callsAtOnce, callsLazily;
    const std::vector<TabView> atOnce = viewOf(Building::AllAtCreation, &builtAtOnce, &callsAtOnce);
    const std::vector<TabView> lazily = viewOf(Building::WhenFirstSelected, &builtLazily, &callsLazily);
    EXPECT_EQ(builtAtOnce, int(std::size(wbtest::kAllCaptions)));
    EXPECT_EQ(builtLazily, 1) << "only the first tab's page is built with the window";
    // Every page asks the services for its store and the logged-on user as the window is built,
    // built or not: a run's events stay what they were.
    EXPECT_EQ(text(callsLazily), text(callsAtOnce));
    EXPECT_TRUE(callsAtOnce.contains(QStringLiteral("CZQSaveFileToFTP InitZQPDMFTP "))) << text(callsAtOnce);
    EXPECT_TRUE(callsAtOnce.contains(QStringLiteral("ZQUserManage ZQGetCurrentUser "))) << text(callsAtOnce);
    ASSERT_EQ(atOnce.size(), std::size(wbtest::kAllCaptions));
    ASSERT_EQ(lazily.size(), atOnce.size());
    for (size_t tab = 0; tab < atOnce.size(); ++tab) {
        const std::string caption = atOnce[tab].caption.toStdString();
        EXPECT_EQ(lazily[tab].caption, atOnce[tab].caption);
        EXPECT_EQ(text(lazily[tab].controls), text(atOnce[tab].controls)) << caption;
        EXPECT_EQ(text(lazily[tab].rows), text(atOnce[tab].rows)) << caption;
        EXPECT_EQ(text(lazily[tab].controlsAfterFind), text(atOnce[tab].controlsAfterFind)) << caption;
        EXPECT_EQ(lazily[tab].exported, atOnce[tab].exported) << caption;
        EXPECT_FALSE(atOnce[tab].controls.isEmpty()) << caption;
    }
    // The comparison has something to compare: most tabs list rows and write them out.
    const auto listing = std::count_if(atOnce.begin(), atOnce.end(), [](const TabView& view) {
        return view.rows.size() > 1 && !view.exported.isEmpty();
    });
    EXPECT_GE(listing, 8);
}

} // namespace
