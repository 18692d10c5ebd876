// Opening stored design documents and resource files on the demo installation: each storage
// setting from a file:// store and from a real FTP server, database blobs, missing files, a
// refusing server, hostile file names and an earlier copy left in the temporary folder.
#include "CallLog.h"
#include "FileServices.h"
#include "FtpTestServer.h"
#include "GbkText.h"
#include "ServiceTest.h"
#include "StoredFileRetrieval.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace zq;
using namespace zq::doc;
using Outcome = StoredFileRetrieval::Outcome;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

DocumentRecord Design(const char* code1, const char* code2, const char* revision, const char* fileName)
{
    DocumentRecord r;
    r.SetField(RecordField::Code1, QString::fromUtf8(code1));
    r.SetField(RecordField::Code2, QString::fromUtf8(code2));
    r.SetField(RecordField::Revision, QString::fromUtf8(revision));
    r.SetField(RecordField::FileName, QString::fromUtf8(fileName));
    return r;
}

DocumentRecord Resource(const char* itemCode, const char* fileName)
{
    return Design("", itemCode, "", fileName);
}

enum class Kind { DesignDocument, ResourceFile };

struct OpenCase {
    const char* name;
    Kind kind;
    int setting;
    DocumentRecord record;
    const char* storePath;   // the file whose bytes must arrive; "" when nothing arrives
    Outcome outcome;
};

class RetrievalTest : public test::ServiceTest {
protected:
    QString Stored(const char* relative) { return home().storeDir() + QLatin1Char('/') + QString::fromUtf8(relative); }
    void SetSettings(const QString& design, const QString& resource)
    {
        const QString ini = home().path(QStringLiteral("rnds/spt/zqpdmcad.ini"));
        QString text = DecodeGbk(ReadFile(ini));
        text.replace(QRegularExpression(QStringLiteral("电子文档存储方式=[^\r\n]*")), QStringLiteral("电子文档存储方式=") + design);
        text.replace(QRegularExpression(QStringLiteral("资源文档存储方式=[^\r\n]*")), QStringLiteral("资源文档存储方式=") + resource);
        WriteFile(ini, EncodeGbk(text));
    }
    Outcome Open(const OpenCase& c, CZQSaveFileToFTP* pageStore)
    {
        StoredFileRetrieval retrieval(c.record);
        return c.kind == Kind::DesignDocument ? retrieval.OpenDesignDocument(c.setting, pageStore)
                                              : retrieval.OpenResourceFile(c.setting);
    }
    // Runs each case, checks what arrived, what was opened and what the user was told.
    void Run(const std::vector<OpenCase>& cases, CZQSaveFileToFTP* pageStore)
    {
        for (const OpenCase& c : cases) {
            CallLog::Clear();
            desktop.events.clear();
            const QString local = StoredFileRetrieval(c.record).LocalPath();
            EXPECT_EQ(Open(c, pageStore), c.outcome) << c.name;
            EXPECT_EQ(desktop.waitDepth, 0) << c.name;
            const QStringList opened = desktop.eventsOf(QStringLiteral("OPEN")).isEmpty()
                ? QStringList()
                : desktop.eventsOf(QStringLiteral("OPEN")).first().fields;
            const bool told = desktop.messages().contains(QStringLiteral("文件没有下载成功"));
            EXPECT_EQ(told, c.outcome == Outcome::NotFetched) << c.name;
            if (c.outcome == Outcome::Opened) {
                EXPECT_EQ(opened, QStringList{local}) << c.name;
                EXPECT_TRUE(local.startsWith(TempFolder())) << c.name;
                EXPECT_EQ(ReadFile(local), ReadFile(Stored(c.storePath))) << c.name;
                EXPECT_FALSE(ReadFile(local).isEmpty()) << c.name;
            } else {
                EXPECT_TRUE(opened.isEmpty()) << c.name;
            }
        }
    }
};

