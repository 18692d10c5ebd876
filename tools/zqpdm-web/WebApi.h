#pragma once
// The JSON API: the tabs, a tab's controls, a search, a listed row and its stored file. Each route
// is one handler; searches and fetches run in worker processes (PageWorker), at most `workers` at
// once, quick searches on the server's own threads (QuickPool), and every answer a client sees is free of paths and SQL: those go to the log.
#include "HitStore.h"
#include "PageWorker.h"
#include "PreviewCache.h"
#include "QuickPool.h"
#include "WorkerSlots.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace zq::web {

struct QuickRequest;

// Writes one line to the server's log.
using LogLine = std::function<void(const QString&)>;

struct ApiSettings {
    QString workerProgram;
    QString home;
    std::optional<QString> db;
    std::optional<QString> today;
    WorkerLimits limits;
    int workers = 2;
    int quickThreads = 2;   // 0: quick searches in worker processes
};

class WebApi {
public:
    WebApi(ApiSettings settings, QStringList pages, LogLine log);

    // USER is who the request is from; the routes are added to SERVER.
    using UserOf = std::function<QString(const httplib::Request&)>;
    void addRoutes(httplib::Server& server, UserOf userOf);

private:
    void pages(httplib::Response& response) const;
    void describe(const QString& user, const QString& page, const std::string& actions, httplib::Response& response);
    void search(const QString& user, const QString& page, const std::string& body, httplib::Response& response);
    void hit(const QString& user, const QString& id, httplib::Response& response) const;
    void file(const QString& user, const QString& id, httplib::Response& response);
    // The quick search, a list of codes checked, suggestions, and a listed row's preview picture
    // (WebApiQuick.cpp).
    void quick(const QString& user, const QString& text, const QString& kinds, httplib::Response& response);
    void quickList(const QString& user, const std::string& body, const QString& kinds, httplib::Response& response);
    void suggest(const QString& user, const QString& text, httplib::Response& response);
    void preview(const QString& user, const QString& id, httplib::Response& response);

    // Runs a quick search; false (and the answer set) when it did not end well.
    bool runQuick(const QString& user, const QuickRequest& request, WorkerOutcome& outcome, httplib::Response& response);
    // Answers 503: no worker or thread was free in time.
    void answerBusy(httplib::Response& response) const;
    bool knownKinds(const QString& kinds, httplib::Response& response) const;
    void answerQuickRows(const QString& user, const WorkerOutcome& outcome, httplib::Response& response);
    // The hit of ID as it lies on its tab (a quick hit looked for there the first time); nullopt
    // (and the answer set) when there is none.
    std::optional<Hit> listedHit(const QString& user, const QString& id, httplib::Response& response);
    // The hit's search run again with MORE after it, the row checked to be the same one; false
    // (and the answer set) when it was not.
    bool rerun(const Hit& hit, const QStringList& more, const WorkerInput& input, WorkerOutcome& outcome,
               httplib::Response& response);

    bool knownPage(const QString& page, httplib::Response& response) const;
    // Runs a worker when one is free in time; false (and the answer set) when none was.
    bool runWorker(const QString& user, const QString& page, const QStringList& arguments, WorkerOutcome& outcome,
                   httplib::Response& response, const WorkerInput& input = {});
    // The answer for a worker that did not end well; false when it did.
    bool answerFailure(const WorkerOutcome& outcome, httplib::Response& response);
    QString clientText(QString text) const;
    // The rows of a worker's output; nullopt (and the answer set) when they are not rows.
    std::optional<QStringList> rowsOf(const WorkerOutcome& outcome, httplib::Response& response) const;

    ApiSettings m_settings;
    QStringList m_pages;
    LogLine m_log;
    PageWorker m_worker;
    HitStore m_hits;
    PreviewCache m_previews;
    std::unique_ptr<WorkerSlots> m_freeWorkers;
    std::unique_ptr<QuickPool> m_quickPool;   // null: quick searches in worker processes
};

// {"error": TEXT} with STATUS, as every failure is answered.
void AnswerError(httplib::Response& response, int status, const QString& text, const QStringList& messages = {});
void AnswerJson(httplib::Response& response, const QString& json);
// A short number that ties what a client saw to the lines of the log.
QString NextReference();

} // namespace zq::web
