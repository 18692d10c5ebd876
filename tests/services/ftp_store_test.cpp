// The file store: a folder through file:// and a real FTP server (pyftpdlib on 127.0.0.1, started
// here), and how a missing file, a bad request and a dead or silent server fail.
#include "CallLog.h"
#include "FileServices.h"
#include "FtpTestServer.h"
#include "SeededHome.h"
#include "ZQPDMFC.h"
#include <QDir>
#include <QFile>
#include <QUrl>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A TCP port that accepts connections but never says anything (the handshake completes in the
// kernel's backlog): a hung FTP server.
class SilentPort {
public:
    SilentPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            ::listen(m_fd, 4) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

class FtpStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.ok()) << str(home.error());
        CallLog::Clear();
    }
    QString stored(const QString& relative) const { return home.storeDir() + QLatin1Char('/') + relative; }

    test::SeededHome home;
};

struct Fetch {
    const char* folder;
    const char* file;
    const char* storePath;   // the store's copy; "" when the fetch fails
};

// The same table runs against the folder store and the FTP server.
const Fetch kFetches[] = {
    {"\\Zq\\Proven\\ZQ8600\\ZQ8600-01-02\\A\\", "ZQ8600-01-02.dwg", "Zq/Proven/ZQ8600/ZQ8600-01-02/A/ZQ8600-01-02.dwg"},
    {"\\Zq\\Proven\\XM2026-01\\ZQ8600-02\\A\\", "输入轴计算书.doc", "Zq/Proven/XM2026-01/ZQ8600-02/A/输入轴计算书.doc"},
    {"\\Zq\\Resource\\R-DJ-01\\", "Y系列电机样本.pdf", "Zq/Resource/R-DJ-01/Y系列电机样本.pdf"},
    {"/Zq/Proven/ZQ8600/ZQ8600/A", "ZQ8600说明书.doc", "Zq/Proven/ZQ8600/ZQ8600/A/ZQ8600说明书.doc"},
    {"\\Zq\\Proven\\ZQ8600\\ZQ8600-01-02\\A\\", "missing.dwg", ""},
    {"\\Zq\\Proven\\NOSUCH\\X\\A\\", "ZQ8600-01-02.dwg", ""},
    {"\\Zq\\Proven\\..\\..\\", "pdm.db", ""},
    {"\\Zq\\Proven\\ZQ8600\\ZQ8600-01-02\\A\\", "..\\A\\ZQ8600-01-02.dwg", ""},
};