// Every kind of row from the store and from the database, as the settings choose.
std::vector<OpenCase> FetchCases()
{
    return {
        {"archived from the store", Kind::DesignDocument, 0, Design("ZQ8600", "ZQ8600-01-02", "A", "ZQ8600-01-02.dwg"),
         "Zq/Proven/ZQ8600/ZQ8600-01-02/A/ZQ8600-01-02.dwg", Outcome::Opened},
        {"project document, revision A, setting 1", Kind::DesignDocument, 1,
         Design("XM2026-01", "ZQ8600-02", "A", "输入轴计算书.doc"), "Zq/Proven/XM2026-01/ZQ8600-02/A/输入轴计算书.doc",
         Outcome::Opened},
        {"team-work result from the database", Kind::DesignDocument, 2,
         Design("TW0002", "ZQ8700-02-01", "B", "ZQ8700-02-01.dwg"), "Zq/Proven/TW0002/ZQ8700-02-01/B/ZQ8700-02-01.dwg",
         Outcome::Opened},
        {"archived from the database, setting -1", Kind::DesignDocument, -1,
         Design("ZQ8600", "ZQ8600", "A", "ZQ8600说明书.doc"), "Zq/Proven/ZQ8600/ZQ8600/A/ZQ8600说明书.doc", Outcome::Opened},
        {"resource from the database", Kind::ResourceFile, 0, Resource("R-DJ-01", "Y系列电机样本.pdf"),
         "Zq/Resource/R-DJ-01/Y系列电机样本.pdf", Outcome::Opened},
        {"resource from the database, setting 1", Kind::ResourceFile, 1, Resource("R-BZ-01", "GB5783螺栓标准.txt"),
         "Zq/Resource/R-BZ-01/GB5783螺栓标准.txt", Outcome::Opened},
        {"resource from the store", Kind::ResourceFile, 2, Resource("R-ZC-01", "深沟球轴承选型手册.pdf"),
         "Zq/Resource/R-ZC-01/深沟球轴承选型手册.pdf", Outcome::Opened},
        {"missing in the store: told", Kind::DesignDocument, 0, Design("ZQ8600", "ZQ8600", "A", "none.dwg"), "",
         Outcome::NotFetched},
        {"missing in the database: the component tells", Kind::DesignDocument, 2, Design("ZQ8600", "NONE", "A", "none.dwg"),
         "", Outcome::EndedSilently},
        {"resource missing in the database: told", Kind::ResourceFile, 0, Resource("R-DJ-01", "none.pdf"), "",
         Outcome::NotFetched},
        {"resource missing in the store: silent", Kind::ResourceFile, 2, Resource("R-DJ-01", "none.pdf"), "",
         Outcome::EndedSilently},
    };
}

TEST_P(RetrievalTest, FromTheFolderStoreAndTheDatabase)
{
    CZQSaveFileToFTP pageStore;
    ASSERT_TRUE(pageStore.InitZQPDMFTP()) << pageStore.LastError().toStdString();
    Run(FetchCases(), &pageStore);
}

TEST_P(RetrievalTest, FromAnFtpServer)
{
    if (!test::FtpTestServer::Available())
        GTEST_SKIP() << "pyftpdlib is not installed";
    test::FtpTestServer server(home().storeDir());
    ASSERT_GT(server.port(), 0);
    test::ScopedEnv env("ZQPDM_FTP", server.url(QStringLiteral("pdm:secret")));
    CZQSaveFileToFTP pageStore;
    ASSERT_TRUE(pageStore.InitZQPDMFTP()) << pageStore.LastError().toStdString();
    Run(FetchCases(), &pageStore);
}

