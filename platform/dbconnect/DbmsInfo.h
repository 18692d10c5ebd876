#pragma once
// Which database system a connection talks to. Through ODBC the Qt driver name says nothing
// about it: the answer comes from the ODBC driver (Qt's own reading first, then the DBMS name
// the driver reports), so the module's text is adapted for the real engine behind it.
#include "SqlDialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace zq::db {

struct DbmsInfo {
    sql::Dbms dbms = sql::Dbms::Unknown;
    QString name;   // "SQLite", "PostgreSQL", "Microsoft SQL Server", or what the ODBC driver reports
};

// The system behind an open connection.
DbmsInfo DetectDbms(const QSqlDatabase& db);

// The DBMS name an open ODBC connection reports (SQL_DBMS_NAME); "" when it cannot be asked.
QString OdbcDbmsName(const QSqlDatabase& db);

// The ODBC drivers the driver manager knows (the sections of odbcinst.ini); empty without ODBC.
QStringList InstalledOdbcDrivers();

} // namespace zq::db
