#include "SearchSession.h"
#include "PreviewOutput.h"

#include "CallLog.h"
#include "ControlDriver.h"
#include "ControlResolver.h"
#include "DesktopOpener.h"
#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "OutputLines.h"
#include "PageDescription.h"
#include "ProductTreeLoader.h"
#include "ResultExport.h"
#include "TreeCtrlEx.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"
#include "SavedSearchMenu.h"
#include "SavedSearchStore.h"
#include "SearchFailure.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTime>
#include <vector>


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
        return listSaved();
    if (m_options.deleteSaved)
        return deleteSaved();
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
        m_exportFailure.clear();
        m_exportDetail.clear();
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
            if (!m_exportDetail.isEmpty())
                error.append(m_exportDetail);
            WriteErrorLine(m_events.event(QStringLiteral("ERROR"), error));
            return Failed;
        }
    }
    if (m_options.saveAs)
        if (const int saved = saveConditions(); saved != Ok)
            return saved;
    if (m_options.cancelAfter && m_desktop.progressPumps == 0)
        note(QStringLiteral("--cancel-after %1: the page read its rows without a progress window, so there was "
                            "nothing to cancel")
                 .arg(*m_options.cancelAfter));
    return outputStatus(m_options.describe ? printDescription() : printResults());
}

QString SearchSession::reportedFailure(const Action& action, qsizetype messagesBefore) const
{
    if (!m_exportFailure.isEmpty())
        return m_exportFailure;
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

int SearchSession::listSaved() const
{
    const zq::SavedSearchStore store;
    QList<QStringList> rows;
    for (const zq::SavedSearch& search : store.searches(m_options.page))
        rows.append({search.name, search.tab, search.shared ? QStringLiteral("shared") : QStringLiteral("own"),
                     search.savedAt.toString(Qt::ISODate), search.savedBy});
    noteStoreProblems(store);
    return outputStatus(WriteOutput(ResultFormats::format(m_options.format,
                                                          {QStringLiteral("name"), QStringLiteral("tab"), QStringLiteral("owner"),
                                                           QStringLiteral("saved at"), QStringLiteral("saved by")},
                                                          rows)));
}

// The user's own search of that name; a shared one only when --shared says so, since it is
// everyone's.
int SearchSession::deleteSaved() const
{
    zq::SavedSearchStore store;
    const QString& name = *m_options.deleteSaved;
    const QString where = m_options.page.isEmpty() ? QString() : QStringLiteral(" on %1").arg(m_options.page);
    std::optional<zq::SavedSearch> search = m_options.saveShared ? store.findShared(name, m_options.page)
                                                                 : store.find(name, m_options.page);
    noteStoreProblems(store);
    if (!search) {
        note(QStringLiteral("--delete-saved: there is no %1saved search \"%2\"%3 (--list-saved lists them)")
                 .arg(m_options.saveShared ? QStringLiteral("shared ") : QString(), name, where));
        return UsageError;
    }
    if (search->shared && !m_options.saveShared) {
        note(QStringLiteral("--delete-saved: \"%1\"%2 is a shared search%3, which everyone uses; "
                            "--delete-saved \"%1\" --shared deletes it")
                 .arg(name, where, savedByNote(*search)));
        return UsageError;
    }
    QString error;
    if (!store.remove(*search, &error)) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("--delete-saved"), error}));
        return Failed;
    }
    return Ok;
}

QString SearchSession::applySaved(const QString& name)
{
    zq::SavedSearchMenu& saved = m_main->SavedSearches();
    QString missing;
    const std::optional<zq::SavedSearch> search = saved.FindOnCurrentTab(name, &missing);
    noteStoreProblems(saved.Store());
    if (!search)
        return missing;
    CZQSearchPage* page = m_main->CurrentPage();
    const QStringList skipped = page->RestoreConditions(search->conditions, m_desktop.now().date());
    for (const QString& part : skipped)
        note(QStringLiteral("--saved %1: skipped %2").arg(name, part));
    return QString();
}

