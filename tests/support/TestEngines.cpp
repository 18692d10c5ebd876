#include "TestEngines.h"
#include "DbmsInfo.h"
#include "SeededHome.h"

#include <QSqlDatabase>
#include <QUrl>

namespace zq::test {

namespace {

const QString kSqliteDriver = QStringLiteral("SQLite3");
const QString kPostgresDriver = QStringLiteral("PostgreSQL Unicode");

QString OdbcDriverMissing(const QString& driver, const char* package)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        return QStringLiteral("the Qt ODBC driver is not installed (libqt6sql6-odbc)");
    if (!db::InstalledOdbcDrivers().contains(driver))
        return QStringLiteral("the ODBC driver \"%1\" is not installed (%2)").arg(driver, QLatin1String(package));
    return {};
}

} // namespace

std::string EngineTestName(const char* engine)
{
    std::string name(engine);
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

bool IsOdbcEngine(const QString& engine)
{
    return engine.startsWith(u"odbc-");
}

bool UsesPostgres(const QString& engine)
{
    return engine.endsWith(u"postgresql");
}

QString EngineUnavailable(const QString& engine)
{
    if (UsesPostgres(engine) && qEnvironmentVariableIsEmpty("ZQ_TEST_PG"))
        return QStringLiteral("ZQ_TEST_PG is not set");
    if (engine == u"odbc-sqlite")
        return OdbcDriverMissing(kSqliteDriver, "libsqliteodbc");
    if (engine == u"odbc-postgresql")
        return OdbcDriverMissing(kPostgresDriver, "odbc-postgresql");
    return {};
}

QString OdbcSqliteUrl(const QString& file)
{
    return QStringLiteral("odbc:Driver={%1};Database=%2").arg(kSqliteDriver, file);
}

QString OdbcPostgresUrl(const QString& postgresUrl, const QString& connSettings)
{
    const QUrl url(postgresUrl);
    QString text = QStringLiteral("odbc:Driver={%1};Server=%2;Port=%3;Database=%4;Uid=%5")
                       .arg(kPostgresDriver, url.host())
                       .arg(url.port(5432))
                       .arg(url.path().mid(1), url.userName());
    if (!url.password().isEmpty())
        text += QStringLiteral(";Pwd={%1}").arg(url.password());
    if (!connSettings.isEmpty())
        text += QStringLiteral(";ConnSettings={%1}").arg(connSettings);
    return text;
}

EngineDatabase::EngineDatabase(const QString& engine, const QString& folder) : m_unavailable(EngineUnavailable(engine))
{
    if (!m_unavailable.isEmpty())
        return;
    if (UsesPostgres(engine)) {
        m_pg = std::make_unique<PgTestDatabase>();
        if (!m_pg->ok()) {
            m_error = m_pg->error();
            return;
        }
        m_url = IsOdbcEngine(engine) ? OdbcPostgresUrl(m_pg->url()) : m_pg->url();
        return;
    }
    m_sqliteFile = folder + QStringLiteral("/pdm.db");
    m_url = IsOdbcEngine(engine) ? OdbcSqliteUrl(m_sqliteFile) : QStringLiteral("sqlite:") + m_sqliteFile;
}

EngineDatabase::~EngineDatabase() = default;

QSqlDatabase AddPostgresDatabase(const QString& postgresUrl, const QString& connectionName)
{
    const QUrl url(postgresUrl);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(url.path().mid(1));
    return db;
}

QSqlDatabase EngineDatabase::OpenNative(const QString& connectionName) const
{
    QSqlDatabase db;
    if (m_pg) {
        db = AddPostgresDatabase(m_pg->url(), connectionName);
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(m_sqliteFile);
    }
    db.open();
    return db;
}

} // namespace zq::test
