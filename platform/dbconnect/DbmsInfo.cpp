#include "DbmsInfo.h"

#include <QSqlDriver>
#include <QVariant>

#ifdef ZQ_HAVE_ODBC_API
#include "LateLibraries.h"
#include "LateLibrary.h"
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

namespace {

// unixODBC's functions, loaded when first asked (Qt's ODBC driver has loaded the library by then
// when a connection is open). Without them nothing more is known than Qt tells.
struct OdbcApi {
    decltype(&SQLGetInfo) getInfo = nullptr;
    decltype(&SQLAllocHandle) allocHandle = nullptr;
    decltype(&SQLSetEnvAttr) setEnvAttr = nullptr;
    decltype(&SQLDrivers) drivers = nullptr;
    decltype(&SQLFreeHandle) freeHandle = nullptr;
};

const OdbcApi* odbc()
{
    return LateFunctions<OdbcApi>(late::kOdbc, [](LateLibrary& library, OdbcApi& f) {
        return library.resolve(f.getInfo, "SQLGetInfo", f.allocHandle, "SQLAllocHandle", f.setEnvAttr, "SQLSetEnvAttr",
                               f.drivers, "SQLDrivers", f.freeHandle, "SQLFreeHandle");
    });
}

} // namespace

QString OdbcDbmsName(const QSqlDatabase& db)
{
    if (!db.isOpen() || db.driverName() != u"QODBC" || !db.driver())
        return {};
    // QODBC hands out its connection handle (an SQLHDBC) inside the variant.
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || !handle.data())
        return {};
    const SQLHDBC connection = *static_cast<const SQLHDBC*>(handle.data());
    const OdbcApi* api = odbc();
    if (!connection || !api)
        return {};
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN result = api->getInfo(connection, SQL_DBMS_NAME, name, SQLSMALLINT(sizeof name), &length);
    if (!SQL_SUCCEEDED(result))
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(name)).trimmed();
}

QStringList InstalledOdbcDrivers()
{
    QStringList drivers;
    const OdbcApi* api = odbc();
    SQLHENV environment = SQL_NULL_HENV;
    if (!api || !SQL_SUCCEEDED(api->allocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return drivers;
    api->setEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR description[512];
    SQLCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(api->drivers(environment, direction, description, SQLSMALLINT(sizeof description),
                                    &descriptionLength, attributes, SQLSMALLINT(sizeof attributes), &attributesLength))) {
        drivers.append(QString::fromUtf8(reinterpret_cast<const char*>(description)));
        direction = SQL_FETCH_NEXT;
    }
    api->freeHandle(SQL_HANDLE_ENV, environment);
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