// The user's own search of that name is replaced, as a user saving again means to; a shared one,
// which others may run, only with --replace.
int SearchSession::saveConditions()
{
    zq::SavedSearchMenu& saved = m_main->SavedSearches();
    const zq::SavedSearch search = saved.Capture(*m_options.saveAs, m_options.saveFixedDates, m_options.saveShared);
    const bool replace = !m_options.saveShared || m_options.saveReplace;
    const zq::SavedSearchStore::Outcome outcome =
        saved.Store().save(search, replace ? zq::SavedSearchStore::IfTaken::Replace : zq::SavedSearchStore::IfTaken::Refuse);
    noteStoreProblems(saved.Store());
    if (outcome.taken()) {
        note(QStringLiteral("--save %1 --shared: a shared search \"%1\" on %2 is there already%3; --replace replaces it")
                 .arg(search.name, search.tab, savedByNote(*outcome.existing)));
        return UsageError;
    }
    if (!outcome) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("--save %1").arg(*m_options.saveAs), outcome.error}));
        return Failed;
    }
    return Ok;
}

QString SearchSession::savedByNote(const zq::SavedSearch& search)
{
    if (search.savedBy.isEmpty())
        return QString();
    return QStringLiteral(" (saved by %1 at %2)").arg(search.savedBy, search.savedAt.toString(Qt::ISODate));
}

void SearchSession::noteStoreProblems(const zq::SavedSearchStore& store) const
{
    for (const QString& problem : store.takeProblems())
        note(problem);
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
    case ActionKind::DblClick: {
        CReportListCtrl* list = nullptr;
        if (QString error = resultRow(action.row, list); !error.isEmpty())
            return error;
        list->SelectRow(action.row);
        if (action.kind == ActionKind::DblClick) {
            letEventsThrough();
            emit list->doubleClicked(action.row);
        }
        return QString();
    }
    case ActionKind::Menu:
        return rightClick(action.row, action.command);
    case ActionKind::Export:
        return exportTo(action.text, action.filter);
    case ActionKind::Saved:
        return applySaved(action.text);
    case ActionKind::Preview:
        return preview(action.row);
    }
    return QStringLiteral("unknown action");
}

QString SearchSession::preview(int row)
{
    CReportListCtrl* list = nullptr;
    if (QString error = resultRow(row, list); !error.isEmpty())
        return error;
    m_previewFailure = WritePreview(*m_main->CurrentPage(), row, *m_options.previewOut,
                                    m_options.previewSize.value_or(kDefaultPreviewSize));
    return QString();
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

QString SearchSession::resultRow(int row, CReportListCtrl*& list) const
{
    CZQSearchPage* page = m_main->CurrentPage();
    list = page ? page->GetResultList() : nullptr;
    if (!list)
        return QStringLiteral("the page has no result list");
    if (row >= list->GetItemCount())
        return QStringLiteral("the result list has %1 rows, no row %2").arg(list->GetItemCount()).arg(row);
    return QString();
}

QString SearchSession::rightClick(int row, int command)
{
    CReportListCtrl* list = nullptr;
    if (QString error = resultRow(row, list); !error.isEmpty())
        return error;
    list->SelectRow(row);
    letEventsThrough();

    list->FlushPendingRows();
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    const QPoint at = list->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0));
    m_desktop.cursor = at;
    const qsizetype menusBefore = m_desktop.eventsOf(QStringLiteral("MENU")).size();
    m_desktop.menuAnswers = {command};
    emit list->rightClicked(row, at);
    m_desktop.menuAnswers.clear();

    const QList<zq::ScriptedDesktop::Event> menus = m_desktop.eventsOf(QStringLiteral("MENU"));
    if (menus.size() == menusBefore)
        return QStringLiteral("no context menu appeared");
    if (!menus.at(menusBefore).fields.contains(QString::number(command))) {
        QStringList offered;
        for (const zq::MenuEntry& entry : std::as_const(m_desktop.lastMenu))
            if (entry.id != 0)
                offered << QStringLiteral("%1 %2").arg(entry.id).arg(entry.text);
        return QStringLiteral("the context menu has no command %1; it offers %2 (--describe lists them)")
            .arg(command)
            .arg(offered.join(QStringLiteral(", ")));
    }
    return QString();
}

