#include "DatabaseUrl.h"

#include "ConnectionUrl.h"
#include "DbmsInfo.h"
#include "OpenDatabase.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>

namespace zq::seed {

namespace {
QAtomicInt g_connectionCounter;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The column types of a system we do not know are SQL Server's, the module's home ground.
Engine EngineOf(sql::Dbms dbms)
{
    switch (dbms) {
    case sql::Dbms::Sqlite: return Engine::Sqlite;
    case sql::Dbms::Postgres: return Engine::Postgres;
    case sql::Dbms::SqlServer:
    case sql::Dbms::Unknown: break;
    }
    return Engine::SqlServer;
}
} // namespace

std::optional<DatabaseTarget> ParseDatabaseUrl(const QString& url, QString* error)
{
    const std::optional<db::ConnectionUrl> parsed = db::ParseConnectionUrl(url, error);
    if (!parsed)
        return std::nullopt;
    DatabaseTarget target;
    target.driver = parsed->driver;
    target.engine = parsed->driver == QLatin1String("QPSQL")   ? Engine::Postgres
                    : parsed->driver == QLatin1String("QODBC") ? Engine::SqlServer
                                                               : Engine::Sqlite;
    // The seeder creates the SQLite file, so the name is made absolute here.
    target.databaseName =
        target.engine == Engine::Sqlite ? QFileInfo(parsed->database).absoluteFilePath() : parsed->database;
    target.host = parsed->host;
    target.port = parsed->port;
    target.user = parsed->user;
    target.password = parsed->password;
    return target;
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
    if (m_target.driver == QLatin1String("QPSQL"))
        m_db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db::OpenDatabase(m_db)) {
        setError(error, QStringLiteral("cannot open the database: %1").arg(m_db.lastError().text()));
        return false;
    }
    if (m_target.driver == QLatin1String("QODBC"))
        m_target.engine = EngineOf(db::DetectDbms(m_db).dbms);
    return true;
}

} // namespace zq::seed
