#include "PgServerFaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace zq::test {

namespace {

// A port nothing listens on right now.
int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

} // namespace

int EndDatabaseSessions(const QString& databaseUrl, QString* error)
{
    const QUrl url(databaseUrl);
    const QString database = url.path().mid(1);
    const QString name = QStringLiteral("zq-end-sessions-") + QUuid::createUuid().toString(QUuid::Id128);
    int ended = -1;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        admin.setHostName(url.host());
        admin.setPort(url.port(5432));
        admin.setUserName(url.userName());
        admin.setPassword(url.password());
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (admin.open()) {
            QSqlQuery query(admin);
            query.prepare(QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                         "WHERE datname = ? AND pid <> pg_backend_pid()"));
            query.addBindValue(database);
            if (query.exec() && query.next())
                ended = query.value(0).toInt();
            else if (error)
                *error = query.lastError().text();
        } else if (error) {
            *error = admin.lastError().text();
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ended;
}

QString PrivatePgServer::BinDir()
{
    const QString given = qEnvironmentVariable("ZQ_PG_BINDIR");
    if (!given.isEmpty() && QFile::exists(given + QStringLiteral("/initdb")))
        return given;
    QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return {};
}

PrivatePgServer::PrivatePgServer()
{
    if (!Available()) {
        m_error = QStringLiteral("no PostgreSQL server programs");
        return;
    }
    if (!m_dir.isValid()) {
        m_error = m_dir.errorString();
        return;
    }
    // The server refuses to run as root; it runs as the postgres user, who must own its folder.
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("postgres");
        if (!user || ::chown(m_dir.path().toLocal8Bit().constData(), user->pw_uid, user->pw_gid) != 0) {
            m_error = QStringLiteral("cannot hand the folder to the postgres user");
            return;
        }
    }
    m_port = FreePort();
    if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-U"),
                                         QStringLiteral("zq"), QStringLiteral("-A"), QStringLiteral("trust"),
                                         QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")}))
        return;
    m_ok = start();
}

PrivatePgServer::~PrivatePgServer()
{
    if (m_running)
        run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
                                       QStringLiteral("immediate"), QStringLiteral("stop")});
}

QString PrivatePgServer::url(const QString& database) const
{
    return QStringLiteral("postgresql://zq@127.0.0.1:%1/%2").arg(m_port).arg(database);
}

bool PrivatePgServer::createDatabase(const QString& name)
{
    return run(QStringLiteral("createdb"), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                            QString::number(m_port), QStringLiteral("-U"), QStringLiteral("zq"), name});
}

bool PrivatePgServer::stop()
{
    const bool stopped = run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                                                       QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"),
                                                       QStringLiteral("stop")});
    m_running = m_running && !stopped;
    return stopped;
}

bool PrivatePgServer::start()
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1").arg(m_port).arg(m_dir.path());
    m_running = run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-l"),
                                               m_dir.filePath(QStringLiteral("log")), QStringLiteral("-w"), QStringLiteral("-o"),
                                               options, QStringLiteral("start")});
    return m_running;
}

bool PrivatePgServer::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    const QString path = BinDir() + QLatin1Char('/') + program;
    if (::geteuid() == 0)
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                             QStringLiteral("--"), path} + arguments);
    else
        process.start(path, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    return true;
}

} // namespace zq::test
