// The FTP store failing in the middle of a transfer: the server process gone after the first
// 64 KB, or the server refusing to go on (a read error on its side). The fetch fails with a
// message, and nothing of the partial file is left: neither at the target nor beside it, and an
// earlier copy at the target stays as it was. (The document and resource pages fetch their
// files through this component.)
#include "FileServices.h"
#include "SeededHome.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace faults {
namespace {

QString Python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

// A pyftpdlib server on 127.0.0.1 whose files break after their first 64 KB: "vanish" ends the
// server process there, "refuse" fails the read so that the server aborts the transfer.
class BreakingFtpServer {
public:
    BreakingFtpServer(const QString& root, const QString& mode)
    {
        const QString script = QStringLiteral(
            "import os, sys, logging\n"
            "from pyftpdlib.authorizers import DummyAuthorizer\n"
            "from pyftpdlib.filesystems import AbstractedFS\n"
            "from pyftpdlib.handlers import FTPHandler\n"
            "from pyftpdlib.servers import FTPServer\n"
            "logging.basicConfig(level=logging.CRITICAL)\n"
            "mode = sys.argv[2]\n"
            "class Breaking:\n"
            "    def __init__(self, f):\n"
            "        self.f, self.sent, self.name, self.closed = f, 0, f.name, False\n"
            "    def read(self, n=-1):\n"
            "        if self.sent >= 65536:\n"
            "            if mode == 'vanish':\n"
            "                os._exit(3)\n"
            "            raise OSError(5, 'read error')\n"
            "        data = self.f.read(65536)\n"
            "        self.sent += len(data)\n"
            "        return data\n"
            "    def seek(self, *a):\n"
            "        return self.f.seek(*a)\n"
            "    def close(self):\n"
            "        self.closed = True\n"
            "        self.f.close()\n"
            "class FS(AbstractedFS):\n"
            "    def open(self, filename, mode):\n"
            "        f = AbstractedFS.open(self, filename, mode)\n"
            "        return Breaking(f) if 'r' in mode else f\n"
            "a = DummyAuthorizer()\n"
            "a.add_anonymous(sys.argv[1])\n"
            "h = FTPHandler\n"
            "h.authorizer = a\n"
            "h.abstracted_fs = FS\n"
            "h.use_sendfile = False\n"
            "s = FTPServer(('127.0.0.1', 0), h)\n"
            "print(s.address[1], flush=True)\n"
            "s.serve_forever()\n");
        m_process.start(Python(), {QStringLiteral("-c"), script, root, mode});
        if (!m_process.waitForStarted(10000))
            return;
        while (m_process.state() == QProcess::Running && !m_process.canReadLine())
            m_process.waitForReadyRead(10000);
        m_port = m_process.readLine().trimmed().toInt();
    }
    ~BreakingFtpServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    int port() const { return m_port; }
    // Whether the server process ends within the time (QProcess learns of its end only when asked).
    bool exits(int milliseconds) { return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(milliseconds); }

private:
    QProcess m_process;
    int m_port = 0;
};

bool PyftpdlibAvailable()
{
    QProcess p;
    p.start(Python(), {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")});
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST(FtpFaults, ATransferBrokenOffLeavesNoPartialFile)
{
    if (!PyftpdlibAvailable())
        GTEST_SKIP() << "pyftpdlib is not installed";
    zq::test::SeededHome home;
    ASSERT_TRUE(home.ok()) << home.error().toStdString();
    const QString folder = home.storeDir() + QStringLiteral("/Zq/Resource/BIG");
    ASSERT_TRUE(QDir().mkpath(folder));
    {
        QFile big(folder + QStringLiteral("/big.dwg"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(1024 * 1024, 'z'));
    }
    for (const char* mode : {"vanish", "refuse"}) {
        SCOPED_TRACE(mode);
        BreakingFtpServer server(home.storeDir(), QString::fromLatin1(mode));
        ASSERT_GT(server.port(), 0);
        zq::test::ScopedEnv store("ZQPDM_FTP", QStringLiteral("ftp://127.0.0.1:%1/").arg(server.port()));
        const QString local = zq::TempFolder() + QStringLiteral("big.dwg");
        {
            QFile earlier(local);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier copy");
        }
        CZQSaveFileToFTP ftp;
        ASSERT_TRUE(ftp.InitZQPDMFTP()) << ftp.LastError().toStdString();
        EXPECT_FALSE(ftp.GetFileFromFTP(QStringLiteral("\\Zq\\Resource\\BIG\\"), QStringLiteral("big.dwg"), local));
        EXPECT_FALSE(ftp.LastError().isEmpty());
        QFile kept(local);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("earlier copy"));
        EXPECT_EQ(QDir(zq::TempFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("big.dwg")});
        QFile::remove(local);
        const bool vanish = std::string(mode) == "vanish";
        EXPECT_EQ(server.exits(vanish ? 5000 : 100), vanish);
    }
}

} // namespace
} // namespace faults
