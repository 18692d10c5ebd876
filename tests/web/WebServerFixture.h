#pragma once
// The built zqpdm-web started on a free loopback port over the installation the zqpdm-search tests
// seed, talked to over real HTTP; the server is stopped (SIGTERM) when the test ends.
#include "SearchToolFixture.h"

#include <QJsonDocument>
#include <QUrl>
#include <httplib.h>

namespace zq::test {

class RunningWebServer {
public:
    explicit RunningWebServer(std::unique_ptr<QProcess> process) : m_process(std::move(process))
    {
        if (!m_process->waitForStarted(10000))
            return;
        while (!m_process->canReadLine() && m_process->state() == QProcess::Running)
            m_process->waitForReadyRead(200);
        const QString url = QString::fromUtf8(m_process->readLine()).trimmed();
        m_port = QUrl(url).port();
    }
    ~RunningWebServer()
    {
        m_process->terminate();
        if (!m_process->waitForFinished(10000)) {
            m_process->kill();
            m_process->waitForFinished();
        }
    }
    bool ok() const { return m_port > 0; }
    int port() const { return m_port; }
    httplib::Client client() const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_read_timeout(120, 0);
        return client;
    }
    // Whether the server's log holds TEXT, waiting a little for the line to arrive.
    bool logged(const QString& text)
    {
        for (int i = 0; i < 50 && !m_log.contains(text); ++i) {
            m_process->waitForReadyRead(100);
            m_log += QString::fromUtf8(m_process->readAllStandardError());
        }
        return m_log.contains(text);
    }
    const QString& log() const { return m_log; }

private:
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    QString m_log;
};

class WebServerTest : public SearchTool {
protected:
    void SetUp() override
    {
        SearchTool::SetUp();
        if (!QFile::exists(webProgram()))
            GTEST_SKIP() << "zqpdm-web is not built at " << webProgram().toStdString();
    }

    static QString webProgram()
    {
        return qEnvironmentVariable("ZQ_BINARY_DIR", QStringLiteral(".")) + QStringLiteral("/bin/zqpdm-web");
    }
    // The server on the seeded installation, the pages' date that of the zqpdm-search tests.
    static std::unique_ptr<RunningWebServer> startWeb(const QStringList& options)
    {
        const QStringList arguments = QStringList{QStringLiteral("--home"), s_home->path(), QStringLiteral("--listen"),
                                                  QStringLiteral("127.0.0.1:0"), QStringLiteral("--today"),
                                                  QStringLiteral("2026-03-01")}
            + options;
        return std::make_unique<RunningWebServer>(start(webProgram(), arguments, true, {}));
    }
    static std::unique_ptr<RunningWebServer> startLocal(const QStringList& more = {})
    {
        return startWeb(QStringList{QStringLiteral("--local-user"), QStringLiteral("zhangwei")} + more);
    }

    static std::string pagePath(const QString& caption, const char* tail = "")
    {
        return "/api/pages/" + QUrl::toPercentEncoding(caption).toStdString() + tail;
    }
    static QJsonDocument json(const httplib::Result& result)
    {
        return QJsonDocument::fromJson(QByteArray::fromStdString(result ? result->body : std::string()));
    }
};

} // namespace zq::test
