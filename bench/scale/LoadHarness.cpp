#include "LoadHarness.h"

#include "Cases.h"
#include "ProcessTree.h"
#include "RawBaselines.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zq::bench {

namespace {

// A TCP port on 127.0.0.1 that no one listens on now (0 when the system gives none).
int FreeLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

double ticksToSeconds(qint64 ticks)
{
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

// CPU seconds of a process and all it has waited for, and of its live children.
double treeCpu(qint64 pid)
{
    if (pid <= 0)
        return -1;
    const QList<QByteArray> own = ProcessStatFields(pid);
    if (own.size() < 15)
        return -1;
    qint64 ticks = own[11].toLongLong() + own[12].toLongLong() + own[13].toLongLong() + own[14].toLongLong();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 child = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        const QList<QByteArray> fields = ProcessStatFields(child);
        if (fields.size() > 14 && fields[1].toLongLong() == pid)
            ticks += fields[11].toLongLong() + fields[12].toLongLong();
    }
    return ticksToSeconds(ticks);
}

double childrenCpu()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A connection of the harness's own to the watched server.
class ServerWatch {
public:
    explicit ServerWatch(const QString& adminUrl) : m_name(QStringLiteral("load-watch"))
    {
        if (adminUrl.isEmpty())
            return;
        const QUrl url(adminUrl);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        if (!db.open())
            return;
        QSqlQuery query(db);
        // The backend serving us; its parent is the postmaster.
        if (query.exec(QStringLiteral("SELECT pg_backend_pid()")) && query.next()) {
            const QList<QByteArray> fields = ProcessStatFields(query.value(0).toLongLong());
            if (fields.size() > 1)
                m_postmaster = fields[1].toLongLong();
        }
    }
    ~ServerWatch() { QSqlDatabase::removeDatabase(m_name); }

    int connections(const QString& database) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = '%1'").arg(database))
            || !query.next())
            return -1;
        return query.value(0).toInt();
    }
    double cpu() const { return treeCpu(m_postmaster); }
    bool watching() const { return m_postmaster > 0; }

private:
    QString m_name;
    qint64 m_postmaster = 0;
};

struct Client {
    std::unique_ptr<QProcess> process;
    QByteArray output;
    bool ready = false;
};

} // namespace

