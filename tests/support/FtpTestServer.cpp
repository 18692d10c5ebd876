#include "FtpTestServer.h"

#include <QFile>

namespace zq::test {

namespace {

QString Python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

} // namespace

FtpTestServer::FtpTestServer(const QString& root)
{
    const QString script = QStringLiteral(
        "import sys, logging\n"
        "from pyftpdlib.authorizers import DummyAuthorizer\n"
        "from pyftpdlib.handlers import FTPHandler\n"
        "from pyftpdlib.servers import FTPServer\n"
        "logging.basicConfig(level=logging.ERROR)\n"
        "a = DummyAuthorizer()\n"
        "a.add_user('pdm', 'secret', sys.argv[1], perm='elr')\n"
        "a.add_anonymous(sys.argv[1])\n"
        "h = FTPHandler\n"
        "h.authorizer = a\n"
        "s = FTPServer(('127.0.0.1', 0), h)\n"
        "print(s.address[1], flush=True)\n"
        "s.serve_forever()\n");
    m_process.start(Python(), {QStringLiteral("-c"), script, root});
    if (!m_process.waitForStarted(10000))
        return;
    while (m_process.state() == QProcess::Running && !m_process.canReadLine())
        m_process.waitForReadyRead(10000);
    m_port = m_process.readLine().trimmed().toInt();
}

FtpTestServer::~FtpTestServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool FtpTestServer::Available()
{
    QProcess p;
    p.start(Python(), {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")});
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString FtpTestServer::url(const QString& userInfo, const QString& path) const
{
    const QString credentials = userInfo.isEmpty() ? QString() : userInfo + QLatin1Char('@');
    return QStringLiteral("ftp://") + credentials + QStringLiteral("127.0.0.1:") + QString::number(m_port) + path;
}

} // namespace zq::test
