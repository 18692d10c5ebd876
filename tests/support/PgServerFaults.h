#pragma once
// PostgreSQL faults for the tests: sessions ended by the server, and a server of a test's own
// that the test stops and starts again (the shared server of ./zq test is never stopped).
//
//   zq::test::EndDatabaseSessions(url)   ends every session on that database, as an administrator's
//                                        pg_terminate_backend does; the number ended, −1 on failure
//   zq::test::PrivatePgServer            initdb + start on a free port of 127.0.0.1 in a temporary
//                                        folder; stop() and start() keep its data; removed at the end
#include <QString>
#include <QTemporaryDir>

namespace zq::test {

int EndDatabaseSessions(const QString& databaseUrl, QString* error = nullptr);

class PrivatePgServer {
public:
    PrivatePgServer();
    ~PrivatePgServer();
    PrivatePgServer(const PrivatePgServer&) = delete;
    PrivatePgServer& operator=(const PrivatePgServer&) = delete;

    // The server programs: ZQ_PG_BINDIR, else the newest /usr/lib/postgresql/*/bin.
    static QString BinDir();
    static bool Available() { return !BinDir().isEmpty(); }

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    int port() const { return m_port; }
    // postgresql://zq@127.0.0.1:PORT/<database>
    QString url(const QString& database) const;
    bool createDatabase(const QString& name);

    bool stop();    // fast shutdown: sessions are ended, data kept
    bool start();

private:
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_ok = false;
    bool m_running = false;
    QString m_error;
};

} // namespace zq::test
