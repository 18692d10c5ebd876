// Fetches for a reader that takes only so much of a file (the content indexer): a file within the
// limit comes whole; a larger one is not fetched at all when its reader needs the whole file, or
// only as far as the limit when its start will do; the size is asked first where the store can
// tell it (a blob's length, a folder's file, FTP's SIZE); a stop ends a transfer. On every engine,
// from the folder store and from an FTP server.
#include "CallLog.h"
#include "FetchLimits.h"
#include "FileServices.h"
#include "FtpTestServer.h"
#include "PartServices.h"
#include "ServiceTest.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

enum class Expect { Whole, Start, Refused, Stopped };

struct Limit {
    const char* name;
    qint64 offset;      // the limit: the file's size plus this; kNone for no limit
    bool startWillDo;
    bool stop;
    Expect expect;
};

constexpr qint64 kNone = std::numeric_limits<qint64>::min();
constexpr qint64 kStart = -1000000;   // a limit of 100 bytes, however large the file

const Limit kLimits[] = {
    {"no limit", kNone, false, false, Expect::Whole},
    {"a limit the file fits", 0, false, false, Expect::Whole},
    {"a byte too small, the whole file needed", -1, false, false, Expect::Refused},
    {"a byte too small, the start will do", -1, true, false, Expect::Start},
    {"100 bytes, the start will do", kStart, true, false, Expect::Start},
    {"100 bytes, the whole file needed", kStart, false, false, Expect::Refused},
};

svc::FetchLimits LimitsFor(const Limit& limit, qint64 size, const std::atomic<bool>* stop)
{
    svc::FetchLimits limits;
    if (limit.offset != kNone)
        limits.maxBytes = limit.offset == kStart ? 100 : size + limit.offset;
    limits.startWillDo = limit.startWillDo;
    limits.stop = stop;
    return limits;
}

// What a fetch left at local, against the stored bytes and the limit.
void ExpectFetched(const Limit& limit, const svc::FetchLimits& limits, const QByteArray& stored, const QString& local,
                   const QString& failure)
{
    switch (limit.expect) {
    case Expect::Whole:
        EXPECT_EQ(ReadFile(local), stored) << limit.name;
        break;
    case Expect::Start:
        EXPECT_EQ(ReadFile(local), stored.left(limits.maxBytes)) << limit.name;
        break;
    case Expect::Refused:
        EXPECT_FALSE(QFile::exists(local)) << limit.name;
        EXPECT_EQ(failure, QStringLiteral("文件有 %1 字节, 超过 %2 字节的读取上限, 没有取出").arg(stored.size()).arg(limits.maxBytes))
            << limit.name;
        // The indexer remembers such a file as failed until it changes.
        EXPECT_TRUE(svc::IsTooLargeMessage(failure)) << limit.name;
        break;
    case Expect::Stopped:
        EXPECT_FALSE(QFile::exists(local)) << limit.name;
        EXPECT_EQ(failure, QStringLiteral("取出文件时被要求停止")) << limit.name;
        EXPECT_FALSE(svc::IsTooLargeMessage(failure)) << limit.name;
        break;
    }
}

QString LastFailure()
{
    const QList<ServiceFailure> failures = CallLog::Failures();
    return failures.isEmpty() ? QString() : failures.last().reason;
}

class BlobLimits : public test::ServiceTest {
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        SetSqlTraceListener([this](const QString& sql) { m_heard.append(sql); });
    }
    void TearDown() override { SetSqlTraceListener(nullptr); }
    // A statement that asked for the whole blob column.
    bool AskedForTheWholeBlob() const
    {
        static const QRegularExpression whole(QStringLiteral(",\\s*DocContent\\s+FROM"));
        for (const QString& sql : m_heard)
            if (whole.match(sql).hasMatch())
                return true;
        return false;
    }

    QStringList m_heard;
};

