#pragma once
// The engines the database-facing tests run on, as one list: a test table instantiated with
// EngineNames() runs on each, and skips (saying why) where an engine is not available here.
//   "sqlite"           the embedded database, always
//   "postgresql"       the server named by ZQ_TEST_PG
//   "odbc-sqlite"      a SQLite file through unixODBC's "SQLite3" driver (libsqliteodbc)
//   "odbc-postgresql"  the ZQ_TEST_PG server through the "PostgreSQL Unicode" driver (odbc-postgresql)
// ODBC connections are DSN-less: nothing is read from or written to odbc.ini.
#include <QString>
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

} // namespace zq::test
