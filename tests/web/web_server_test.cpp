// zqpdm-web over real HTTP on the seeded installation: the API gives what zqpdm-search gives, the
// file is the stored file, nobody gets in without an identity, and each limit holds.
#include "WebServerFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace zq::test {
namespace {

const QStringList kAsZhangwei{QStringLiteral("ZQPDM_USER=zhangwei")};

QJsonArray rowsOfCli(const ToolRun& run)
{
    return QJsonDocument::fromJson(run.output).array();
}

TEST_F(WebServerTest, PagesAndDescriptionsAreTheCommandLinesOwn)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const auto pages = client.Get("/api/pages");
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->status, 200);
    const QStringList captions = json(pages).object().value("pages").toVariant().toStringList();
    EXPECT_TRUE(captions.contains("更改单") && captions.contains("设计零部件")) << pages->body;

    for (const QString& caption : {QStringLiteral("设计零部件"), QStringLiteral("设计任务")}) {
        const ToolRun cli = run({"--page", caption, "--describe", "--format", "json"}, true, kAsZhangwei);
        ASSERT_EQ(cli.exitCode, 0) << cli.dump();
        const auto described = client.Get(pagePath(caption));
        ASSERT_TRUE(described);
        EXPECT_EQ(described->status, 200);
        EXPECT_EQ(QByteArray::fromStdString(described->body), cli.output) << caption.toStdString();
    }
    // A choice changes what the page offers: the condition grid of the part lists.
    const auto detailed = client.Get(pagePath("设计零部件", "?actions=") + QUrl::toPercentEncoding(R"([["set","条件","明细"]])").toStdString());
    const ToolRun cli = run({"--page", "设计零部件", "--set", "条件=明细", "--describe", "--format", "json"}, true, kAsZhangwei);
    ASSERT_TRUE(detailed);
    EXPECT_EQ(QByteArray::fromStdString(detailed->body), cli.output);
    EXPECT_EQ(client.Get(pagePath("没有这页"))->status, 404);
}

TEST_F(WebServerTest, AChangeOrderSearchListsWhatTheCommandLineLists)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const struct {
        const char* body;
        QStringList cli;
    } cases[] = {
        {R"({"actions": []})", {}},
        {R"({"actions": [["set", "编制人", ""]]})", {"--set", "编制人="}},
        {R"({"actions": [["set", "编制人", "李娜"], ["set", "从", "2025-01-01"]]})", {"--set", "编制人=李娜", "--set", "从=2025-01-01"}},
    };
    for (const auto& c : cases) {
        const ToolRun cli = run(QStringList{"--page", "更改单", "--format", "json", "--events", "json"} + c.cli, true, kAsZhangwei);
        ASSERT_EQ(cli.exitCode, 0) << cli.dump();
        const auto answer = client.Post(pagePath("更改单", "/search"), c.body, "application/json");
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200) << answer->body;
        const QJsonObject envelope = json(answer).object();
        EXPECT_EQ(envelope.value("rows").toArray(), rowsOfCli(cli)) << c.body;
        const QJsonArray ids = envelope.value("ids").toArray();
        EXPECT_EQ(ids.size(), rowsOfCli(cli).size());
        if (ids.size() > 1) {
            EXPECT_NE(ids[0], ids[1]);
        }
        EXPECT_TRUE(envelope.value("status").toString().startsWith("操作提示")) << answer->body;
        EXPECT_TRUE(envelope.value("messages").isArray());
        EXPECT_EQ(answer->get_header_value("Cache-Control"), "private, no-store");
    }
    // A change order's listed row, by its id.
    const auto answer = client.Post(pagePath("更改单", "/search"), R"({"actions": [["set", "编制人", ""]]})", "application/json");
    const QJsonObject envelope = json(answer).object();
    ASSERT_FALSE(envelope.value("ids").toArray().isEmpty()) << answer->body;
    const std::string id = envelope.value("ids").toArray().at(0).toString().toStdString();
    const auto hit = client.Get("/api/hits/" + id);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->status, 200);
    EXPECT_EQ(json(hit).object().value("fields").toObject(), envelope.value("rows").toArray().at(0).toObject());
    for (const std::string bad : {"0123456789abcdef0123456789abcdef", "..%2F..%2Fetc%2Fpasswd", "x"})
        EXPECT_EQ(client.Get("/api/hits/" + bad)->status, 404) << bad;
}

