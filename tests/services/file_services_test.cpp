// Blob extraction from the database and file viewing: what is written where, and what is not.
#include "CallLog.h"
#include "ServiceTest.h"
#include "FileServices.h"
#include "LocalTarget.h"
#include "RecordingDesktop.h"
#include "SeededHome.h"
#include "ZQPDMFC.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FileServicesTest : public test::ServiceTest {};

const char* const kResourceSql =
    "SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='R-DJ-01' AND DocType='Y系列电机样本'";
const char* const kOrderSql =
    "SELECT DocSaved, DocContent FROM ECORelateFile WHERE ECOGroup='修改单' AND ECONo='XG2026-001' AND DocType='_ZQ_ECO'";

TEST_P(FileServicesTest, PopFileFromDbWritesTheBlobOnlyInsideTheTemporaryOrWorkingFolder)
{
    const QByteArray resource = ReadFile(home().storeDir() + QStringLiteral("/Zq/Resource/R-DJ-01/Y系列电机样本.pdf"));
    ASSERT_FALSE(resource.isEmpty());
    struct Case {
        const char* sql;
        QString requested;
        QString written;   // "" when nothing may be written
    };
    const Case cases[] = {
        {kResourceSql, TempFolder() + QStringLiteral("Y系列电机样本.pdf"), TempFolder() + QStringLiteral("Y系列电机样本.pdf")},
        {kOrderSql, WorkingFolder() + QStringLiteral("MXG2026-001_ECO.tbl"), WorkingFolder() + QStringLiteral("MXG2026-001_ECO.tbl")},
        // Relative or suspicious paths: only the file name is used, in the temporary folder.
        {kResourceSql, QStringLiteral("sub/relative.pdf"), TempFolder() + QStringLiteral("relative.pdf")},
        {kResourceSql, QStringLiteral("/usr/zq-outside.pdf"), TempFolder() + QStringLiteral("zq-outside.pdf")},
        {kResourceSql, TempFolder() + QStringLiteral("../climbed.pdf"), TempFolder() + QStringLiteral("climbed.pdf")},
        {kResourceSql, TempFolder() + QStringLiteral("..\\..\\back.pdf"), TempFolder() + QStringLiteral("back.pdf")},
        // The blob column not named in the statement: the first binary field.
        {"SELECT * FROM EngineerViewDoc WHERE ItemCode='R-DJ-01'", TempFolder() + QStringLiteral("star.pdf"),
         TempFolder() + QStringLiteral("star.pdf")},
        // Failures write nothing.
        {"SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='none'", TempFolder() + QStringLiteral("none.pdf"), {}},
        {"SELECT DocSaved, NULL AS DocContent FROM EngineerViewDoc", TempFolder() + QStringLiteral("null.pdf"), {}},
        {kResourceSql, TempFolder() + QStringLiteral(".."), {}},
    };
    for (const Case& c : cases) {
        CZQSaveFileToDB db;
        const QString result = db.PopFileFromDB(QString::fromUtf8(c.sql), c.requested, QStringLiteral("DocContent"),
                                                QStringLiteral("pdm"));
        EXPECT_EQ(str(result), str(c.written)) << str(c.requested);
        if (!c.written.isEmpty()) {
            EXPECT_FALSE(ReadFile(c.written).isEmpty()) << str(c.written);
        }
    }
    EXPECT_EQ(ReadFile(TempFolder() + QStringLiteral("Y系列电机样本.pdf")), resource);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/usr/zq-outside.pdf")));
    EXPECT_FALSE(QFile::exists(home().path(QStringLiteral("climbed.pdf"))));
    EXPECT_FALSE(QFile::exists(TempFolder() + QStringLiteral("none.pdf")));
    EXPECT_FALSE(QFile::exists(TempFolder() + QStringLiteral("null.pdf")));
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(FileServicesTest, PopFileFromDbWithBadSqlReportsItAndKeepsTheOldFile)
{
    const QString path = TempFolder() + QStringLiteral("old.pdf");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    CZQSaveFileToDB db;
    EXPECT_EQ(db.PopFileFromDB(QStringLiteral("SELECT DocContent FROM NoSuchTable"), path, QStringLiteral("DocContent"),
                               QStringLiteral("pdm")),
              QString());
    EXPECT_EQ(ReadFile(path), QByteArray("old"));
    EXPECT_EQ(desktop.messages().size(), 1);
    // A successful fetch replaces it.
    EXPECT_EQ(db.PopFileFromDB(QString::fromUtf8(kResourceSql), path, QStringLiteral("DocContent"), QStringLiteral("pdm")), path);
    EXPECT_TRUE(ReadFile(path).startsWith("%PDF-"));
    EXPECT_EQ(QDir(TempFolder()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("old.pdf")).size(), 1)
        << "no temporary file is left next to it";
}

TEST_P(FileServicesTest, SafeLocalPathTable)
{
    const struct {
        QString requested;
        QString expected;
    } cases[] = {
        {TempFolder() + QStringLiteral("a.dwg"), TempFolder() + QStringLiteral("a.dwg")},
        {TempFolder() + QStringLiteral("sub/a.dwg"), TempFolder() + QStringLiteral("sub/a.dwg")},
        {WorkingFolder() + QStringLiteral("Mx_ECO.tbl"), WorkingFolder() + QStringLiteral("Mx_ECO.tbl")},
        {QStringLiteral("a.dwg"), TempFolder() + QStringLiteral("a.dwg")},
        {QStringLiteral("/etc/passwd"), TempFolder() + QStringLiteral("passwd")},
        {QStringLiteral("C:\\Temp\\a.dwg"), TempFolder() + QStringLiteral("a.dwg")},
        {TempFolder() + QStringLiteral("x/../../a.dwg"), TempFolder() + QStringLiteral("a.dwg")},
        {QString(), QString()},
        {TempFolder(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(str(svc::SafeLocalPath(c.requested)), str(c.expected)) << str(c.requested);
}

TEST_P(FileServicesTest, BrowseFileOpensThroughTheShell)
{
    CCommonBrowserTool browser;
    browser.BrowseFile(QStringLiteral("/tmp/a.dwg"), 0);
    const auto opened = desktop.eventsOf(QStringLiteral("OPEN"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().fields.value(0), QStringLiteral("/tmp/a.dwg"));
    ASSERT_EQ(CallLog::Calls().size(), 1);
    EXPECT_EQ(CallLog::Calls().first().args, (QStringList{QStringLiteral("/tmp/a.dwg"), QStringLiteral("0")}));
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(FileServicesTest, AFileNoProgramOpensIsToldWithItsFullPath)
{
    desktop.canOpen = [](const QString&) { return false; };
    const QString path = TempFolder() + QStringLiteral("减速器装配图.dwg");
    CCommonBrowserTool().BrowseFile(path, 0);
    EXPECT_EQ(desktop.eventsOf(QStringLiteral("OPEN")).size(), 1);
    ASSERT_EQ(desktop.messages().size(), 1);
    EXPECT_TRUE(desktop.messages().first().contains(path)) << str(desktop.messages().first());
}

TEST_P(FileServicesTest, FetchedFilesAreTheUsersOwnAndReplaceALinkAtTheirName)
{
    // Someone plants a link at the name a fetched file will get, pointing at a file of theirs.
    QTemporaryDir outside;
    const QString victim = outside.filePath(QStringLiteral("victim.txt"));
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("untouched");
    }
    const QString path = TempFolder() + QStringLiteral("Y系列电机样本.pdf");
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(victim, path));
    EXPECT_EQ(CZQSaveFileToDB().PopFileFromDB(QString::fromUtf8(kResourceSql), path, QStringLiteral("DocContent"),
                                              QStringLiteral("pdm")),
              path);
    EXPECT_EQ(ReadFile(victim), QByteArray("untouched"));
    const QFileInfo fetched(path);
    EXPECT_FALSE(fetched.isSymLink());
    EXPECT_TRUE(ReadFile(path).startsWith("%PDF-"));
    EXPECT_EQ(fetched.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                       QFileDevice::WriteOther),
              QFileDevice::Permissions());
    EXPECT_TRUE(QFileInfo(TempFolder()).permissions().testFlag(QFileDevice::ExeOwner));
    EXPECT_FALSE(QFileInfo(TempFolder()).permissions().testFlag(QFileDevice::ExeOther));
}

INSTANTIATE_TEST_SUITE_P(Engines, FileServicesTest, ::testing::ValuesIn(test::EngineNames()));

} // namespace