QString SearchSession::exportTo(const QString& file, int filter)
{
    const qsizetype savesBefore = m_desktop.eventsOf(QStringLiteral("SAVE")).size();
    const qsizetype eventsBefore = m_desktop.events.size();
    const QFileInfo chosen(file);
    // Where the page writes for that name: a name without an extension gets ".txt".
    const QFileInfo target(zq::ExportPathFor(chosen.absoluteFilePath()));
    const QDateTime modifiedBefore = target.exists() ? target.lastModified() : QDateTime();
    m_desktop.saveAnswer = zq::SaveFileAnswer{chosen.absoluteFilePath(), filter};
    const QString error = ControlDriver::click(zq::Control(*m_main, CZQPDMSearchMain::IDC_SAVEAS));
    m_desktop.saveAnswer.reset();
    if (!error.isEmpty())
        return error;
    if (m_desktop.eventsOf(QStringLiteral("SAVE")).size() == savesBefore)
        return QStringLiteral("no save dialog appeared (the page has no result list)");
    // The page says why it wrote nothing in a message; the question whether to open the file is
    // the only message of an export that worked. What it says after opening the file is about
    // the opening: the file was written all the same.
    QStringList told, openTold, details;
    bool opening = false;
    for (qsizetype i = eventsBefore; i < m_desktop.events.size(); ++i) {
        const zq::ScriptedDesktop::Event& event = m_desktop.events.at(i);
        if (event.kind == u"OPEN")
            opening = true;
        else if (event.kind == u"MSG" && event.fields.value(1) != u"存储完毕，是否打开该文件?") {
            (opening ? openTold : told) << event.fields.value(1);
            if (!opening && !event.detail.isEmpty())
                details << event.detail;
        }
    }
    const QFileInfo written(target.absoluteFilePath());
    if (!told.isEmpty()) {
        m_exportFailure = told.join(QStringLiteral("; "));
        m_exportDetail = details.join(QStringLiteral("; "));
    }
    else if (!written.exists() || (modifiedBefore.isValid() && written.lastModified() == modifiedBefore))
        m_exportFailure = QStringLiteral("no file was written to %1").arg(written.absoluteFilePath());
    else if (!openTold.isEmpty())
        note(QStringLiteral("--export: %1 was written; it was not opened: %2")
                 .arg(written.absoluteFilePath(), openTold.join(QStringLiteral("; "))));
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
    if (!list)
        return QString();
    // A column the page hides (no header, no width: 旧图号 under the old-code switch) is not shown
    // to the user, and not written either.
    QStringList headers;
    QList<int> shown;
    CHeaderCtrl* header = list->GetHeaderCtrl();
    for (int c = 0; c < list->GetColumnCount(); ++c) {
        if (header->GetItemText(c).isEmpty() && list->GetColumnWidth(c) == 0)
            continue;
        headers.append(header->GetItemText(c));
        shown.append(c);
    }
    StandardOutput output;
    ResultWriter writer(m_options.format, headers, output.sink());
    std::vector<QStringView> shownCells(size_t(shown.size()));
    list->VisitRowTexts(list->GetColumnCount(), [&](std::span<const QStringView> cells) {
        for (qsizetype i = 0; i < shown.size(); ++i)
            shownCells[size_t(i)] = size_t(shown[i]) < cells.size() ? cells[size_t(shown[i])] : QStringView();
        writer.row(shownCells);
    });
    writer.finish();
    return output.finish();
}

// The result list's menu as a right-click on a row shows it: the selected row, else the first
// (selected as a user's right-click would), nothing chosen.
ResultMenu SearchSession::resultMenu()
{
    ResultMenu menu;
    CZQSearchPage* page = m_main->CurrentPage();
    CReportListCtrl* list = page ? page->GetResultList() : nullptr;
    if (!list)
        return menu;
    menu.listId = list->objectName().toInt();
    if (list->GetItemCount() == 0)
        return menu;
    const QList<int> selected = list->GetSelectedRows();
    const int row = selected.isEmpty() ? 0 : selected.first();
    if (selected.isEmpty())
        list->SelectRow(row);
    letEventsThrough();
    m_desktop.lastMenu.clear();
    m_desktop.menuAnswers.clear();
    emit list->rightClicked(row, m_desktop.cursor);
    menu.shown = !m_desktop.lastMenu.isEmpty();
    menu.entries = m_desktop.lastMenu;
    return menu;
}

QString SearchSession::printDescription()
{
    const ResultMenu menu = resultMenu();
    const ControlCatalog catalog(m_main->CurrentPage(), *m_main);
    return WriteOutput(PageDescription(catalog, menu).text(m_options.format));
}

} // namespace zq::tool
