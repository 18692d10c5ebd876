#include "DatabaseUrl.h"
#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

namespace zq::seed {

namespace {
QAtomicInt g_connectionCounter;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}
} // namespace

std::optional<DatabaseTarget> ParseDatabaseUrl(const QString& url, QString* error)
{
    DatabaseTarget target;
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        QString path = url.mid(7);
        if (path.startsWith(QLatin1String("//")))
            path = QUrl(url).toLocalFile();
        if (path.isEmpty()) {
            setError(error, QStringLiteral("the sqlite URL names no file: %1").arg(url));
            return std::nullopt;
        }
        target.engine = Engine::Sqlite;
        target.driver = QStringLiteral("QSQLITE");
        target.databaseName = QFileInfo(path).absoluteFilePath();
        return target;
    }
    if (url.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        const QUrl parsed(url);
        const QString database = parsed.path().mid(1);
        if (!parsed.isValid() || parsed.host().isEmpty() || database.isEmpty()) {
            setError(error, QStringLiteral("a PostgreSQL URL needs a host and a database: %1").arg(url));
            return std::nullopt;
        }
        target.engine = Engine::Postgres;
        target.driver = QStringLiteral("QPSQL");
        target.databaseName = database;
        target.host = parsed.host();
        target.port = parsed.port(5432);
        target.user = parsed.userName();
        target.password = parsed.password();
        return target;
    }
    if (url.startsWith(QLatin1String("odbc:"), Qt::CaseInsensitive) && url.size() > 5) {
        target.engine = Engine::SqlServer;
        target.driver = QStringLiteral("QODBC");
        target.databaseName = url.mid(5);
        return target;
    }
    setError(error, QStringLiteral("unknown database URL (sqlite:PATH, postgresql://user@host:port/db or odbc:...): %1")
                        .arg(url));
    return std::nullopt;
}

SeedConnection::SeedConnection(const DatabaseTarget& target)
    : m_target(target), m_name(QStringLiteral("pdmseed-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1)))
{
}

SeedConnection::~SeedConnection()
{
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

bool SeedConnection::open(QString* error)
{
    if (!QSqlDatabase::isDriverAvailable(m_target.driver)) {
        setError(error, QStringLiteral("the Qt SQL driver %1 is not installed").arg(m_target.driver));
        return false;
    }
    m_db = QSqlDatabase::addDatabase(m_target.driver, m_name);
    m_db.setDatabaseName(m_target.databaseName);
    if (!m_target.host.isEmpty())
        m_db.setHostName(m_target.host);
    if (m_target.port > 0)
        m_db.setPort(m_target.port);
    if (!m_target.user.isEmpty())
        m_db.setUserName(m_target.user);
    if (!m_target.password.isEmpty())
        m_db.setPassword(m_target.password);
    if (m_target.engine == Engine::Postgres)
        m_db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!m_db.open()) {
        setError(error, QStringLiteral("cannot open the database: %1").arg(m_db.lastError().text()));
        return false;
    }
    return true;
}

} // namespace zq::seed
