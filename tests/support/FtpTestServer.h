#pragma once
// A real FTP server for the store tests: pyftpdlib on a free port of 127.0.0.1, serving a folder
// read-only to anonymous users and to user pdm with password secret.
//
//   if (!zq::test::FtpTestServer::Available()) GTEST_SKIP() << "pyftpdlib is not installed";
//   zq::test::FtpTestServer server(home.storeDir());   ASSERT_GT(server.port(), 0);
//   zq::test::ScopedEnv env("ZQPDM_FTP", server.url());
#include <QProcess>
#include <QString>

namespace zq::test {

class FtpTestServer {
public:
    explicit FtpTestServer(const QString& root);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    static bool Available();   // python3 can import pyftpdlib

    int port() const { return m_port; }   // 0 when the server did not start
    // ftp://[userInfo@]127.0.0.1:port<path>
    QString url(const QString& userInfo = {}, const QString& path = QStringLiteral("/")) const;

private:
    QProcess m_process;
    int m_port = 0;
};

} // namespace zq::test