void RunFetches(const QString& storeDir, CZQSaveFileToFTP& ftp)
{
    for (const Fetch& f : kFetches) {
        const QString fileName = QString::fromUtf8(f.file);
        const QString local = TempFolder() + QStringLiteral("fetched-") + QString::number(qHash(fileName));
        QFile::remove(local);
        const bool ok = ftp.GetFileFromFTP(QString::fromUtf8(f.folder), fileName, local);
        if (!*f.storePath) {
            EXPECT_FALSE(ok) << f.folder << f.file;
            EXPECT_FALSE(QFile::exists(local)) << f.file;
            EXPECT_FALSE(ftp.LastError().isEmpty()) << f.file;
            continue;
        }
        EXPECT_TRUE(ok) << f.folder << f.file << " " << str(ftp.LastError());
        EXPECT_EQ(ReadFile(local), ReadFile(storeDir + QLatin1Char('/') + QString::fromUtf8(f.storePath))) << f.file;
    }
    // Nothing but the fetched files is left in the temporary folder.
    for (const QString& name : QDir(TempFolder()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(name.startsWith(QStringLiteral("fetched-"))) << str(name);
}

TEST_F(FtpStoreTest, FolderStoreFromTheInstallationConfiguration)
{
    CZQSaveFileToFTP ftp;
    EXPECT_EQ(ftp.GetCurrentFtp(), nullptr);
    ASSERT_TRUE(ftp.InitZQPDMFTP()) << str(ftp.LastError());
    ASSERT_NE(ftp.GetCurrentFtp(), nullptr);
    EXPECT_EQ(ftp.GetCurrentFtp()->url, home.storeUrl());
    EXPECT_EQ(ftp.GetFtpRoot(), QStringLiteral("\\"));
    RunFetches(home.storeDir(), ftp);
}

TEST_F(FtpStoreTest, FolderSegmentsAndNamesMatchIgnoringCase)
{
    CZQSaveFileToFTP ftp;
    ASSERT_TRUE(ftp.InitZQPDMFTP());
    const QString local = TempFolder() + QStringLiteral("case.dwg");
    EXPECT_TRUE(ftp.GetFileFromFTP(QStringLiteral("\\zq\\PROVEN\\zq8600\\Zq8600-01-02\\a\\"), QStringLiteral("zq8600-01-02.DWG"),
                                   local))
        << str(ftp.LastError());
    EXPECT_EQ(ReadFile(local), ReadFile(stored(QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-01-02/A/ZQ8600-01-02.dwg"))));
}

TEST_F(FtpStoreTest, AFailedFetchLeavesAnExistingLocalFileAsItWas)
{
    const QString local = TempFolder() + QStringLiteral("ZQ8600-01-02.dwg");
    {
        QFile f(local);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier copy");
    }
    CZQSaveFileToFTP ftp;
    ASSERT_TRUE(ftp.InitZQPDMFTP());
    EXPECT_FALSE(ftp.GetFileFromFTP(QStringLiteral("\\Zq\\Proven\\NONE\\"), QStringLiteral("ZQ8600-01-02.dwg"), local));
    EXPECT_EQ(ReadFile(local), QByteArray("earlier copy"));
}

TEST_F(FtpStoreTest, EnvironmentOverridesTheConfiguredStore)
{
    QTemporaryDir other;
    ASSERT_TRUE(QDir().mkpath(other.path() + QStringLiteral("/ZQ/RESOURCE/R1")));
    {
        QFile f(other.path() + QStringLiteral("/ZQ/RESOURCE/R1/a.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("other store");
    }
    test::ScopedEnv env("ZQPDM_FTP", QUrl::fromLocalFile(other.path()).toString());
    CZQSaveFileToFTP ftp;
    ASSERT_TRUE(ftp.InitZQPDMFTP()) << str(ftp.LastError());
    const QString local = TempFolder() + QStringLiteral("a.txt");
    EXPECT_TRUE(ftp.GetFileFromFTP(QStringLiteral("\\Zq\\Resource\\R1\\"), QStringLiteral("a.txt"), local));
    EXPECT_EQ(ReadFile(local), QByteArray("other store"));
}

TEST_F(FtpStoreTest, UnreachableStoresFailCleanly)
{
    SilentPort silent;
    ASSERT_GT(silent.port(), 0);
    const QString cases[] = {
        QUrl::fromLocalFile(home.path(QStringLiteral("no-such-store"))).toString(),
        QStringLiteral("ftp://127.0.0.1:1/"),                                   // nothing listens
        QStringLiteral("ftp://127.0.0.1:%1/").arg(silent.port()),               // never answers
        QStringLiteral("gopher://127.0.0.1/"),
    };
    for (const QString& url : cases) {
        test::ScopedEnv env("ZQPDM_FTP", url);
        CZQSaveFileToFTP ftp;
        EXPECT_FALSE(ftp.InitZQPDMFTP()) << str(url);
        EXPECT_EQ(ftp.GetCurrentFtp(), nullptr);
        EXPECT_FALSE(ftp.LastError().isEmpty());
        // Fetching anyway (as the design-document page does) fails too and writes nothing.
        const QString local = TempFolder() + QStringLiteral("unreachable.dwg");
        EXPECT_FALSE(ftp.GetFileFromFTP(QStringLiteral("\\Zq\\Proven\\ZQ8600\\ZQ8600-01-02\\A\\"),
                                        QStringLiteral("ZQ8600-01-02.dwg"), local))
            << str(url);
        EXPECT_FALSE(QFile::exists(local));
    }
}

TEST_F(FtpStoreTest, FtpServerStore)
{
    if (!test::FtpTestServer::Available())
        GTEST_SKIP() << "pyftpdlib is not installed";
    test::FtpTestServer server(home.storeDir());
    ASSERT_GT(server.port(), 0);
    for (const QString& url : {server.url(), server.url(QStringLiteral("pdm:secret"))}) {
        test::ScopedEnv env("ZQPDM_FTP", url);
        CZQSaveFileToFTP ftp;
        ASSERT_TRUE(ftp.InitZQPDMFTP()) << str(url) << " " << str(ftp.LastError());
        EXPECT_EQ(ftp.GetCurrentFtp()->url, url);
        RunFetches(home.storeDir(), ftp);
    }
    // Wrong password: the login fails.
    test::ScopedEnv env("ZQPDM_FTP", server.url(QStringLiteral("pdm:wrong")));
    CZQSaveFileToFTP ftp;
    EXPECT_FALSE(ftp.InitZQPDMFTP());
}

TEST_F(FtpStoreTest, FtpServerWithTheStoreBelowItsRoot)
{
    if (!test::FtpTestServer::Available())
        GTEST_SKIP() << "pyftpdlib is not installed";
    test::FtpTestServer server(home.home());
    ASSERT_GT(server.port(), 0);
    test::ScopedEnv env("ZQPDM_FTP", server.url({}, QStringLiteral("/ftpstore")));
    CZQSaveFileToFTP ftp;
    ASSERT_TRUE(ftp.InitZQPDMFTP()) << str(ftp.LastError());
    const QString local = TempFolder() + QStringLiteral("below.pdf");
    EXPECT_TRUE(ftp.GetFileFromFTP(QStringLiteral("\\Zq\\Resource\\R-ZC-01\\"), QStringLiteral("深沟球轴承选型手册.pdf"), local))
        << str(ftp.LastError());
    EXPECT_EQ(ReadFile(local), ReadFile(stored(QStringLiteral("Zq/Resource/R-ZC-01/深沟球轴承选型手册.pdf"))));
}

TEST_F(FtpStoreTest, CallsAreLogged)
{
    CZQSaveFileToFTP ftp;
    ftp.InitZQPDMFTP();
    ftp.GetFileFromFTP(QStringLiteral("\\Zq\\"), QStringLiteral("a.dwg"), QStringLiteral("/tmp/a.dwg"));
    const QList<ServiceCall> calls = CallLog::Calls();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].operation, QStringLiteral("InitZQPDMFTP"));
    EXPECT_EQ(calls[1].operation, QStringLiteral("GetFileFromFTP"));
    EXPECT_EQ(calls[1].args, (QStringList{QStringLiteral("\\Zq\\"), QStringLiteral("a.dwg"), QStringLiteral("/tmp/a.dwg")}));
}

} // namespace
