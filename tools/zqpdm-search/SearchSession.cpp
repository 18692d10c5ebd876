#include "SearchSession.h"
#include "PreviewOutput.h"
#include "ResultListOutput.h"
#include "SavedSearchCommands.h"

#include "CallLog.h"
#include "ControlDriver.h"
#include "ControlResolver.h"
#include "DesktopOpener.h"
#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "OutputLines.h"
#include "PageDescription.h"
#include "ProductTreeLoader.h"
#include "TreeCtrlEx.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"
#include "SearchFailure.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTime>


namespace zq::tool {

namespace {

void letEventsThrough() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace

SearchSession::SearchSession(SearchOptions options) : m_options(std::move(options)), m_events(m_options.events) {}

SearchSession::~SearchSession()
{
    CZQPDMSearchFunction::DestorySearchMain();
    CZQPDMSearchFunction::SetDllCommand(nullptr);
    CZQPDMSearchFunction::m_pTreeEx = nullptr;
    CZQPDMSearchFunction::m_pParentWnd = nullptr;
    zq::CallLog::SetListener({});
    zq::CallLog::SetFailureListener({});
    zq::SetSearchFailureListener({});
    zq::SetSqlTraceListener({});
    zq::Desktop::install(nullptr);
}

void SearchSession::installDesktop()
{
    if (m_options.today)
        m_desktop.fixedNow = QDateTime(*m_options.today, QTime(12, 0));
    m_desktop.yesNoAnswer = m_options.answerYes ? zq::IDYES : zq::IDNO;
    m_desktop.acceptUnlisted = true;   // --pick answers with the names given, listed or not
    m_desktop.canOpen = zq::DesktopCanOpen;   // a file no program opens is told as on the desktop
    if (m_options.cancelAfter)
        m_desktop.cancelAfterRows = *m_options.cancelAfter;
    m_desktop.onEvent = [this](const zq::ScriptedDesktop::Event& event) {
        if (event.kind == u"MSG" || event.kind == u"CLIP" || event.kind == u"OPEN")
            WriteErrorLine(m_events.event(event.kind, event.fields));
    };
    zq::Desktop::install(&m_desktop);
    zq::CallLog::SetListener([this](const zq::ServiceCall& call) {
        WriteErrorLine(m_events.call(call.component, call.operation, call.args));
    });
    zq::CallLog::SetFailureListener([this](const zq::ServiceFailure& failure) {
        m_serviceFailures.append(failure.component + QStringLiteral("::") + failure.operation + u'\t' + failure.reason);
    });
    zq::SetSearchFailureListener([this](const QString& reason) { m_searchFailures.append(reason); });
}

// Traces every statement from now on. The database component writes the text trace itself; json
// events take the statements from its listener instead.
void SearchSession::InstallSqlTrace(const EventLines& events)
{
    if (events.format() == EventFormat::Text) {
        zq::EnableSqlTrace(true);
        return;
    }
    zq::EnableSqlTrace(false);
    zq::SetSqlTraceListener([events](const QString& sql) { WriteErrorLine(events.sql(sql)); });
}

void SearchSession::note(const QString& text) const
{
    WriteErrorLine(m_events.note(text));
}

// No installation named and none beside the program: what was looked for, and how to name one.
void SearchSession::noteMissingInstallation() const
{
    if (m_options.home || m_options.db || !qEnvironmentVariableIsEmpty("ZQPDM_HOME") || !qEnvironmentVariableIsEmpty("ZQPDM_DB"))
        return;
    note(QStringLiteral("without an installation: none was named (no --home, no ZQPDM_HOME) and %1, the folder above "
                        "the program, holds none; name one with --home DIR (a demo: pdm-seed --home DIR) or a "
                        "database with --db URL")
             .arg(zq::InstallDirectory()));
}

void SearchSession::connectHost()
{
    if (!m_database.open()) {
        note(QStringLiteral("cannot connect to the database %1: %2").arg(m_database.url(), m_database.error()));
        noteMissingInstallation();
    }
    m_tree = std::make_unique<CTreeCtrlEx>();
    m_loader = std::make_unique<zq::host::ProductTreeLoader>(*m_tree, m_database.connection());
    QObject::connect(m_loader.get(), &zq::host::ProductTreeLoader::loadFailed,
                     [this](const QString& message) { note(QStringLiteral("product tree: ") + message); });
    // The products only: a product's structure is read when --tree opens it or a search in the
    // host's tree walks below it (the loader is the tree's branch source).
    if (!m_loader->loadProducts() && m_database.isOpen())
        note(QStringLiteral("product tree: ") + m_loader->lastError());
    CZQPDMSearchFunction::m_pTreeEx = m_tree.get();

    QObject::connect(&m_receiver, &zq::host::HostCommandReceiver::commandReceived,
                     [this](const QString& command, const QString& argument) {
                         WriteErrorLine(m_events.event(QStringLiteral("CMD"), {command, argument}));
                     });
    CZQPDMSearchFunction::SetDllCommand(&m_receiver);
}

int SearchSession::openPage()
{
    m_hostWindow = std::make_unique<QWidget>();
    if (!CZQPDMSearchFunction::CreateSearchMain(m_hostWindow.get()) || !CZQPDMSearchFunction::m_pPDMSearchMain) {
        note(QStringLiteral("the search window cannot be created"));
        return PageFailed;
    }
    m_main = CZQPDMSearchFunction::m_pPDMSearchMain;
    m_main->SetRemembersRecentSearches(false);
    letEventsThrough();
    if (!m_main->SelectPageByCaption(m_options.page)) {
        const QStringList captions = m_main->TabCaptions();
        note(QStringLiteral("page \"%1\" is not among the search window's tabs (the page list Support/Search.cfg); %2")
                 .arg(m_options.page,
                      captions.isEmpty() ? QStringLiteral("the window has no tab")
                                         : QStringLiteral("the tabs are: ") + captions.join(QStringLiteral(", "))));
        return PageFailed;
    }
    CZQSearchPage* page = m_main->CurrentPage();
    // A page that could not initialise (no database connection) has a result list without columns.
    CReportListCtrl* list = page ? page->GetResultList() : nullptr;
    if (!page || (list && list->GetColumnCount() == 0)) {
        note(QStringLiteral("page \"%1\" failed to initialise").arg(m_options.page));
        return PageFailed;
    }
    return Ok;
}

int SearchSession::run()
{
    // A trace asked for in the environment covers the host's start-up, --trace-sql the search window on.
    const bool traceFromStart = zq::SqlTraceEnabled();
    installDesktop();
    if (m_options.listSaved)
        return outputStatus(SavedSearchCommands(m_options, m_events).list());
    if (m_options.deleteSaved)
        return SavedSearchCommands(m_options, m_events).remove();
    if (traceFromStart)
        InstallSqlTrace(m_events);
    connectHost();
    if (m_options.traceSql)
        InstallSqlTrace(m_events);
    if (const int failed = openPage(); failed != Ok)
        return failed;
    for (Action action : std::as_const(m_options.actions)) {
        if (const QString error = resolveNames(action); !error.isEmpty()) {
            note(QStringLiteral("%1: %2").arg(action.describe(), error));
            return UsageError;
        }
        m_serviceFailures.clear();
        m_searchFailures.clear();
        m_exportOutcome = {};
        m_previewFailure.clear();
        const qsizetype messagesBefore = m_desktop.eventsOf(QStringLiteral("MSG")).size();
        // A control the page keeps disabled cannot be operated now; that is no malformed argument.
        QWidget* operated = action.kind == ActionKind::Set || action.kind == ActionKind::Cell || action.kind == ActionKind::Click
                                ? control(action.id)
                                : nullptr;
        const bool disabled = operated && !operated->isEnabled();
        const QString error = apply(action);
        letEventsThrough();
        if (!error.isEmpty()) {
            note(QStringLiteral("%1: %2").arg(action.describe(), error));
            // A control, value or tree path the page does not have is a malformed argument.
            const bool malformed = !disabled && (action.kind == ActionKind::Set || action.kind == ActionKind::Cell
                                                 || action.kind == ActionKind::Tree || action.kind == ActionKind::Click
                                                 || action.kind == ActionKind::Saved);
            return malformed ? UsageError : ActionFailed;
        }
        if (const QString failure = reportedFailure(action, messagesBefore); !failure.isEmpty()) {
            for (const QString& serviceFailure : std::as_const(m_serviceFailures))
                WriteErrorLine(m_events.event(QStringLiteral("ERROR"), serviceFailure.split(u'\t')));
            QStringList error{action.describe(), failure};
            if (!m_exportOutcome.detail.isEmpty())
                error.append(m_exportOutcome.detail);
            WriteErrorLine(m_events.event(QStringLiteral("ERROR"), error));
            return Failed;
        }
    }
    if (m_options.saveAs)
        if (const int saved = SavedSearchCommands(m_options, m_events).save(*m_main); saved != Ok)
            return saved;
    if (m_options.cancelAfter && m_desktop.progressPumps == 0)
        note(QStringLiteral("--cancel-after %1: the page read its rows without a progress window, so there was "
                            "nothing to cancel")
                 .arg(*m_options.cancelAfter));
    return outputStatus(m_options.describe ? printDescription() : printResults());
}

QString SearchSession::reportedFailure(const Action& action, qsizetype messagesBefore) const
{
    if (!m_exportOutcome.failure.isEmpty())
        return m_exportOutcome.failure;
    if (!m_previewFailure.isEmpty())
        return m_previewFailure;
    // A search the database or the content index refused: the list is not its answer.
    if (!m_searchFailures.isEmpty())
        return m_searchFailures.join(QStringLiteral("; "));
    const QList<zq::ScriptedDesktop::Event> messages = m_desktop.eventsOf(QStringLiteral("MSG"));
    for (qsizetype i = messagesBefore; i < messages.size(); ++i)
        if (messages[i].fields.value(1) == u"文件没有下载成功")
            return QStringLiteral("the stored file was not fetched");
    // A fetch that failed and said nothing of its own (a store without the file).
    if (!m_serviceFailures.isEmpty() && action.kind != ActionKind::Find)
        return QStringLiteral("a service the page called failed");
    return QString();
}

QString SearchSession::resolveNames(Action& action) const
{
    return ControlResolver(m_main->CurrentPage(), *m_main).resolve(action);
}

QWidget* SearchSession::control(int id) const
{
    if (CZQSearchPage* page = m_main->CurrentPage())
        if (QWidget* widget = zq::Control(*page, id))
            return widget;
    return zq::Control(*m_main, id);
}

QString SearchSession::apply(const Action& action)
{
    const bool needsControl = action.kind == ActionKind::Set || action.kind == ActionKind::Cell
        || (action.kind == ActionKind::Click && action.id != CZQPDMSearchMain::IDC_FIND);
    if (needsControl && !control(action.id))
        return QStringLiteral("there is no control %1 on the page or in the search window (--describe lists them)")
            .arg(action.id);
    switch (action.kind) {
    case ActionKind::Set:
        return ControlDriver::setValue(control(action.id), action.text,
                                       action.typed ? ControlDriver::Typed : ControlDriver::IndexOrText);
    case ActionKind::Cell:
        return ControlDriver::typeIntoCell(control(action.id), action.row, 1, action.text);
    case ActionKind::Click:
        if (action.id == CZQPDMSearchMain::IDC_FIND)
            return pressFind(action.id);
        return ControlDriver::click(control(action.id));
    case ActionKind::Pick:
        m_desktop.pickAnswers.append(action.names);
        return QString();
    case ActionKind::Tree:
        return selectTreePath(action.text);
    case ActionKind::Find:
        return pressFind(CZQPDMSearchMain::IDC_FIND);
    case ActionKind::Link:
        return ControlDriver::setChecked(zq::Control(*m_main, CZQPDMSearchMain::IDC_LOCATE), action.on);
    case ActionKind::Select:
    case ActionKind::DblClick:
        return resultList().select(action.row, action.kind == ActionKind::DblClick);
    case ActionKind::Menu:
        return resultList().rightClick(action.row, action.command);
    case ActionKind::Export:
        return resultList().exportTo(action.text, action.filter, m_exportOutcome);
    case ActionKind::Saved:
        return SavedSearchCommands(m_options, m_events).apply(*m_main, action.text, m_desktop.now().date());
    case ActionKind::Preview:
        return resultList().preview(action.row, *m_options.previewOut, m_options.previewSize.value_or(kDefaultPreviewSize),
                                    m_previewFailure);
    }
    return QStringLiteral("unknown action");
}

QString SearchSession::pressFind(int buttonId)
{
    const QString error = ControlDriver::click(zq::Control(*m_main, buttonId));
    if (error.isEmpty())
        printStatus();
    return error;
}

QString SearchSession::selectTreePath(const QString& path)
{
    QTreeWidgetItem* item = m_loader->findPath(path);
    if (!item)
        return QStringLiteral("the product tree has no item at %1 (%2)").arg(path, m_loader->pathChoices(path));
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    const CTreeCursor cursor = m_tree->Cursor(item);
    m_tree->SelectItem(cursor);
    CZQPDMSearchFunction::SetCurTreeItem(cursor);
    return QString();
}

void SearchSession::printStatus() const
{
    WriteErrorLine(m_events.status(m_main->StatusText(), m_main->StatusFromCancelledSearch()));
}

// A failed write of the output is the command's failure, told on standard error.
int SearchSession::outputStatus(const QString& error) const
{
    if (error.isEmpty())
        return Ok;
    WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("output"), error}));
    return Failed;
}

QString SearchSession::printResults() const
{
    CZQSearchPage* page = m_main->CurrentPage();
    CReportListCtrl* list = page ? page->GetResultList() : nullptr;
    return list ? WriteResultList(*list, m_options.format) : QString();
}

ResultListActions SearchSession::resultList()
{
    return ResultListActions(*m_main, m_desktop, m_events);
}

QString SearchSession::printDescription()
{
    const ResultMenu menu = resultList().menu();
    const ControlCatalog catalog(m_main->CurrentPage(), *m_main);
    return WriteOutput(PageDescription(catalog, menu).text(m_options.format));
}

} // namespace zq::tool
