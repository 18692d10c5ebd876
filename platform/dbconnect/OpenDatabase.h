#pragma once
// Opening a Qt Sql connection so that text survives every driver.
#include <QSqlDatabase>

namespace zq::db {

// Opens the connection. Through ODBC the C library's character type is UTF-8 while the driver
// manager sets the connection up: unixODBC converts text for drivers without the wide-character
// API (the SQLite one) in the character set in force at that moment, and under the "C" locale
// Chinese text in a statement would become '?'. The previous setting is restored afterwards; the
// connection keeps converting as UTF-8. A SQLite connection, native or inside an ODBC driver, gets
// the search functions of SqliteSearchFunctions.h. Called on the user-interface thread only.
bool OpenDatabase(QSqlDatabase& db);

} // namespace zq::db
