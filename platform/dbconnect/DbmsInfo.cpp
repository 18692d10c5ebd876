#include "DbmsInfo.h"

#include <QSqlDriver>
#include <QVariant>

#ifdef ZQ_HAVE_ODBC_API
#include <sql.h>
#include <sqlext.h>
#endif

namespace zq::db {

namespace {

sql::Dbms FromQtType(QSqlDriver::DbmsType type)
{
    switch (type) {
    case QSqlDriver::SQLite: return sql::Dbms::Sqlite;
    case QSqlDriver::PostgreSQL: return sql::Dbms::Postgres;
    case QSqlDriver::MSSqlServer: return sql::Dbms::SqlServer;
    default: return sql::Dbms::Unknown;
    }
}

QString NameOf(sql::Dbms dbms)
{
    switch (dbms) {
    case sql::Dbms::Sqlite: return QStringLiteral("SQLite");
    case sql::Dbms::Postgres: return QStringLiteral("PostgreSQL");
    case sql::Dbms::SqlServer: return QStringLiteral("Microsoft SQL Server");
    case sql::Dbms::Unknown: break;
    }
    return {};
}

} // namespace

DbmsInfo DetectDbms(const QSqlDatabase& db)
{
    DbmsInfo info;
    if (!db.isValid())
        return info;
    if (db.driverName() != u"QODBC") {
        info.dbms = sql::DbmsOf(db.driverName());
        info.name = NameOf(info.dbms);
        return info;
    }
    info.name = OdbcDbmsName(db);
    info.dbms = db.driver() ? FromQtType(db.driver()->dbmsType()) : sql::Dbms::Unknown;
    if (info.dbms == sql::Dbms::Unknown)
        info.dbms = sql::DbmsOf(info.name);
    if (info.name.isEmpty())
        info.name = NameOf(info.dbms);
    return info;
}

#ifdef ZQ_HAVE_ODBC_API

QString OdbcDbmsName(const QSqlDatabase& db)
{
    if (!db.isOpen() || db.driverName() != u"QODBC" || !db.driver())
        return {};
    // QODBC hands out its connection handle (an SQLHDBC) inside the variant.
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || !handle.data())
        return {};
    const SQLHDBC connection = *static_cast<const SQLHDBC*>(handle.data());
    if (!connection)
        return {};
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN result = SQLGetInfo(connection, SQL_DBMS_NAME, name, SQLSMALLINT(sizeof name), &length);
    if (!SQL_SUCCEEDED(result))
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(name)).trimmed();
}

QStringList InstalledOdbcDrivers()
{
    QStringList drivers;
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return drivers;
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR description[512];
    SQLCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDrivers(environment, direction, description, SQLSMALLINT(sizeof description),
                                    &descriptionLength, attributes, SQLSMALLINT(sizeof attributes), &attributesLength))) {
        drivers.append(QString::fromUtf8(reinterpret_cast<const char*>(description)));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return drivers;
}

#else

QString OdbcDbmsName(const QSqlDatabase&)
{
    return {};
}

QStringList InstalledOdbcDrivers()
{
    return {};
}

#endif

} // namespace zq::db