TEST_P(RetrievalTest, WhatTheStoreIsAskedFor)
{
    CZQSaveFileToFTP pageStore;
    pageStore.InitZQPDMFTP();
    CallLog::Clear();
    StoredFileRetrieval(Design("XM2026-01", "ZQ8600-02", "A", "输入轴计算书.doc")).OpenDesignDocument(0, &pageStore);
    StoredFileRetrieval(Design("TW0002", "ZQ8700-02-01", "B", "ZQ8700-02-01.dwg")).OpenDesignDocument(2, &pageStore);
    StoredFileRetrieval(Resource("R-ZC-01", "深沟球轴承选型手册.pdf")).OpenResourceFile(2);
    StoredFileRetrieval(Resource("R-DJ-01", "Y系列电机样本.pdf")).OpenResourceFile(0);
    QStringList calls;
    for (const ServiceCall& call : CallLog::Calls())
        calls << call.operation + QLatin1Char('|') + call.args.join(QLatin1Char('|'));
    const QString temp = TempFolder();
    EXPECT_EQ(calls, (QStringList{
                         "GetFileFromFTP|\\Zq\\Proven\\XM2026-01\\ZQ8600-02\\A\\|输入轴计算书.doc|" + temp + "输入轴计算书.doc",
                         "BrowseFile|" + temp + "输入轴计算书.doc|0",
                         "DirectReadZQPDMFileFromDB|TW0002_ZQ8700-02-01_ZQ8700-02-01.dwg|产品|ZQ8700-02-01|B|ZQ8700-02-01",
                         "BrowseFile|" + temp + "ZQ8700-02-01.dwg|0",
                         "InitZQPDMFTP|",
                         "GetFileFromFTP|\\Zq\\Resource\\R-ZC-01\\|深沟球轴承选型手册.pdf|" + temp + "深沟球轴承选型手册.pdf",
                         "BrowseFile|" + temp + "深沟球轴承选型手册.pdf|0",
                         "PopFileFromDB|SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='R-DJ-01' AND "
                         "DocType='Y系列电机样本'|" + temp + "Y系列电机样本.pdf|DocContent|pdm",
                         "BrowseFile|" + temp + "Y系列电机样本.pdf|0",
                     }));
}

TEST_P(RetrievalTest, CodesBecomePathSegmentsAndQuotesAreDoubled)
{
    const StoredFileRetrieval r(Design("P/1", "..", "A", "it's.doc"));
    EXPECT_EQ(r.DesignStoreFolder(), QStringLiteral("\\Zq\\Proven\\P_1\\_\\A\\"));
    EXPECT_EQ(r.ResourceStoreFolder(), QStringLiteral("\\Zq\\Resource\\_\\"));
    EXPECT_EQ(r.DesignFileKey(), QStringLiteral("P_1___it's.doc"));
    EXPECT_EQ(r.ResourceContentSql(),
              QStringLiteral("SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='_' AND DocType='it''s'"));
}

TEST_P(RetrievalTest, SettingsFromTheConfiguration)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {{"0", 0}, {"1", 1}, {"2", 2}, {" 3x", 3}, {"-1", -1}, {"abc", 0}, {"", 0}};
    for (const auto& c : cases) {
        SetSettings(QString::fromUtf8(c.text), QString::fromUtf8(c.text));
        EXPECT_EQ(ReadStorageSetting(kDesignDocumentStorageKey), c.value) << c.text;
        EXPECT_EQ(ReadStorageSetting(kResourceStorageKey), c.value) << c.text;
    }
    QFile::remove(home().path(QStringLiteral("rnds/spt/zqpdmcad.ini")));
    EXPECT_EQ(ReadStorageSetting(kDesignDocumentStorageKey), 0);
    EXPECT_EQ(ReadStorageSetting(kResourceStorageKey), 0);
}

TEST_P(RetrievalTest, ARefusingServer)
{
    test::ScopedEnv env("ZQPDM_FTP", QStringLiteral("ftp://127.0.0.1:1/"));
    CZQSaveFileToFTP pageStore;
    EXPECT_FALSE(pageStore.InitZQPDMFTP());
    Run({{"design: fetched anyway, told", Kind::DesignDocument, 0,
          Design("ZQ8600", "ZQ8600-01-02", "A", "ZQ8600-01-02.dwg"), "", Outcome::NotFetched}},
        &pageStore);
    EXPECT_EQ(CallLog::Calls().value(0).operation, QStringLiteral("GetFileFromFTP"));
    Run({{"resource: no fetch after the failed connection, told", Kind::ResourceFile, 2,
          Resource("R-ZC-01", "深沟球轴承选型手册.pdf"), "", Outcome::NotFetched}},
        nullptr);
    for (const ServiceCall& call : CallLog::Calls())
        EXPECT_NE(call.operation, QStringLiteral("GetFileFromFTP"));
}