LoadFigures RunLoad(const LoadRun& run)
{
    LoadFigures figures;
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/zq-load-client");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* name : {"ZQPDM_DB", "ZQPDM_HOME", "ZQPDM_SQL_TRACE", "ZQPDM_OLDCODE", "PGOPTIONS"})
        environment.remove(QString::fromLatin1(name));

    std::vector<Client> clients;
    auto launch = [&](const QStringList& arguments, int index) {
        Client client;
        client.process = std::make_unique<QProcess>();
        QProcessEnvironment own = environment;
        // Each user has settings of their own (the recent searches).
        const QString config = QStringLiteral("%1/load-config/%2").arg(run.scratch).arg(index);
        QDir().mkpath(config);
        own.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        client.process->setProcessEnvironment(own);
        client.process->setProcessChannelMode(QProcess::SeparateChannels);
        client.process->setStandardErrorFile(QProcess::nullDevice());
        client.process->start(program, arguments);
        clients.push_back(std::move(client));
    };
    for (int i = 0; i < run.clients; ++i)
        launch({QStringLiteral("--home"), run.installation.home, QStringLiteral("--db"), run.installation.databaseUrl,
                QStringLiteral("--products"), QString::number(run.products), QStringLiteral("--seed"),
                QString::number(i + 1), QStringLiteral("--seconds"), QString::number(run.seconds)},
               i);
    if (!run.sqliteWriterPath.isEmpty())
        launch({QStringLiteral("--write"), run.sqliteWriterPath, QStringLiteral("--seconds"), QString::number(run.seconds)},
               run.clients);

    // Every client opens its window and connection before any searches.
    QElapsedTimer waiting;
    waiting.start();
    for (Client& client : clients) {
        while (!client.ready && waiting.elapsed() < 300000) {
            if (!client.process->waitForReadyRead(1000) && client.process->state() == QProcess::NotRunning)
                break;
            client.output += client.process->readAllStandardOutput();
            client.ready = client.output.contains("ready\n");
            if (client.output.startsWith("error\t"))
                break;
        }
        if (!client.ready) {
            figures.error = QStringLiteral("a client did not start: ") + QString::fromUtf8(client.output.trimmed());
            for (Client& c : clients)
                c.process->kill();
            for (Client& c : clients)
                c.process->waitForFinished(5000);
            return figures;
        }
        client.output.clear();
    }

    ServerWatch watch(run.serverAdminUrl);
    const double serverBefore = watch.cpu();
    const double poolerBefore = treeCpu(run.poolerPid);
    const double clientsBefore = childrenCpu();
    const double start = raw::Now();
    for (Client& client : clients)
        client.process->write("go\n");
    // While they run: the server's connections once a second.
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (watch.watching())
            figures.maxServerConnections = std::max(figures.maxServerConnections, watch.connections(run.serverDatabase));
    });
    sampler.start(1000);
    // Their output is read as it comes, so that no client waits on a full pipe.
    const double deadline = start + run.seconds + 120;
    auto running = [&clients] {
        return std::any_of(clients.begin(), clients.end(),
                           [](const Client& c) { return c.process->state() != QProcess::NotRunning; });
    };
    while (running() && raw::Now() < deadline) {
        QThread::msleep(50);
        QCoreApplication::processEvents();
        for (Client& client : clients)
            client.output += client.process->readAllStandardOutput();
    }
    for (Client& client : clients) {
        if (client.process->state() != QProcess::NotRunning) {
            client.process->kill();
            figures.error = QStringLiteral("a client ran past its time");
        }
        client.process->waitForFinished(5000);
        client.output += client.process->readAllStandardOutput();
    }
    sampler.stop();
    const double wall = raw::Now() - start;
    QThread::msleep(500);   // the server's backends for the clients have ended
    figures.serverCpu = watch.watching() ? watch.cpu() - serverBefore : -1;
    figures.poolerCpu = run.poolerPid > 0 ? treeCpu(run.poolerPid) - poolerBefore : -1;
    figures.clientCpu = childrenCpu() - clientsBefore;

    QList<double> times;
    for (const Client& client : clients) {
        for (const QByteArray& line : client.output.split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 4)
                continue;
            const bool ok = fields[3] == "1";
            const QString told = fields.size() > 4 ? QString::fromUtf8(fields[4]) : QString();
            if (fields[0] == "search") {
                ++figures.searches;
                if (ok)
                    times.append(fields[2].toDouble());
                else
                    ++figures.errors;
                if (told.contains(QStringLiteral("locked"), Qt::CaseInsensitive))
                    ++figures.lockedMessages;
            } else if (fields[0] == "write") {
                ++figures.writes;
                if (!ok)
                    ++figures.writeErrors;
            } else {
                continue;
            }
            if (!ok && figures.errorSamples.size() < 5)
                figures.errorSamples.append(told);
        }
    }
    std::sort(times.begin(), times.end());
    figures.perSecond = wall > 0 ? double(figures.searches) / std::min(wall, run.seconds) : 0;
    figures.p50 = Percentile(times, 0.50);
    figures.p95 = Percentile(times, 0.95);
    figures.p99 = Percentile(times, 0.99);
    if (figures.searches == 0 && figures.ok())
        figures.error = QStringLiteral("no search was made");
    return figures;
}

PgBouncer::~PgBouncer()
{
    if (!m_process)
        return;
    QFile pidFile(m_folder + QStringLiteral("/pgbouncer.pid"));
    if (pidFile.open(QIODevice::ReadOnly))
        ::kill(pid_t(pidFile.readAll().trimmed().toLongLong()), SIGTERM);
    m_process->terminate();
    if (!m_process->waitForFinished(5000))
        m_process->kill();
    m_process->waitForFinished(2000);
}

