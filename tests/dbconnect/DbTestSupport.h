#pragma once
// Scratch databases for the database tests: a temporary SQLite file always, and a private
// schema on the PostgreSQL test server when ZQ_TEST_PG names one; each also through ODBC
// where the driver is installed.
#include "TestApplication.h"
#include "TestEngines.h"
#include "ZQDBConnect.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <gtest/gtest.h>
#include <memory>

namespace dbtest {

inline void app()
{
    zq::test::EnsureApp();
}

inline QString PostgresServer()
{
    return qEnvironmentVariable("ZQ_TEST_PG");
}

// One database of our own with the small schema below, dropped again at the end.
//   Part(Code, Name, ProductCode, Qty, SaveDate): 1,000 rows P0000 … P0999, "零件<n>", PR<n mod 12>, n
//   Product(ProductDwgCode, ProductName): PR00 … PR09 "产品<k>" (PR10, PR11 missing), PRX "D:\zq\x"
class ScratchDatabase {
public:
    // One of zq::test::EngineNames(); null when the engine is not available here (*skipReason says why).
    static std::unique_ptr<ScratchDatabase> create(const std::string& engineName, QString* skipReason)
    {
        app();
        const QString engine = QString::fromStdString(engineName);
        *skipReason = zq::test::EngineUnavailable(engine);
        if (!skipReason->isEmpty())
            return nullptr;
        const bool odbc = zq::test::IsOdbcEngine(engine);
        std::unique_ptr<ScratchDatabase> db(new ScratchDatabase);
        if (!zq::test::UsesPostgres(engine)) {
            const QString path = db->m_dir.filePath(QStringLiteral("scratch.db"));
            db->m_url = odbc ? zq::test::OdbcSqliteUrl(path) : QStringLiteral("sqlite:") + path;
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db->m_admin);
            admin.setDatabaseName(path);
            if (!admin.open())
                ADD_FAILURE() << admin.lastError().text().toStdString();
        } else {
            const QString server = PostgresServer();
            db->m_schema = QStringLiteral("zqdb_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
            db->m_url = odbc ? zq::test::OdbcPostgresUrl(server, QStringLiteral("SET search_path TO ") + db->m_schema)
                             : server + (server.contains(u'?') ? u'&' : u'?') + QStringLiteral("options=-csearch_path%3D")
                                   + db->m_schema;
            const QUrl url(server);
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), db->m_admin);
            admin.setHostName(url.host());
            admin.setPort(url.port(5432));
            admin.setUserName(url.userName());
            admin.setPassword(url.password());
            admin.setDatabaseName(url.path().mid(1));
            if (!admin.open())
                ADD_FAILURE() << admin.lastError().text().toStdString();
            db->exec(QStringLiteral("SET client_min_messages TO warning"));
            db->exec(QStringLiteral("CREATE SCHEMA ") + db->m_schema);
            db->exec(QStringLiteral("SET search_path TO ") + db->m_schema);
        }
        db->seed();
        return db;
    }

    ~ScratchDatabase()
    {
        if (!m_schema.isEmpty())
            exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(m_schema));
        {
            QSqlDatabase admin = QSqlDatabase::database(m_admin, false);
            admin.close();
        }
        QSqlDatabase::removeDatabase(m_admin);
    }

    QString url() const { return m_url; }
    bool isPostgres() const { return !m_schema.isEmpty(); }

    void exec(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_admin, false));
        if (!q.exec(sql))
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }

private:
    ScratchDatabase() : m_admin(QStringLiteral("scratch-admin-") + QUuid::createUuid().toString(QUuid::Id128)) {}

    void seed()
    {
        exec(QStringLiteral("CREATE TABLE Part (Code TEXT, Name TEXT, ProductCode TEXT, Qty INTEGER, SaveDate TEXT)"));
        exec(QStringLiteral("CREATE TABLE Product (ProductDwgCode TEXT, ProductName TEXT)"));
        QSqlDatabase admin = QSqlDatabase::database(m_admin, false);
        admin.transaction();
        QSqlQuery insert(admin);
        insert.prepare(QStringLiteral("INSERT INTO Part VALUES (?, ?, ?, ?, ?)"));
        for (int n = 0; n < 1000; ++n) {
            insert.addBindValue(QStringLiteral("P%1").arg(n, 4, 10, QLatin1Char('0')));
            insert.addBindValue(QStringLiteral("零件%1").arg(n));
            insert.addBindValue(QStringLiteral("PR%1").arg(n % 12, 2, 10, QLatin1Char('0')));
            insert.addBindValue(n);
            insert.addBindValue(QStringLiteral("2024-01-%1 08:00:00").arg(n % 28 + 1, 2, 10, QLatin1Char('0')));
            if (!insert.exec())
                ADD_FAILURE() << insert.lastError().text().toStdString();
        }
        for (int k = 0; k < 10; ++k)
            exec(QStringLiteral("INSERT INTO Product VALUES ('PR%1', '产品%2')").arg(k, 2, 10, QLatin1Char('0')).arg(k));
        exec(QStringLiteral("INSERT INTO Product VALUES ('PRX', 'D:\\zq\\x')"));
        admin.commit();
    }

    QTemporaryDir m_dir;
    QString m_admin;
    QString m_url;
    QString m_schema;
};

// The engines every database test runs on.
inline std::vector<std::string> Engines()
{
    std::vector<std::string> names;
    for (const char* name : zq::test::EngineNames())
        names.emplace_back(name);
    return names;
}

} // namespace dbtest
