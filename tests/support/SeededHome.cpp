#include "SeededHome.h"
#include "Seeder.h"
#include "ZQDBConnect.h"
#include <QApplication>
#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <cstdlib>

namespace zq::test {

ScopedEnv::ScopedEnv(const char* name, const std::optional<QString>& value) : m_name(name)
{
    if (qEnvironmentVariableIsSet(name))
        m_previous = qgetenv(name);
    if (value)
        qputenv(name, value->toLocal8Bit());
    else
        qunsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_previous)
        qputenv(m_name.constData(), *m_previous);
    else
        qunsetenv(m_name.constData());
}

SeededHome::SeededHome() : SeededHome(Options{}) {}

SeededHome::SeededHome(const Options& options) : m_today(options.today)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder: %1").arg(m_dir.errorString());
        return;
    }
    seed::SeedOptions seedOptions;
    seedOptions.home = home();
    seedOptions.scale = options.scale;
    seedOptions.today = options.today;
    seedOptions.databaseUrl = options.databaseUrl;
    if (seedOptions.databaseUrl.isEmpty() && options.sqliteThroughOdbc)
        seedOptions.databaseUrl = OdbcSqliteUrl(path(QStringLiteral("pdm.db")));
    seedOptions.moduleTablesOnly = options.moduleTablesOnly;
    seed::Seeder seeder(seedOptions);
    if (!seeder.Run()) {
        m_error = seeder.LastError();
        return;
    }
    m_databaseUrl = seeder.Report().databaseUrl;
    QDir().mkpath(workDir());
    QDir().mkpath(tempDir());
    if (options.setEnvironment) {
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_HOME", home()));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_SYSDIR", sysDir()));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_DB", m_databaseUrl));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_WORKDIR", workDir() + QLatin1Char('/')));
        m_env.push_back(std::make_unique<ScopedEnv>("TMPDIR", tempDir()));
        m_env.push_back(std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", std::nullopt));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_FTP", std::nullopt));
    }
    m_ok = true;
}

SeededHome::~SeededHome()
{
    // Environment restored in reverse order of setting, before the folder goes away.
    while (!m_env.empty())
        m_env.pop_back();
}

QString SeededHome::home() const
{
    return QDir(m_dir.path()).absolutePath();
}

QString SeededHome::path(const QString& relative) const
{
    return home() + QLatin1Char('/') + relative;
}

QString SeededHome::storeUrl() const
{
    return QUrl::fromLocalFile(storeDir()).toString();
}

namespace {

QAtomicInt g_pgCounter;

// Runs one statement on a short-lived connection to the server's given database.
bool runOnServer(const QString& url, const QString& sql, QString* error)
{
    const QUrl parsed(url);
    const QString connection = QStringLiteral("zq-test-pg-admin-%1").arg(g_pgCounter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(parsed.host());
        db.setPort(parsed.port(5432));
        db.setUserName(parsed.userName());
        db.setPassword(parsed.password());
        db.setDatabaseName(parsed.path().mid(1));
        db.setConnectOptions(QStringLiteral("connect_timeout=5"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            ok = query.exec(sql);
            if (!ok)
                *error = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

} // namespace

bool PgTestDatabase::Available()
{
    return !qEnvironmentVariableIsEmpty("ZQ_TEST_PG");
}

PgTestDatabase::PgTestDatabase() : PgTestDatabase(QString()) {}

PgTestDatabase::PgTestDatabase(const QString& createOptions)
{
    if (!Available()) {
        m_error = QStringLiteral("ZQ_TEST_PG is not set");
        return;
    }
    m_adminUrl = qEnvironmentVariable("ZQ_TEST_PG");
    m_name = QStringLiteral("zqt_%1_%2_%3")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QDateTime::currentMSecsSinceEpoch() % 100000000)
                 .arg(g_pgCounter.fetchAndAddRelaxed(1));
    if (!runOnServer(m_adminUrl,
                     QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0 %2").arg(m_name, createOptions),
                     &m_error))
        return;
    QUrl url(m_adminUrl);
    url.setPath(QLatin1Char('/') + m_name);
    m_url = url.toString();
    m_ok = true;
}

PgTestDatabase::~PgTestDatabase()
{
    if (!m_ok)
        return;
    QString error;
    runOnServer(m_adminUrl, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name), &error);
}

EngineHome::EngineHome(const QString& engine, const SeededHome::Options& options)
    : m_unavailable(EngineUnavailable(engine))
{
    if (!m_unavailable.isEmpty())
        return;
    SeededHome::Options seeded = options;
    if (UsesPostgres(engine)) {
        m_pg = std::make_unique<PgTestDatabase>();
        if (!m_pg->ok())
            return;
        seeded.databaseUrl = IsOdbcEngine(engine) ? OdbcPostgresUrl(m_pg->url()) : m_pg->url();
    } else if (IsOdbcEngine(engine)) {
        seeded.sqliteThroughOdbc = true;
    }
    m_home = std::make_unique<SeededHome>(seeded);
}

QString EngineHome::error() const
{
    if (m_pg && !m_pg->ok())
        return m_pg->error();
    return m_home ? m_home->error() : QStringLiteral("not seeded");
}

ScopedCurrentDatabase::ScopedCurrentDatabase(const QString& url)
    : m_connection(std::make_unique<CZQDBConnect>(url)), m_previous(CZQDBConnect::GetCurDBConnect())
{
    m_ok = m_connection->Init() && m_connection->ConnectPDM();
    if (!m_ok)
        m_error = m_connection->LastError();
    CZQDBConnect::SetCurDBConnect(m_connection.get());
}

ScopedCurrentDatabase::~ScopedCurrentDatabase()
{
    CZQDBConnect::SetCurDBConnect(m_previous);
    m_connection.reset();
}

} // namespace zq::test
