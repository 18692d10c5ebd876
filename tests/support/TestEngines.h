#pragma once
// The engines the database-facing tests run on, as one list: a test table instantiated with
// EngineNames() runs on each, and skips (saying why) where an engine is not available here.
//   "sqlite"           the embedded database, always
//   "postgresql"       the server named by ZQ_TEST_PG
//   "odbc-sqlite"      a SQLite file through unixODBC's "SQLite3" driver (libsqliteodbc)
//   "odbc-postgresql"  the ZQ_TEST_PG server through the "PostgreSQL Unicode" driver (odbc-postgresql)
// ODBC connections are DSN-less: nothing is read from or written to odbc.ini.
#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace zq::test {

inline std::vector<const char*> EngineNames() { return {"sqlite", "postgresql", "odbc-sqlite", "odbc-postgresql"}; }

// The engine as a test name part: "odbc-sqlite" → "odbc_sqlite".
std::string EngineTestName(const char* engine);

bool IsOdbcEngine(const QString& engine);
bool UsesPostgres(const QString& engine);

// Why the engine cannot run here ("" when it can): no ZQ_TEST_PG, no Qt ODBC driver, or the
// ODBC driver is not registered with the driver manager.
QString EngineUnavailable(const QString& engine);

// Database URLs through ODBC.
QString OdbcSqliteUrl(const QString& file);
// From a postgresql:// URL; `connSettings` is SQL the driver runs after connecting ("SET search_path TO s").
QString OdbcPostgresUrl(const QString& postgresUrl, const QString& connSettings = {});

// A Qt connection (not yet open) to the PostgreSQL database of a postgresql:// URL.
QSqlDatabase AddPostgresDatabase(const QString& postgresUrl, const QString& connectionName);

class PgTestDatabase;

// A fresh, empty database on one engine, for a test that creates its own tables: a SQLite file
// in `folder`, or a new database on the ZQ_TEST_PG server (dropped afterwards). The test writes
// its rows through a native connection; the module reaches the database through url(), natively
// or through ODBC as the engine says.
class EngineDatabase {
public:
    EngineDatabase(const QString& engine, const QString& folder);
    ~EngineDatabase();
    EngineDatabase(const EngineDatabase&) = delete;
    EngineDatabase& operator=(const EngineDatabase&) = delete;

    QString unavailable() const { return m_unavailable; }   // "" when the engine runs here
    bool ok() const { return m_unavailable.isEmpty() && m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString url() const { return m_url; }
    bool onPostgres() const { return m_pg != nullptr; }
    // A native connection under that name to the same database, opened (see isOpen()).
    QSqlDatabase OpenNative(const QString& connectionName) const;

private:
    QString m_unavailable, m_error, m_url, m_sqliteFile;
    std::unique_ptr<PgTestDatabase> m_pg;
};

} // namespace zq::test
