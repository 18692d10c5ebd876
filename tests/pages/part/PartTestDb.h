#pragma once
// Small part databases for the design-part tests: the PDM schema of the demo seeder with rows the
// test adds, on SQLite and (when ZQ_TEST_PG is set) on a fresh PostgreSQL database; the
// installation folder, the connection as the current one and a scripted Desktop for the test.
#include "CallLog.h"
#include "Schema.h"
#include "ScriptedDesktop.h"
#include "ZQDBConnect.h"

#include <QApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace parttest {

// The application object of a test binary, created before the first test and destroyed after
// the last one, while the database drivers' own state still exists.
class AppEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        if (QApplication::instance())
            return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[10] = "part_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

// gtest owns the environment.
inline testing::Environment* const kAppEnvironment = testing::AddGlobalTestEnvironment(new AppEnvironment);

inline void EnsureApp()
{
    ASSERT_NE(QApplication::instance(), nullptr);
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

enum class Engine { Sqlite, Postgres };
inline std::string EngineName(const testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

// One part-list line: product, parent code, own code, name and the searchable fields.
struct Line {
    QString product, up, code, name;
    QString material = {}, spec = {}, other2 = {};
};

class PartDatabase : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        EnsureApp();
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("home/rnds/spt"));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_HOME", HomeFolder().toLocal8Bit()));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_OLDCODE", "0"));
        if (GetParam() == Engine::Sqlite) {
            m_url = QStringLiteral("sqlite:") + m_dir.path() + QStringLiteral("/pdm.db");
        } else {
            if (qEnvironmentVariable("ZQ_TEST_PG").isEmpty())
                GTEST_SKIP() << "ZQ_TEST_PG not set";
            ASSERT_NO_FATAL_FAILURE(CreatePostgresDatabase());
        }
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_DB", m_url.toLocal8Bit()));
        ASSERT_NO_FATAL_FAILURE(CreateTables());

        m_connection = std::make_unique<zq::CZQDBConnect>(m_url);
        ASSERT_TRUE(m_connection->Init());
        ASSERT_TRUE(m_connection->ConnectPDM()) << m_connection->LastError().toStdString();
        zq::CZQDBConnect::SetCurDBConnect(m_connection.get());
        m_scoped = std::make_unique<zq::ScopedDesktop>(desktop);
        desktop.fixedNow = QDateTime(QDate(2005, 3, 31), QTime(12, 0));
        zq::CallLog::Clear();
    }

    void TearDown() override
    {
        zq::SetSqlTraceListener({});
        m_scoped.reset();
        zq::CZQDBConnect::SetCurDBConnect(nullptr);
        m_connection.reset();
        {
            QSqlDatabase own = QSqlDatabase::database(OwnName(), false);
            own.close();
        }
        QSqlDatabase::removeDatabase(OwnName());
        if (!m_pgDatabase.isEmpty())
            DropPostgresDatabase();
        m_env.clear();
    }

    QString HomeFolder() const { return m_dir.path() + QStringLiteral("/home/"); }

    // Runs one statement on the test database, outside the module's connection.
    void Exec(const QString& sql)
    {
        QSqlQuery q(Own());
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " " << sql.toStdString();
    }

    void Insert(const QString& table, const QStringList& columns, const QVariantList& values)
    {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        QSqlQuery q(Own());
        ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO ") + table + " (" + columns.join(", ") + ") VALUES (" +
                              marks.join(", ") + ")"))
            << q.lastError().text().toStdString();
        for (const QVariant& v : values)
            q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    void AddLines(const std::vector<Line>& lines)
    {
        QSqlDatabase db = Own();
        db.transaction();
        QSqlQuery q(db);
        ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO ZqlomiraAll_detail (ProductDwgCode, UpCode, Dcode, Dname, "
                                             "Dmaterial, Dstand, Dother2) VALUES (?, ?, ?, ?, ?, ?, ?)")));
        for (const Line& l : lines) {
            for (const QString& v : {l.product, l.up, l.code, l.name, l.material, l.spec, l.other2})
                q.addBindValue(v.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v));
            ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
        }
        db.commit();
    }

    void AddTitle(const QString& code, const QString& name, const QString& product, const QString& time,
                  const QString& other4 = QString(), const QString& material = QString())
    {
        Insert(QStringLiteral("ZqlomiraAll_title"),
               {"Tcode", "Tname", "ProductDwgCode", "Ttime", "TOther4", "Tmaterial"},
               {code, name, product, time, other4, material});
    }

    void AddProduct(const QString& code, const QString& name)
    {
        Insert(QStringLiteral("Product"), {"ProductDwgCode", "ProductName"}, {code, name});
    }

    zq::ScriptedDesktop desktop;

private:
    QString OwnName() const { return QStringLiteral("part_test_own"); }

    zq::seed::Engine SeedEngine() const
    {
        return GetParam() == Engine::Sqlite ? zq::seed::Engine::Sqlite : zq::seed::Engine::Postgres;
    }

    QSqlDatabase Connect(const QString& name, const QString& database)
    {
        if (GetParam() == Engine::Sqlite) {
            QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name)
                                                           : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_dir.path() + QStringLiteral("/pdm.db"));
            db.open();
            return db;
        }
        const QUrl url(qEnvironmentVariable("ZQ_TEST_PG"));
        QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name)
                                                       : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(database.isEmpty() ? url.path().mid(1) : database);
        db.open();
        return db;
    }

    QSqlDatabase Own() { return Connect(OwnName(), m_pgDatabase); }

    void CreatePostgresDatabase()
    {
        static int counter = 0;
        m_pgDatabase = QStringLiteral("part_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        {
            QSqlDatabase admin = Connect(QStringLiteral("part_test_admin"), QString());
            ASSERT_TRUE(admin.isOpen()) << admin.lastError().text().toStdString();
            QSqlQuery q(admin);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE DATABASE ") + m_pgDatabase)) << q.lastError().text().toStdString();
        }
        QUrl url(qEnvironmentVariable("ZQ_TEST_PG"));
        url.setPath(QStringLiteral("/") + m_pgDatabase);
        m_url = url.toString();
    }

    void DropPostgresDatabase()
    {
        {
            QSqlDatabase admin = Connect(QStringLiteral("part_test_admin"), QString());
            QSqlQuery q(admin);
            q.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_pgDatabase);
            admin.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("part_test_admin"));
        m_pgDatabase.clear();
    }

    void CreateTables()
    {
        for (const char* name : {"ZqlomiraAll_title", "ZqlomiraAll_detail", "PartAttribute", "Product"}) {
            const zq::seed::Table* table = zq::seed::FindTable(QString::fromLatin1(name));
            ASSERT_NE(table, nullptr) << name;
            QSqlQuery q(Own());
            ASSERT_TRUE(q.exec(zq::seed::CreateTableSql(*table, SeedEngine()))) << q.lastError().text().toStdString();
            for (const QString& index : zq::seed::CreateIndexSql(*table, SeedEngine()))
                ASSERT_TRUE(q.exec(index)) << q.lastError().text().toStdString();
        }
    }

    QTemporaryDir m_dir;
    QString m_url;
    QString m_pgDatabase;
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
    std::unique_ptr<zq::CZQDBConnect> m_connection;
    std::unique_ptr<zq::ScopedDesktop> m_scoped;
};

} // namespace parttest