TEST_P(BlobLimits, ABlobLargerThanTheLimitIsNotFetchedWhole)
{
    const QByteArray resource = ReadFile(home().storeDir() + QStringLiteral("/Zq/Resource/R-DJ-01/Y系列电机样本.pdf"));
    const QByteArray design = ReadFile(home().storeDir() + QStringLiteral("/Zq/Proven/ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf"));
    ASSERT_GT(resource.size(), 1000);
    ASSERT_GT(design.size(), 1000);
    for (const Limit& limit : kLimits) {
        // A resource file, by the page's statement.
        m_heard.clear();
        CallLog::Clear();
        const svc::FetchLimits resourceLimits = LimitsFor(limit, resource.size(), nullptr);
        CZQSaveFileToDB database;
        database.SetFetchLimits(resourceLimits);
        const QString local = TempFolder() + QStringLiteral("resource.pdf");
        QFile::remove(local);
        database.PopFileFromDB(QStringLiteral("SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='R-DJ-01' "
                                              "AND DocType='Y系列电机样本'"),
                               local, QStringLiteral("DocContent"), QStringLiteral("pdm"));
        ExpectFetched(limit, resourceLimits, resource, local, LastFailure());
        EXPECT_EQ(AskedForTheWholeBlob(), limit.expect == Expect::Whole) << limit.name << ": " << str(m_heard.join(u'\n'));

        // A design document, from the design-file table.
        m_heard.clear();
        CallLog::Clear();
        const svc::FetchLimits designLimits = LimitsFor(limit, design.size(), nullptr);
        CSaveZQPDMFile designFiles;
        designFiles.SetFetchLimits(designLimits);
        QFile::remove(TempFolder() + QStringLiteral("ZQ8700技术条件.pdf"));
        const QString path = designFiles.DirectReadZQPDMFileFromDB(QStringLiteral("ZQ8700_ZQ8700_ZQ8700技术条件.pdf"),
                                                                   QStringLiteral("产品"), QStringLiteral("ZQ8700"),
                                                                   QStringLiteral("A"), QStringLiteral("ZQ8700技术条件"));
        ExpectFetched(limit, designLimits, design, TempFolder() + QStringLiteral("ZQ8700技术条件.pdf"), LastFailure());
        EXPECT_EQ(path.isEmpty(), limit.expect == Expect::Refused) << limit.name;
        EXPECT_EQ(AskedForTheWholeBlob(), limit.expect == Expect::Whole) << limit.name << ": " << str(m_heard.join(u'\n'));
    }
    EXPECT_TRUE(desktop.messages().isEmpty()) << str(desktop.messages().join(u'\n'));
}

INSTANTIATE_TEST_SUITE_P(Engines, BlobLimits, testing::ValuesIn(test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

// The same limits on the file store: a folder, and an FTP server serving it.
class StoreLimits : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.ok()) << str(home.error()); }
    void RunLimits(CZQSaveFileToFTP& store)
    {
        const QByteArray stored = ReadFile(home.storeDir() + QStringLiteral("/Zq/Resource/R-DJ-01/Y系列电机样本.pdf"));
        ASSERT_GT(stored.size(), 1000);
        std::atomic<bool> stopped{true};
        QList<Limit> limits(std::begin(kLimits), std::end(kLimits));
        limits.append({"stopped", kNone, false, true, Expect::Stopped});
        for (const Limit& limit : limits) {
            const svc::FetchLimits fetch = LimitsFor(limit, stored.size(), limit.stop ? &stopped : nullptr);
            store.SetFetchLimits(fetch);
            const QString local = TempFolder() + QStringLiteral("stored.pdf");
            QFile::remove(local);
            const bool fetched = store.GetFileFromFTP(QStringLiteral("\\Zq\\Resource\\R-DJ-01\\"), QStringLiteral("Y系列电机样本.pdf"),
                                                      local);
            EXPECT_EQ(fetched, limit.expect == Expect::Whole || limit.expect == Expect::Start) << limit.name;
            ExpectFetched(limit, fetch, stored, local, store.LastError());
        }
    }

    test::SeededHome home;
};

TEST_F(StoreLimits, FromAFolder)
{
    CZQSaveFileToFTP store;
    ASSERT_TRUE(store.InitZQPDMFTP()) << str(store.LastError());
    RunLimits(store);
}

TEST_F(StoreLimits, FromAnFtpServer)
{
    if (!test::FtpTestServer::Available())
        GTEST_SKIP() << "pyftpdlib is not installed";
    test::FtpTestServer server(home.storeDir());
    ASSERT_GT(server.port(), 0);
    test::ScopedEnv env("ZQPDM_FTP", server.url());
    CZQSaveFileToFTP store;
    ASSERT_TRUE(store.InitZQPDMFTP()) << str(store.LastError());
    RunLimits(store);
}

} // namespace
