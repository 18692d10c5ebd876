#pragma once
// Small part databases for the design-part tests: the PDM schema of the demo seeder with rows the
// test adds, on every engine of zq::test::EngineNames(); the installation folder, the connection
// as the current one and a scripted Desktop for the test.
#include "CallLog.h"
#include "Schema.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQDBConnect.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace parttest {

inline std::string EngineName(const testing::TestParamInfo<const char*>& info)
{
    return zq::test::EngineTestName(info.param);
}

using ScopedEnv = zq::test::ScopedEnv;

// One part-list line: product, parent code, own code, name and the searchable fields.
struct Line {
    QString product, up, code, name;
    QString material = {}, standard = {}, other2 = {};
};

class PartDatabase : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        zq::test::EnsureApp();
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("home/rnds/spt"));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_HOME", HomeFolder()));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_OLDCODE", QStringLiteral("0")));
        m_database = std::make_unique<zq::test::EngineDatabase>(QString::fromLatin1(GetParam()), m_dir.path());
        if (!m_database->unavailable().isEmpty())
            GTEST_SKIP() << m_database->unavailable().toStdString();
        ASSERT_TRUE(m_database->ok()) << m_database->error().toStdString();
        m_url = m_database->url();
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_DB", m_url));
        ASSERT_NO_FATAL_FAILURE(CreateTables());

        m_current = std::make_unique<zq::test::ScopedCurrentDatabase>(m_url);
        ASSERT_TRUE(m_current->ok()) << m_current->error().toStdString();
        m_scoped = std::make_unique<zq::ScopedDesktop>(desktop);
        desktop.fixedNow = QDateTime(QDate(2005, 3, 31), QTime(12, 0));
        zq::CallLog::Clear();
    }

    void TearDown() override
    {
        zq::SetSqlTraceListener({});
        m_scoped.reset();
        m_current.reset();
        QSqlDatabase::database(OwnName(), false).close();
        QSqlDatabase::removeDatabase(OwnName());
        m_database.reset();
        m_env.clear();
    }

    QString HomeFolder() const { return m_dir.path() + QStringLiteral("/home/"); }

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
            for (const QString& v : {l.product, l.up, l.code, l.name, l.material, l.standard, l.other2})
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
        return m_database->onPostgres() ? zq::seed::Engine::Postgres : zq::seed::Engine::Sqlite;
    }

    QSqlDatabase Own()
    {
        if (QSqlDatabase::contains(OwnName()))
            return QSqlDatabase::database(OwnName());
        QSqlDatabase db = m_database->OpenNative(OwnName());
        EXPECT_TRUE(db.isOpen()) << db.lastError().text().toStdString();
        return db;
    }

    void CreateTables()
    {
        for (const char* name : {"ZqlomiraAll_title", "ZqlomiraAll_detail", "PartAttribute", "Product",
                                  "ZqOrderProduct_title", "ZqOrderProduct_detail"}) {
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
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
    std::unique_ptr<zq::test::EngineDatabase> m_database;
    std::unique_ptr<zq::test::ScopedCurrentDatabase> m_current;
    std::unique_ptr<zq::ScopedDesktop> m_scoped;
};

} // namespace parttest
