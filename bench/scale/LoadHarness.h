#pragma once
// The load figures: many zq-load-client processes, each a user with its own connection, search
// at once for a while; the harness starts them together, gathers every search's time and
// outcome, watches the PostgreSQL server's connections, and splits the CPU time spent between
// the server, the pooler and the clients. Also a PgBouncer of our own for the pooled run.
#include "BenchData.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

namespace zq::bench {

struct LoadRun {
    Installation installation;    // home, and databaseUrl: what the clients connect to
    int clients = 50;
    double seconds = 60;
    int products = 1;             // generated products the searches draw from
    QString sqliteWriterPath;     // when set: one writer process beside the clients
    QString serverAdminUrl;       // PostgreSQL: the server whose connections and CPU are watched
    QString serverDatabase;       // the database whose connections are counted
    qint64 poolerPid = 0;         // PgBouncer's process, whose CPU is counted apart
    QString scratch;              // folders of the clients' own settings
};

struct LoadFigures {
    qint64 searches = 0;
    double perSecond = 0;
    double p50 = -1, p95 = -1, p99 = -1;   // milliseconds
    qint64 errors = 0;
    qint64 lockedMessages = 0;             // searches that told a user "database is locked"
    QStringList errorSamples;              // the first few, as told
    int maxServerConnections = -1;
    double serverCpu = -1, poolerCpu = -1, clientCpu = -1;   // seconds
    qint64 writes = 0, writeErrors = 0;
    QString error;                         // the run itself went wrong
    bool ok() const { return error.isEmpty(); }
};

LoadFigures RunLoad(const LoadRun& run);

// A PgBouncer in transaction pooling mode in front of a PostgreSQL server, for as long as the
// object lives.
class PgBouncer {
public:
    PgBouncer() = default;
    ~PgBouncer();
    PgBouncer(const PgBouncer&) = delete;
    PgBouncer& operator=(const PgBouncer&) = delete;

    // serverUrl: postgresql://user@host:port/db of the server; folder: its configuration and log.
    // As root the pooler runs as the database server's user, who may not reach the folder (a
    // checkout in a private folder): it then uses a temporary folder of its own instead.
    bool start(const QString& serverUrl, const QString& folder, int poolSize, QString* error);
    // The URL of a database through the pooler.
    QString url(const QString& database) const;
    qint64 pid() const;

private:
    // Writes the configuration for m_port, starts the pooler and waits until it takes a connection.
    bool launch(const QString& binary, const QUrl& server, int poolSize, QString* error);

    std::unique_ptr<QProcess> m_process;
    QString m_folder;
    std::unique_ptr<QTemporaryDir> m_runFolder;   // as root
    QString m_user;
    int m_port = 0;
};

} // namespace zq::bench