bool PgBouncer::start(const QString& serverUrl, const QString& folder, int poolSize, QString* error)
{
    const QString binary = QStandardPaths::findExecutable(QStringLiteral("pgbouncer"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (binary.isEmpty()) {
        *error = QStringLiteral("pgbouncer is not installed");
        return false;
    }
    const QUrl server(serverUrl);
    m_user = server.userName();
    if (getuid() == 0) {
        m_runFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zq-pgbouncer-XXXXXX"));
        m_folder = m_runFolder->path();
    } else {
        m_folder = QDir(folder).absolutePath();
        QDir(m_folder).removeRecursively();
    }
    QDir().mkpath(m_folder);
    // A port another program took between our asking and the pooler's binding makes it stop at
    // once: it is tried again on another.
    for (int attempt = 1;; ++attempt) {
        m_port = FreeLocalPort();
        if (m_port <= 0) {
            *error = QStringLiteral("no free local port for pgbouncer");
            return false;
        }
        if (launch(binary, server, poolSize, error))
            return true;
        if (!m_process || m_process->state() == QProcess::Running || attempt == 3)
            return false;
    }
}

bool PgBouncer::launch(const QString& binary, const QUrl& server, int poolSize, QString* error)
{
    const QString config = QStringLiteral(
                               "[databases]\n"
                               "* = host=%1 port=%2\n"
                               "[pgbouncer]\n"
                               "listen_addr = 127.0.0.1\n"
                               "listen_port = %3\n"
                               "unix_socket_dir =\n"
                               "auth_type = trust\n"
                               "auth_file = %4/users.txt\n"
                               "pool_mode = transaction\n"
                               "default_pool_size = %5\n"
                               "max_client_conn = 500\n"
                               "ignore_startup_parameters = extra_float_digits\n"
                               "logfile = %4/pgbouncer.log\n"
                               "pidfile = %4/pgbouncer.pid\n")
                               .arg(server.host())
                               .arg(server.port(5432))
                               .arg(m_port)
                               .arg(m_folder)
                               .arg(poolSize);
    QFile ini(m_folder + QStringLiteral("/pgbouncer.ini"));
    QFile users(m_folder + QStringLiteral("/users.txt"));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate) || ini.write(config.toUtf8()) < 0 ||
        !users.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        users.write(QStringLiteral("\"%1\" \"\"\n").arg(m_user).toUtf8()) < 0) {
        *error = QStringLiteral("cannot write the pooler's configuration in ") + m_folder;
        m_process.reset();
        return false;
    }
    ini.close();
    users.close();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // PgBouncer will not run as root: as the database server's own user then.
    if (getuid() == 0) {
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("postgres"), m_folder});
        m_process->start(QStringLiteral("runuser"), {QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"),
                                                     binary, ini.fileName()});
    } else {
        m_process->start(binary, {ini.fileName()});
    }
    // Up when it takes a connection.
    QElapsedTimer waiting;
    waiting.start();
    while (waiting.elapsed() < 10000) {
        if (m_process->state() == QProcess::NotRunning) {
            QFile log(m_folder + QStringLiteral("/pgbouncer.log"));
            const QString logged = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll().right(2000)) : QString();
            *error = QStringLiteral("pgbouncer stopped on port %1: %2%3")
                         .arg(QString::number(m_port), QString::fromUtf8(m_process->readAll()), logged);
            return false;
        }
        if (WithPostgres(url(server.path().mid(1)), [](QSqlDatabase&) {}).isEmpty())
            return true;
        QThread::msleep(200);
    }
    *error = QStringLiteral("pgbouncer did not take connections on port %1").arg(m_port);
    return false;
}

QString PgBouncer::url(const QString& database) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(m_user).arg(m_port).arg(database);
}

qint64 PgBouncer::pid() const
{
    QFile pidFile(m_folder + QStringLiteral("/pgbouncer.pid"));
    if (pidFile.open(QIODevice::ReadOnly))
        return pidFile.readAll().trimmed().toLongLong();
    return m_process ? m_process->processId() : 0;
}

} // namespace zq::bench
