#pragma once
// The web search under load: zqpdm-web started on an installation, and simulated web users, each a
// thread with its own keep-alive connection as a browser has, sending quick searches
// (GET /api/quick) and tab searches (POST /api/pages/{tab}/search) with a pause between them.
// Every answer's time and status are kept; the server's memory (its own and its search
// processes') is sampled meanwhile.
#include "BenchData.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace zq::bench {

// zqpdm-web on a free loopback port for one local user, for as long as the object lives.
class WebServerProcess {
public:
    WebServerProcess() = default;
    ~WebServerProcess();
    WebServerProcess(const WebServerProcess&) = delete;
    WebServerProcess& operator=(const WebServerProcess&) = delete;

    // The server's log (standard error) goes to logFile.
    bool start(const Installation& installation, const QString& logFile, QString* error);
    void stop();
    int port() const { return m_port; }
    qint64 pid() const;

private:
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
};

// One request of a simulated user.
struct WebRequest {
    QString kind;        // "quick search" or "tab search"
    std::string path;    // percent-encoded
    std::string body;    // a POST's JSON body; empty: a GET
};

// The request a user sends the draw-th time: tab searches over the pages whose conditions are
// typed, quick searches of drawing numbers, each with other values drawn from the generated
// products. Without the quick search, tab searches only.
WebRequest NextWebRequest(quint64 draw, int products, bool quickSearch);

struct WebLoadRun {
    int port = 0;
    qint64 serverPid = 0;
    int users = 50;
    double seconds = 60;
    double pauseSeconds = 1;   // between an answer and the user's next search; 0: none
    int products = 1;
    bool quickSearch = true;
};

struct WebKindFigures {
    qint64 searches = 0;
    qint64 errors = 0;
    qint64 listedNothing = 0;              // answered 200 with no row
    double p50 = -1, p95 = -1, p99 = -1;   // milliseconds
};

struct WebLoadFigures {
    qint64 searches = 0;
    double perSecond = 0;
    qint64 errors = 0;             // an answer other than 200, or none
    QMap<QString, WebKindFigures> kinds;
    QStringList errorSamples;      // the first few: status and the answer's start
    qint64 peakMemoryBytes = -1;   // the server and its search processes together
};

WebLoadFigures RunWebLoad(const WebLoadRun& run);

// Whether the server answers the quick search (GET /api/quick): 404 when it has none.
bool ServesQuickSearch(int port);

} // namespace zq::bench
