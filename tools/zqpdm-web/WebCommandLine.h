#pragma once
// The zqpdm-web command line as plain values. Parsing knows nothing of sockets or pages.
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::web {

struct WebOptions {
    QString home;
    std::optional<QString> db;
    std::optional<QString> today;        // the date the pages see (yyyy-MM-dd), for demonstrations
    QString listenHost = QStringLiteral("127.0.0.1");
    int listenPort = 8470;
    QStringList trustedProxies;          // addresses whose X-Remote-User is believed
    std::optional<QString> localUser;    // everyone is this user (loopback only)
    int workers = 0;                     // searches at once; 0: one a core
    int workerSearches = 100;            // searches a kept worker process answers
    int quickThreads = -1;               // quick searches at once in the server; -1: as workers;
                                         // 0: in worker processes as the other searches
    double searchTimeout = 30.0;         // seconds before a search is cancelled
    int readTimeout = 10;                // seconds a client may take to send its request
    int writeTimeout = 30;               // seconds a client may take to read the answer
    qsizetype maxBody = 64 * 1024;       // bytes of a request body
};

struct WebParseResult {
    enum class Status { Ok, Help, Usage };
    Status status = Status::Ok;
    QString error;
    WebOptions options;
};

class WebCommandLine {
public:
    static WebParseResult parse(const QStringList& arguments);
    static QString helpText();
    static QString usageLine();
};

// 127.0.0.0/8, ::1 and "localhost": addresses no other machine reaches.
bool IsLoopbackHost(const QString& host);

} // namespace zq::web