TEST_F(WebServerTest, AFileDownloadedIsTheStoredFileAsThePageFetchesIt)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const ToolRun cli = run({"--page", "设计文档", "--set", "1254=0", "--dblclick", "0"}, true, kAsZhangwei);
    ASSERT_EQ(cli.exitCode, 0) << cli.dump();
    const QStringList opened = cli.errStartingWith("OPEN\t");
    ASSERT_EQ(opened.size(), 1) << cli.dump();
    QFile stored(opened.first().mid(5));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QByteArray bytes = stored.readAll();

    const auto answer = client.Post(pagePath("设计文档", "/search"), R"({"actions": [["set", "1254", "0"]]})", "application/json");
    ASSERT_TRUE(answer);
    const std::string id = json(answer).object().value("ids").toArray().at(0).toString().toStdString();
    const auto file = client.Get("/api/files/" + id);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->status, 200) << file->body;
    EXPECT_EQ(QByteArray::fromStdString(file->body), bytes);
    const QString name = QFileInfo(stored.fileName()).fileName();
    // The client library undoes the percent-escapes of header values: filename* reads as the name.
    EXPECT_EQ(file->get_header_value("Content-Disposition"),
              "attachment; filename=\"" + std::string(name.size() - name.section('.', -1).size() - 1, '_') + "."
                  + name.section('.', -1).toStdString() + "\"; filename*=UTF-8''" + name.toStdString());
    EXPECT_EQ(file->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_EQ(file->get_header_value("Cache-Control"), "private, no-store");
    EXPECT_EQ(file->get_header_value("X-Content-Type-Options"), "nosniff");
}

TEST_F(WebServerTest, WithoutAnIdentityEveryRequestIs401)
{
    const auto proxied = startWeb({"--trusted-proxy", "127.0.0.1"});
    ASSERT_TRUE(proxied->ok());
    httplib::Client client = proxied->client();
    for (const char* path : {"/", "/app.js", "/api/pages", "/api/hits/0123456789abcdef0123456789abcdef"})
        EXPECT_EQ(client.Get(path)->status, 401) << path;
    EXPECT_EQ(client.Post(pagePath("更改单", "/search"), "{}", "application/json")->status, 401);

    // The proxy's user, with the pages' defaults of that user.
    const auto described = client.Get(pagePath("设计任务"), {{"X-Remote-User", "lina"}});
    ASSERT_TRUE(described);
    ASSERT_EQ(described->status, 200);
    bool sawManager = false;
    for (const QJsonValue control : json(described).array())
        if (control.toObject().value("label").toString() == "负责人:") {
            EXPECT_EQ(control.toObject().value("value").toString(), "lina");
            sawManager = true;
        }
    EXPECT_TRUE(sawManager) << described->body;
    EXPECT_TRUE(proxied->logged(" lina GET /api/pages/设计任务 200")) << proxied->log().toStdString();

    // A row listed for one user is nobody else's.
    const auto listed = client.Post(pagePath("更改单", "/search"), {{"X-Remote-User", "lina"}},
                                    R"({"actions": [["set", "编制人", ""]]})", "application/json");
    ASSERT_TRUE(listed);
    const QJsonArray ids = json(listed).object().value("ids").toArray();
    ASSERT_FALSE(ids.isEmpty()) << listed->body;
    const std::string hit = "/api/hits/" + ids.at(0).toString().toStdString();
    EXPECT_EQ(client.Get(hit)->status, 401);
    EXPECT_EQ(client.Get(hit, {{"X-Remote-User", "wangqiang"}})->status, 404);
    EXPECT_EQ(client.Get(hit, {{"X-Remote-User", "lina"}})->status, 200);

    // A header from anywhere but the trusted proxy counts for nothing.
    const auto untrusted = startWeb({"--trusted-proxy", "127.0.0.9"});
    ASSERT_TRUE(untrusted->ok());
    EXPECT_EQ(untrusted->client().Get("/api/pages", {{"X-Remote-User", "lisi"}})->status, 401);
}

TEST_F(WebServerTest, TheLocalUserOnlyOnALoopbackAddress)
{
    const ToolRun refused = execute(webProgram(), {"--home", s_home->path(), "--listen", "0.0.0.0:0", "--local-user", "zhangwei"},
                                    true, {});
    EXPECT_EQ(refused.exitCode, 2) << refused.dump();
    EXPECT_TRUE(refused.err.join('\n').contains("loopback")) << refused.dump();
}

