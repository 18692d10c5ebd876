#pragma once
// A small change-order database for the page tests, on every engine of zq::test::EngineNames(),
// with the installation, system, working folder and user set for the test, the connection
// installed as the current one and a scripted Desktop.
#include "CallLog.h"
#include "SeededHome.h"
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

namespace ecotest {

using zq::test::ScopedEnv;

inline std::string EngineName(const testing::TestParamInfo<const char*>& info)
{
    return zq::test::EngineTestName(info.param);
}

// Rows of the demo change orders, in insertion order.
struct OrderRow {
    const char* number;
    const char* subject;
    const char* author;
    const char* date;
    const char* state;
};
inline const OrderRow kOrders[] = {
    {"E-001", "轴承座改型", "张三", "2005-03-05 09:00:00", "正式"},
    {"E-002", "齿轮材料变更", "李四", "2005-03-10 10:00:00", "临时"},
    {"E-003", "O'Brien的支架", "张三", "2005-03-31 18:00:00", "评审"},
    {"E-004", "二月旧单", "王五", "2005-02-20 09:00:00", "完成"},
    {"E/005", "斜杠单号", "李四", "2005-03-01 08:00:00", "正式"},
};
inline const QByteArray kOrderFile = QByteArrayLiteral("ECO E-001\r\n\x01\x02 binary tail");
inline const QByteArray kSlashFile = QByteArrayLiteral("ECO E/005");

class EcoDatabase : public testing::TestWithParam<const char*> {
protected:
    EcoDatabase() { zq::test::EnsureApp(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("home/rnds/spt"));
        QDir(m_dir.path()).mkpath(QStringLiteral("sys"));
        QDir(m_dir.path()).mkpath(QStringLiteral("work"));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_HOME", m_dir.path() + "/home"));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_SYSDIR", m_dir.path() + "/sys"));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_WORKDIR", m_dir.path() + "/work/"));
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_USER", QStringLiteral("zhangsan")));

        m_database = std::make_unique<zq::test::EngineDatabase>(QString::fromLatin1(GetParam()), m_dir.path());
        if (!m_database->unavailable().isEmpty())
            GTEST_SKIP() << m_database->unavailable().toStdString();
        ASSERT_TRUE(m_database->ok()) << m_database->error().toStdString();
        m_url = m_database->url();
        {
            QSqlDatabase db = m_database->OpenNative(kSeedConnection);
            ASSERT_TRUE(db.isOpen()) << db.lastError().text().toStdString();
        }
        m_env.push_back(std::make_unique<ScopedEnv>("ZQPDM_DB", m_url));
        ASSERT_NO_FATAL_FAILURE(Seed());
        QSqlDatabase::database(kSeedConnection).close();
        QSqlDatabase::removeDatabase(kSeedConnection);

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
        m_scoped.reset();
        zq::CZQDBConnect::SetCurDBConnect(nullptr);
        m_connection.reset();
        if (QSqlDatabase::contains(kExecConnection))
            QSqlDatabase::database(kExecConnection).close();
        QSqlDatabase::removeDatabase(kExecConnection);
        m_database.reset();
        m_env.clear();
    }

    // Runs one statement on the test database (outside the module's connection).
    void Exec(const QString& sql)
    {
        QSqlDatabase db = QSqlDatabase::contains(kExecConnection) ? QSqlDatabase::database(kExecConnection)
                                                                  : m_database->OpenNative(kExecConnection);
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    }

    QString WorkFolder() const { return m_dir.path() + "/work/"; }
    QString HomeFolder() const { return m_dir.path() + "/home/"; }
    QString SysFolder() const { return m_dir.path() + "/sys/"; }
    // PostgreSQL returns rows in an order of its own where the statement names none.
    bool OnPostgres() const { return zq::test::UsesPostgres(QString::fromLatin1(GetParam())); }

    zq::ScriptedDesktop desktop;

