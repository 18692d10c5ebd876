#include "SearchWindow.h"

#include "ControlDriver.h"
#include "ListCtrl.h"
#include "RawBaselines.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFile>
#include <QWidget>

#include <malloc.h>
#include <unistd.h>

namespace zq::bench {


SearchWindow::SearchWindow(const Installation& installation, const QString& page, CTreeCtrlEx* hostTree)
{
    qputenv("ZQPDM_HOME", installation.home.toUtf8());
    qputenv("ZQPDM_SYSDIR", (installation.home + QStringLiteral("/sys")).toUtf8());
    qputenv("ZQPDM_DB", installation.databaseUrl.toUtf8());
    qunsetenv("ZQPDM_OLDCODE");
    m_desktop.fixedNow = QDateTime(BenchToday(), QTime(12, 0));
    m_desktop.yesNoAnswer = IDNO;
    Desktop::install(&m_desktop);

    m_database = std::make_unique<CZQDBConnect>(installation.databaseUrl);
    if (!m_database->Init() || !m_database->ConnectPDM()) {
        fail(m_database->LastError());
        return;
    }
    CZQDBConnect::SetCurDBConnect(m_database.get());
    CZQPDMSearchFunction::m_pTreeEx = hostTree;
    m_host = std::make_unique<QWidget>();
    if (!CZQPDMSearchFunction::CreateSearchMain(m_host.get()) || !CZQPDMSearchFunction::m_pPDMSearchMain) {
        fail(QStringLiteral("the search window cannot be created"));
        return;
    }
    CZQPDMSearchFunction::ShowSearchMain(true);
    QCoreApplication::processEvents();
    select(page);
}

bool SearchWindow::select(const QString& page)
{
    CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
    if (!main || !main->SelectPageByCaption(page))
        return fail(QStringLiteral("no page ") + page);
    QCoreApplication::processEvents();
    if (!results() || results()->GetColumnCount() == 0)
        return fail(QStringLiteral("the page %1 did not initialise").arg(page));
    return true;
}

SearchWindow::~SearchWindow()
{
    CZQPDMSearchFunction::DestorySearchMain();
    CZQPDMSearchFunction::m_pTreeEx = nullptr;
    CZQDBConnect::SetCurDBConnect(nullptr);
    m_host.reset();
    m_database.reset();
    Desktop::install(nullptr);
    QCoreApplication::processEvents();
}

bool SearchWindow::fail(const QString& error)
{
    if (m_error.isEmpty())
        m_error = error;
    return false;
}

CZQSearchPage* SearchWindow::page() const
{
    CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
    return main ? main->CurrentPage() : nullptr;
}

CReportListCtrl* SearchWindow::results() const
{
    CZQSearchPage* current = page();
    return current ? current->GetResultList() : nullptr;
}

QWidget* SearchWindow::control(int id) const
{
    if (CZQSearchPage* current = page())
        if (QWidget* widget = Control(*current, id))
            return widget;
    CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
    return main ? Control(*main, id) : nullptr;
}

bool SearchWindow::set(int id, const QString& value)
{
    const QString why = ControlDriver::setValue(control(id), value);
    QCoreApplication::processEvents();
    return why.isEmpty() || fail(QStringLiteral("control %1: %2").arg(id).arg(why));
}

bool SearchWindow::typeCell(int id, int row, const QString& text)
{
    const QString why = ControlDriver::typeIntoCell(control(id), row, 1, text);
    QCoreApplication::processEvents();
    return why.isEmpty() || fail(QStringLiteral("cell %1:%2: %3").arg(id).arg(row).arg(why));
}

double SearchWindow::find(double* firstRows)
{
    QCoreApplication::processEvents();
    QMetaObject::Connection watch;
    if (firstRows) {
        *firstRows = -1;
        if (CReportListCtrl* list = results())
            watch = QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [firstRows, this] {
                if (*firstRows < 0)
                    *firstRows = raw::Now() - m_findStart;
            });
    }
    m_findStart = raw::Now();
    const QString why = ControlDriver::click(control(CZQPDMSearchMain::IDC_FIND));
    const double seconds = raw::Now() - m_findStart;
    // Rows read faster than the list shows them appear once its next batch is due.
    for (const double end = raw::Now() + 0.2; firstRows && *firstRows < 0 && raw::Now() < end;)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QObject::disconnect(watch);
    if (!why.isEmpty()) {
        fail(why);
        return -1;
    }
    QCoreApplication::processEvents();
    return seconds;
}

QString SearchWindow::status() const
{
    CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
    return main ? main->StatusText() : QString();
}

double SearchWindow::exportTo(const QString& path, int filter)
{
    QFile::remove(path);
    m_desktop.saveAnswer = SaveFileAnswer{path, filter};
    const qsizetype messages = m_desktop.messages().size();
    const double start = raw::Now();
    const QString why = ControlDriver::click(control(CZQPDMSearchMain::IDC_SAVEAS));
    const double seconds = raw::Now() - start;
    m_desktop.saveAnswer.reset();
    if (!why.isEmpty()) {
        fail(why);
        return -1;
    }
    const QStringList shown = m_desktop.messages().mid(messages);
    if (shown != QStringList{QStringLiteral("存储完毕，是否打开该文件?")}) {
        fail(QStringLiteral("the export said: ") + shown.join(QStringLiteral(" | ")));
        return -1;
    }
    return seconds;
}

StatementLog::StatementLog()
{
    SetSqlTraceListener([this](const QString& sql) { m_statements.append(sql); });
}

StatementLog::~StatementLog()
{
    SetSqlTraceListener({});
}

qint64 ResidentBytes()
{
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

} // namespace zq::bench