TEST_F(WebServerTest, ClientErrorsNameNoPathAndNoSql)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const struct {
        const char* body;
        int status;
    } cases[] = {
        {R"({"actions": [["set", "没有这个控件", "x"]]})", 400},
        {R"({"actions": [["tree", "NOPE::NOPE"]]})", 400},
        {R"({"actions": [["export", "/tmp/x.txt"]]})", 400},
        {"not json", 400},
    };
    for (const auto& c : cases) {
        const auto answer = client.Post(pagePath("更改单", "/search"), c.body, "application/json");
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status) << c.body << " " << answer->body;
        EXPECT_FALSE(json(answer).object().value("error").toString().isEmpty()) << answer->body;
        EXPECT_EQ(answer->body.find(s_home->path().toStdString()), std::string::npos) << answer->body;
        EXPECT_EQ(answer->body.find("SELECT"), std::string::npos) << answer->body;
    }
    // An encoded line break in the path stays inside its own log line.
    EXPECT_EQ(client.Get("/api/pages/x%0A2026-01-01T00:00:00Z%20127.0.0.1%20admin%20GET%20/")->status, 404);
    EXPECT_TRUE(server->logged("zhangwei GET /api/pages/x?2026-01-01T00:00:00Z 127.0.0.1 admin GET / 404"))
        << server->log().toStdString();
    // Percent signs in the path are logged as the client sent them, beside the status.
    EXPECT_EQ(client.Get("/api/pages/50%251%252")->status, 404);
    EXPECT_TRUE(server->logged("zhangwei GET /api/pages/50%1%2 404 ")) << server->log().toStdString();
}

TEST_F(WebServerTest, TheStaticPageCarriesItsPolicy)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    const auto page = server->client().Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("查找 : 产品数据"), std::string::npos);
    EXPECT_EQ(page->body.find("<script>"), std::string::npos) << "no inline script";
    const std::string policy = page->get_header_value("Content-Security-Policy");
    EXPECT_NE(policy.find("script-src 'self'"), std::string::npos) << policy;
    EXPECT_EQ(policy.find("unsafe-inline"), std::string::npos) << policy;
    EXPECT_EQ(page->get_header_value("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(server->client().Get("/app.js")->get_header_value("Content-Type"), "text/javascript; charset=utf-8");
}

// A client that sends part of its request and then nothing.
bool closedByServerWithin(int port, const char* partial, int seconds)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    ::send(fd, partial, std::strlen(partial), 0);
    pollfd watched{fd, POLLIN, 0};
    bool closed = false;
    if (::poll(&watched, 1, seconds * 1000) > 0) {
        char buffer[512];
        closed = ::recv(fd, buffer, sizeof buffer, 0) >= 0;   // the end, or the server's 408/400 first
    }
    ::close(fd);
    return closed;
}

TEST_F(WebServerTest, EachLimitHolds)
{
    const auto server = startLocal({"--max-body", "1024", "--read-timeout", "1", "--search-timeout", "0.001"});
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();

    // An oversized body is refused before anything runs.
    const std::string big = R"({"actions": [["set", "编制人", ")" + std::string(4000, 'x') + R"("]]})";
    const auto oversized = client.Post(pagePath("更改单", "/search"), big, "application/json");
    ASSERT_TRUE(oversized);
    EXPECT_EQ(oversized->status, 413);

    // A slow client is cut off once the read timeout has passed.
    EXPECT_TRUE(closedByServerWithin(server->port(), "GET /api/pages HTTP/1.1\r\nHost: x\r\n", 10));

    // A search longer than the limit (a millisecond: any search) is cancelled, and the server says so.
    const auto cancelled = client.Post(pagePath("更改单", "/search"), R"({"actions": []})", "application/json");
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->status, 504) << cancelled->body;
    EXPECT_TRUE(json(cancelled).object().value("error").toString().contains("已取消")) << cancelled->body;
    EXPECT_TRUE(server->logged("cancelled after")) << server->log().toStdString();
    // And the server goes on serving.
    EXPECT_EQ(client.Get("/api/pages")->status, 200);
}

} // namespace
} // namespace zq::test