TEST_P(RetrievalTest, HostileFileNamesStayInTheTemporaryFolder)
{
    CZQSaveFileToFTP pageStore;
    pageStore.InitZQPDMFTP();
    const QString temp = TempFolder();
    const struct {
        const char* fileName;
        const char* local;
    } names[] = {{"../../Y系列电机样本.pdf", "Y系列电机样本.pdf"},
                 {"a\\Y系列电机样本.pdf", "Y系列电机样本.pdf"},
                 {"/etc/Y系列电机样本.pdf", "Y系列电机样本.pdf"},
                 {"..", ""},
                 {"", ""}};
    for (const auto& n : names) {
        const StoredFileRetrieval r(Resource("R-DJ-01", n.fileName));
        EXPECT_EQ(r.LocalPath(), *n.local ? temp + QString::fromUtf8(n.local) : QString()) << n.fileName;
    }
    // From the database the blob arrives under the plain name; the store refuses such a name.
    Run({{"store, backslash name", Kind::ResourceFile, 2, Resource("R-DJ-01", "a\\Y系列电机样本.pdf"), "",
          Outcome::EndedSilently},
         {"database, climbing name", Kind::ResourceFile, 0, Resource("R-DJ-01", "../../Y系列电机样本.pdf"),
          "Zq/Resource/R-DJ-01/Y系列电机样本.pdf", Outcome::Opened},
         {"database, absolute name", Kind::ResourceFile, 0, Resource("R-DJ-01", "/etc/Y系列电机样本.pdf"),
          "Zq/Resource/R-DJ-01/Y系列电机样本.pdf", Outcome::Opened},
         {"design store, climbing name", Kind::DesignDocument, 0,
          Design("ZQ8600", "ZQ8600-01-02", "A", "../../ZQ8600-01-02.dwg"), "", Outcome::NotFetched},
         {"no name left", Kind::DesignDocument, 0, Design("ZQ8600", "ZQ8600-01-02", "A", ".."), "",
          Outcome::NotFetched}},
        &pageStore);
    EXPECT_FALSE(QFile::exists(home().path(QStringLiteral("Y系列电机样本.pdf"))));
    EXPECT_EQ(QDir(temp).entryList(QDir::Files), QStringList{"Y系列电机样本.pdf"});
}

TEST_P(RetrievalTest, AnEarlierCopyNeverPassesForThisFetch)
{
    CZQSaveFileToFTP pageStore;
    pageStore.InitZQPDMFTP();
    const QString temp = TempFolder();
    const std::vector<OpenCase> failing = {
        {"design store, wrong revision", Kind::DesignDocument, 0, Design("ZQ8600", "ZQ8600-01-02", "Z", "ZQ8600-01-02.dwg"),
         "", Outcome::NotFetched},
        {"resource database, wrong item", Kind::ResourceFile, 0, Resource("R-NONE", "Y系列电机样本.pdf"), "",
         Outcome::NotFetched},
        {"resource store, wrong item", Kind::ResourceFile, 2, Resource("R-NONE", "Y系列电机样本.pdf"), "",
         Outcome::EndedSilently},
    };
    for (const OpenCase& c : failing) {
        const QString local = StoredFileRetrieval(c.record).LocalPath();
        WriteFile(local, "earlier copy");
        Run({c}, &pageStore);
        EXPECT_FALSE(QFile::exists(local)) << c.name;
    }
    // A successful fetch replaces the earlier copy.
    WriteFile(temp + QStringLiteral("ZQ8600-01-02.dwg"), "earlier copy");
    Run({{"design store, replaced", Kind::DesignDocument, 0, Design("ZQ8600", "ZQ8600-01-02", "A", "ZQ8600-01-02.dwg"),
          "Zq/Proven/ZQ8600/ZQ8600-01-02/A/ZQ8600-01-02.dwg", Outcome::Opened}},
        &pageStore);
}

INSTANTIATE_TEST_SUITE_P(Engines, RetrievalTest, ::testing::ValuesIn(test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

} // namespace
