// Connections that go wrong under the component: a database path that is no database file, and
// a PostgreSQL server that ends the sessions between two statements or in the middle of a read.
#include "DbTestSupport.h"
#include "PgServerFaults.h"
#include "SeededHome.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

using namespace zq;

namespace {

TEST(DatabasePath, WhatIsNoDatabaseFileSaysSo)
{
    dbtest::app();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder.db"));
    const QString pipe = dir.filePath(QStringLiteral("pipe.db"));
    const QString text = dir.filePath(QStringLiteral("text.db"));
    const QString linkToFolder = dir.filePath(QStringLiteral("link.db"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);   // opening it would wait for a writer
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[产品属性]\r\n标题其他1=重量\r\n");
    }
    ASSERT_TRUE(QFile::link(folder, linkToFolder));
    const struct {
        QString path;
        const char* message;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.db")), "数据库文件不存在: "},
        {folder, "数据库路径是一个文件夹，不是数据库文件: "},
        {linkToFolder, "数据库路径是一个文件夹，不是数据库文件: "},
        {QStringLiteral("/dev/null"), "数据库路径不是数据库文件 (设备、管道或套接字): "},
        {pipe, "数据库路径不是数据库文件 (设备、管道或套接字): "},
        {text, "文件不是 SQLite 数据库文件: "},
    };
    // The same file named directly or through the SQLite ODBC driver.
    for (const QString& prefix : {QStringLiteral("sqlite:"), QStringLiteral("odbc:Driver={SQLite3};Database=")}) {
        for (const auto& c : cases) {
            CZQDBConnect connect(prefix + c.path);
            EXPECT_FALSE(connect.ConnectPDM()) << (prefix + c.path).toStdString();
            EXPECT_TRUE(connect.LastError().endsWith(QString::fromUtf8(c.message) + c.path))
                << connect.LastError().toStdString();
            EXPECT_THROW(connect.GetSelectItemData(QStringLiteral("SELECT 1")), _com_error);
        }
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());   // nothing was created or replaced
    EXPECT_EQ(QFileInfo(text).size(), QByteArray("[产品属性]\r\n标题其他1=重量\r\n").size());
}

// A fresh PostgreSQL database with 1,000 rows, and the component connected to it.
class EndedSessions : public testing::Test {
protected:
    void SetUp() override
    {
        dbtest::app();
        if (!test::PgTestDatabase::Available())
            GTEST_SKIP() << "ZQ_TEST_PG not set";
        ASSERT_TRUE(m_pg.ok()) << m_pg.error().toStdString();
        {
            CZQDBConnect setup(m_pg.url());
            ASSERT_TRUE(setup.ConnectPDM()) << setup.LastError().toStdString();
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("ended-setup"));
            const QUrl url(m_pg.url());
            admin.setHostName(url.host());
            admin.setPort(url.port());
            admin.setUserName(url.userName());
            admin.setDatabaseName(url.path().mid(1));
            ASSERT_TRUE(admin.open());
            QSqlQuery q(admin);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE Part (Code TEXT)")));
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO Part SELECT 'P' || lpad(n::text, 4, '0') FROM generate_series(0, 999) n")));
            admin.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("ended-setup"));
        ASSERT_TRUE(m_connect.ConnectPDM()) << m_connect.LastError().toStdString();
    }
    void EndSessions()
    {
        QString error;
        ASSERT_GE(test::EndDatabaseSessions(m_pg.url(), &error), 1) << error.toStdString();
    }
    int ReadAll(const QString& sql)
    {
        Recordset rs;
        rs.Open(sql, m_connect.GetPtrPDM());
        int rows = 0;
        for (; !rs.IsEOF(); rs.MoveNext())
            ++rows;
        return rows;
    }

    test::PgTestDatabase m_pg;
    CZQDBConnect m_connect{m_pg.url()};
};

TEST_F(EndedSessions, TheNextStatementConnectsAnew)
{
    EXPECT_EQ(m_connect.GetSelectItemData(QStringLiteral("SELECT count(*) FROM Part")), QStringLiteral("1000"));
    EXPECT_EQ(ReadAll(QStringLiteral("SELECT Code FROM Part")), 1000);
    EndSessions();
    EXPECT_EQ(m_connect.GetSelectItemData(QStringLiteral("SELECT count(*) FROM Part")), QStringLiteral("1000"));
    EndSessions();
    EXPECT_EQ(ReadAll(QStringLiteral("SELECT Code FROM Part")), 1000);
    // A statement that fails on a live connection is not run again.
    EXPECT_THROW(m_connect.GetSelectItemData(QStringLiteral("SELECT nothing FROM Part")), _com_error);
}

TEST_F(EndedSessions, AReadCutShortKeepsItsRowsAndFailsOnce)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Code FROM Part ORDER BY Code"), m_connect.GetPtrPDM());
    QStringList read;
    int failures = 0;
    try {
        for (; !rs.IsEOF(); rs.MoveNext()) {
            read << rs.GetFieldText(0);
            if (read.size() == 10)
                EndSessions();
        }
    } catch (const _com_error&) {
        ++failures;
    }
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(rs.IsEOF());
    // The rows read before the failure are whole and in order; the read ended well before the end.
    ASSERT_GE(read.size(), 10);
    EXPECT_LT(read.size(), 1000);
    for (int i = 0; i < read.size(); ++i)
        EXPECT_EQ(read[i], QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0')));
    EXPECT_EQ(ReadAll(QStringLiteral("SELECT Code FROM Part")), 1000);
}

TEST(StoppedServer, SaysSoAndConnectsAgainOnceItIsBack)
{
    dbtest::app();
    if (!test::PrivatePgServer::Available())
        GTEST_SKIP() << "no PostgreSQL server programs";
    test::PrivatePgServer server;
    ASSERT_TRUE(server.ok()) << server.error().toStdString();
    ASSERT_TRUE(server.createDatabase(QStringLiteral("pdm"))) << server.error().toStdString();
    CZQDBConnect connect(server.url(QStringLiteral("pdm")));
    ASSERT_TRUE(connect.ConnectPDM()) << connect.LastError().toStdString();
    EXPECT_EQ(connect.GetSelectItemData(QStringLiteral("SELECT 40 + 2")), QStringLiteral("42"));

    ASSERT_TRUE(server.stop()) << server.error().toStdString();
    try {
        connect.GetSelectItemData(QStringLiteral("SELECT 40 + 2"));
        ADD_FAILURE() << "a statement ran without a server";
    } catch (const _com_error& e) {
        EXPECT_TRUE(e.Description().startsWith(QStringLiteral("与数据库服务器的连接已断开，重新连接失败: ")))
            << e.Description().toStdString();
    }

    ASSERT_TRUE(server.start()) << server.error().toStdString();
    EXPECT_EQ(connect.GetSelectItemData(QStringLiteral("SELECT 40 + 2")), QStringLiteral("42"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT generate_series(1, 300)"), connect.GetPtrPDM());
    int rows = 0;
    for (; !rs.IsEOF(); rs.MoveNext())
        ++rows;
    EXPECT_EQ(rows, 300);
}

} // namespace
