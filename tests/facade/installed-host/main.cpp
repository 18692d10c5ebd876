// A host of the installed search module: it uses the public headers only. It creates the
// search window through the facade, shows it, searches on the first page as a user would,
// selects the first row with "关联视图项" ticked, prints the "Locate" it receives, and
// destroys the window. Exit 0 when all of that happened.
#include <DllCommandBase.h>
#include <TreeCtrlEx.h>
#include <ZQPDMSearchFunction.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QItemSelectionModel>
#include <QWidget>
#include <cstdio>

namespace {

class Host : public CDllCommandBase {
public:
    int QueryCommand(const QString&) override { return 0; }
    int ExecuteCommand(const QString& command, const QString& argument) override
    {
        std::printf("%s\t%s\n", qPrintable(command), qPrintable(argument));
        std::fflush(stdout);
        if (command == u"Locate")
            ++locates;
        return 1;
    }
    int locates = 0;
};

int fail(const char* why)
{
    std::fprintf(stderr, "installed-host: %s\n", why);
    return 1;
}

// The shown search window among the application's top-level widgets.
QWidget* searchWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle() == QStringLiteral("查找 : 产品数据"))
            return widget;
    return nullptr;
}

// Lets the window settle: lists announce their rows to the view at display rate.
void settle(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The visible list controls of the window (named by their control ids) and how many rows each has.
QHash<QAbstractItemView*, int> listRows(QWidget& window)
{
    QHash<QAbstractItemView*, int> rows;
    for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        bool isControl = false;
        view->objectName().toInt(&isControl);
        if (isControl && view->isVisible() && view->model() && view->selectionModel())
            rows.insert(view, view->model()->rowCount());
    }
    return rows;
}

// The result list: the list whose rows change with the search.
QAbstractItemView* resultList(QWidget& window, const QHash<QAbstractItemView*, int>& before)
{
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QApplication::processEvents();
        const QHash<QAbstractItemView*, int> now = listRows(window);
        for (auto it = now.begin(); it != now.end(); ++it)
            if (it.value() > 0 && it.value() != before.value(it.key(), 0))
                return it.key();
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("installed host"));
    mainWindow.show();
    Host host;
    CZQPDMSearchFunction::SetDllCommand(&host);
    if (!CZQPDMSearchFunction::CreateSearchMain(&mainWindow))
        return fail("CreateSearchMain failed");
    CZQPDMSearchFunction::ShowSearchMain(true);
    QWidget* window = searchWindow();
    if (!window)
        return fail("no search window shown");

    auto* locate = window->findChild<QAbstractButton*>(QStringLiteral("1057"));   // 关联视图项
    auto* find = window->findChild<QAbstractButton*>(QStringLiteral("1300"));     // 查找
    if (!locate || !find)
        return fail("no 关联视图项 or 查找 button");
    if (!locate->isChecked())
        locate->click();
    settle(300);
    const QHash<QAbstractItemView*, int> before = listRows(*window);
    find->click();
    QAbstractItemView* list = resultList(*window, before);
    if (!list)
        return fail("the search found nothing");
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QApplication::processEvents();

    CZQPDMSearchFunction::ShowSearchMain(false);
    CZQPDMSearchFunction::DestorySearchMain();
    if (CZQPDMSearchFunction::m_pPDMSearchMain)
        return fail("the window is still there after DestorySearchMain");
    CZQPDMSearchFunction::SetDllCommand(nullptr);
    return host.locates == 1 ? 0 : fail("no Locate received");
}