private:
    static constexpr const char* kSeedConnection = "eco_test_seed";
    static constexpr const char* kExecConnection = "eco_test_exec";

    zq::seed::Engine SeedEngine() const
    {
        return OnPostgres() ? zq::seed::Engine::Postgres : zq::seed::Engine::Sqlite;
    }

    void Insert(QSqlDatabase& db, const QString& table, const QStringList& columns, const QVariantList& values)
    {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << "?";
        QSqlQuery q(db);
        ASSERT_TRUE(q.prepare("INSERT INTO " + table + " (" + columns.join(", ") + ") VALUES (" + marks.join(", ") + ")"))
            << q.lastError().text().toStdString();
        for (const QVariant& v : values)
            q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    void Seed()
    {
        QSqlDatabase db = QSqlDatabase::database(kSeedConnection);
        ASSERT_TRUE(db.isOpen());
        ASSERT_TRUE(db.transaction());
        for (const char* name : {"ECOModifyManage", "ECOModifyPart", "ECOHandout", "ECORelateFile", "ZqlomiraAll_title",
                                 "ZqlomiraAll_detail", "ZqUser", "ZqDepartment"}) {
            const zq::seed::Table* table = zq::seed::FindTable(QString::fromLatin1(name));
            ASSERT_NE(table, nullptr) << name;
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(zq::seed::CreateTableSql(*table, SeedEngine()))) << q.lastError().text().toStdString();
        }
        const QString group = QStringLiteral("修改单");
        for (const OrderRow& o : kOrders)
            Insert(db, "ECOModifyManage", {"ECONo", "ECOGroup", "Remark", "SaveUser", "SaveDate", "State"},
                   {o.number, group, o.subject, o.author, o.date, o.state});
        const QVariant null;
        const struct { const char* order; const char* part; QVariant result; } parts[] = {
            {"E-001", "A1-100", "报废"}, {"E-001", "A1-200", "返修"}, {"E-002", "B2-300", "返修后使用"},
            {"E-003", "A1-100", null},   {"E-004", "C3-400", "报废"},
        };
        for (const auto& p : parts)
            Insert(db, "ECOModifyPart", {"ECONo", "PartCode", "Result"}, {p.order, p.part, p.result});
        const struct { const char* order; const char* group; const char* department; } handouts[] = {
            {"E-001", "修改单", "一车间"}, {"E-002", "修改单", "  二车间"}, {"E-003", "修改单", "O'Brien部"},
            {"E-004", "修改单", "一车间"}, {"E-002", "其他单", "三车间"},
        };
        for (const auto& h : handouts)
            Insert(db, "ECOHandout", {"ECONo", "ECOGroup", "Enpartment"}, {h.order, h.group, h.department});
        const QStringList fileColumns{"ECOGroup", "ECONo", "DocType", "FileName", "FileBulk", "DocSaved", "DocContent"};
        Insert(db, "ECORelateFile", fileColumns, {group, "E-001", "_ZQ_ECO", "E-001.tbl", 1, 1, kOrderFile});
        Insert(db, "ECORelateFile", fileColumns, {group, "E/005", "_ZQ_ECO", "E005.tbl", 1, 1, kSlashFile});
        // A size without stored content: the fetch fails.
        Insert(db, "ECORelateFile", fileColumns, {group, "E-003", "_ZQ_ECO", "E-003.tbl", 1, 0, QVariant(QMetaType(QMetaType::QByteArray))});
        // Another kind of document of E-002: not the order's file.
        Insert(db, "ECORelateFile", fileColumns, {group, "E-002", "_OTHER", "x.doc", 1, 1, QByteArray("x")});

        const QStringList titleColumns{"Tcode", "Tname", "ProductDwgCode", "Tother1", "Tother2", "Tother3", "Tother4", "Tother5"};
        Insert(db, "ZqlomiraAll_title", titleColumns, {"A1-100", "轴承座", "P1", "OLD-1", "", "x", "影响一", "x"});
        Insert(db, "ZqlomiraAll_title", titleColumns, {"A1-200", "轴", "P1", "x", "x", "OLD-3", "影响二", "x"});
        Insert(db, "ZqlomiraAll_title", titleColumns, {"B2-300", "齿轮", "P2", "x", "x", "x", "影响三", "O'L"});
        Insert(db, "ZqlomiraAll_title", titleColumns, {"C3-400", "螺栓", "P2", "x", "x", "x", "", "x"});
        Insert(db, "ZqlomiraAll_title", titleColumns, {"X9-900", "无关", "P3", "x", "x", "x", "", "x"});
        const QStringList detailColumns{"Dcode", "UpCode", "Upname", "ProductDwgCode", "Dother2"};
        Insert(db, "ZqlomiraAll_detail", detailColumns, {"A1-100", "A1", "总成一", "P1", "装配"});
        Insert(db, "ZqlomiraAll_detail", detailColumns, {"A1-100", "A1", "总成一", "P2", "装配"});
        Insert(db, "ZqlomiraAll_detail", detailColumns, {"A1-200", "A1", "总成一", "P1", "装配"});
        Insert(db, "ZqlomiraAll_detail", detailColumns, {"B2-300", "B2", "总成二", "P2", "传动"});
        Insert(db, "ZqlomiraAll_detail", detailColumns, {"X9-900", "X9", "无关件", "P3", ""});

        Insert(db, "ZqUser", {"LogName", "UserName", "Department"}, {"zhangsan", "张三", "一车间"});
        Insert(db, "ZqUser", {"LogName", "UserName", "Department"}, {"lisi", "李四", "二车间"});
        int n = 0;
        for (const char* name : {"一车间", "二车间", "三车间", "Dept A"})
            Insert(db, "ZqDepartment", {"DeptNo", "Name"}, {++n, QString::fromUtf8(name)});
        ASSERT_TRUE(db.commit());
    }

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
    QString m_url;
    std::unique_ptr<zq::test::EngineDatabase> m_database;
    std::unique_ptr<zq::CZQDBConnect> m_connection;
    std::unique_ptr<zq::ScopedDesktop> m_scoped;
};

} // namespace ecotest
