#pragma once
// One zqpdm-search run: acts as the host (database connection, product tree, command object),
// opens the search window hidden on the chosen page, applies the actions in order with every
// dialog answered by the scripted Desktop, and prints what happened and the result list.
#include "EventLines.h"
#include "PageDescription.h"
#include "ResultListActions.h"
#include "SearchCommandLine.h"

#include "HostCommandReceiver.h"
#include "HostDatabase.h"
#include "ScriptedDesktop.h"

#include <QString>
#include <memory>

class CTreeCtrlEx;
class CZQPDMSearchMain;
class QWidget;

namespace zq::host { class ProductTreeLoader; }

namespace zq::tool {

class SearchSession {
public:
    // Failed: the page could not be opened, or an action ended in a failure the page reports (a
    // search the database or the content index refused, an export not written, a stored file not
    // fetched). UsageError: a malformed argument, caught by
    // the parser or on the page (a value a control does not take). ActionFailed: an action the
    // page as it stands cannot carry out (no such row, no such menu command).
    enum ExitCode { Ok = 0, Failed = 1, PageFailed = Failed, UsageError = 2, ActionFailed = 3 };

    explicit SearchSession(SearchOptions options);
    ~SearchSession();
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    int run();

    // Traces every statement from now on, as events of the given form.
    static void InstallSqlTrace(const EventLines& events);

private:
    void installDesktop();
    void connectHost();
    int openPage();
    QString resolveNames(Action& action) const;
    QString apply(const Action& action);
    // Why the action just applied did not do what it was for, as the page and its services
    // reported it; empty when it did.
    QString reportedFailure(const Action& action, qsizetype messagesBefore) const;
    void noteMissingInstallation() const;
    QString pressFind(int buttonId);
    QString selectTreePath(const QString& path);
    ResultListActions resultList();
    QWidget* control(int id) const;
    void printStatus() const;
    // The output written; the reason when standard output took not all of it, else empty.
    QString printResults() const;
    QString printDescription();
    int outputStatus(const QString& error) const;
    void note(const QString& text) const;

    SearchOptions m_options;
    EventLines m_events;
    zq::ScriptedDesktop m_desktop;
    zq::host::HostDatabase m_database;
    zq::host::HostCommandReceiver m_receiver;
    std::unique_ptr<QWidget> m_hostWindow;
    std::unique_ptr<CTreeCtrlEx> m_tree;
    std::unique_ptr<zq::host::ProductTreeLoader> m_loader;
    CZQPDMSearchMain* m_main = nullptr;
    QStringList m_serviceFailures;   // "component::operation\treason" met during the current action
    QStringList m_searchFailures;    // database and content index errors the page met during it
    ExportOutcome m_exportOutcome;   // the current export action wrote no file: why
    QString m_previewFailure;        // the current preview action made no picture: why
};

} // namespace zq::tool
