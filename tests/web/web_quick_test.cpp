// The quick search, the list check, the suggestions and the preview pictures of zqpdm-web over
// real HTTP on the seeded installation: what zqpdm-search --quick gives, and the limits.
#include "WebServerFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QtEndian>

namespace zq::test {
namespace {

const QStringList kAsZhangwei{QStringLiteral("ZQPDM_USER=zhangwei")};

std::string quickPath(const QString& text, const QString& kinds = {})
{
    std::string path = "/api/quick?q=" + QUrl::toPercentEncoding(text).toStdString();
    if (!kinds.isEmpty())
        path += "&kind=" + QUrl::toPercentEncoding(kinds).toStdString();
    return path;
}

// The STATUS event's counts of a zqpdm-search run with --events json.
QJsonObject cliCounts(const ToolRun& run)
{
    const QStringList status = run.errStartingWith(QStringLiteral("{\"event\":\"STATUS\""));
    return QJsonDocument::fromJson(status.value(0).toUtf8()).object().value("counts").toObject();
}

TEST_F(WebServerTest, TheQuickSearchListsWhatTheCommandLineLists)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const struct {
        QString text;
        QString kinds;
    } cases[] = {
        {"ZQ8600-01", ""},
        {"ZQ8600-01", "设计零部件,更改单"},
        {"zq8600 01", "设计零部件"},
        {"没有这种东西", ""},
    };
    for (const auto& c : cases) {
        QStringList arguments{"--quick", c.text, "--format", "json", "--events", "json"};
        if (!c.kinds.isEmpty())
            arguments << "--kind" << c.kinds;
        const ToolRun cli = run(arguments, true, kAsZhangwei);
        ASSERT_EQ(cli.exitCode, 0) << cli.dump();
        const auto answer = client.Get(quickPath(c.text, c.kinds));
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200) << answer->body;
        const QJsonObject envelope = json(answer).object();
        const QJsonArray rows = envelope.value("rows").toArray();
        EXPECT_EQ(rows, QJsonDocument::fromJson(cli.output).array()) << c.text.toStdString();
        EXPECT_EQ(envelope.value("counts").toObject(), cliCounts(cli)) << answer->body;
        EXPECT_EQ(envelope.value("ids").toArray().size(), rows.size());
        EXPECT_FALSE(envelope.value("status").toString().isEmpty());
        EXPECT_TRUE(envelope.value("messages").isArray());
    }
    // The part itself comes first; its id gives its row back.
    const QJsonObject envelope = json(client.Get(quickPath("ZQ8600-01"))).object();
    const QJsonObject first = envelope.value("rows").toArray().at(0).toObject();
    EXPECT_EQ(first.value("编号").toString(), "ZQ8600-01");
    EXPECT_EQ(first.value("匹配").toString(), "编号相同");
    const auto hit = client.Get("/api/hits/" + envelope.value("ids").toArray().at(0).toString().toStdString());
    ASSERT_TRUE(hit);
    EXPECT_EQ(json(hit).object().value("fields").toObject(), first) << hit->body;
    EXPECT_EQ(json(hit).object().value("page").toString(), "设计零部件");
}

TEST_F(WebServerTest, AListOfCodesIsCheckedLineByLine)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    const QByteArray list = "ZQ8600-01\nNOPE-404\nZQ8600-02\r\nXX-1\nZQ8600-03\n";
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(list);
    file.flush();
    const ToolRun cli = run({"--quick-list", file.fileName(), "--format", "json", "--events", "json"}, true, kAsZhangwei);
    ASSERT_EQ(cli.exitCode, 0) << cli.dump();

    const auto answer = server->client().Post("/api/quick-list", list.toStdString(), "text/plain");
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->status, 200) << answer->body;
    const QJsonObject envelope = json(answer).object();
    const QJsonArray rows = envelope.value("rows").toArray();
    EXPECT_EQ(rows, QJsonDocument::fromJson(cli.output).array());
    EXPECT_EQ(envelope.value("counts").toObject(), (QJsonObject{{"找到", 3}, {"未找到", 2}})) << answer->body;
    // A line found nowhere has no id; every hit has one.
    const QJsonArray ids = envelope.value("ids").toArray();
    ASSERT_EQ(ids.size(), rows.size());
    int notFound = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const bool missing = rows[i].toObject().value("类别").toString() == "未找到";
        notFound += missing ? 1 : 0;
        EXPECT_EQ(ids[i].toString().isEmpty(), missing) << i;
    }
    EXPECT_EQ(notFound, 2);
}

TEST_F(WebServerTest, SuggestionsAreCodesThatHoldTheText)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const struct {
        const char* text;
        bool some;
    } cases[] = {{"ZQ", false}, {"  Z ", false}, {"ZQ8600", true}, {"zq8600-0", true}, {"无此编号啊", false}};
    for (const auto& c : cases) {
        const auto answer = client.Get("/api/suggest?q=" + QUrl::toPercentEncoding(c.text).toStdString());
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200) << answer->body;
        const QJsonArray suggestions = json(answer).object().value("suggestions").toArray();
        EXPECT_EQ(!suggestions.isEmpty(), c.some) << c.text << " " << answer->body;
        EXPECT_LE(suggestions.size(), 10);
        QStringList codes;
        for (const QJsonValue suggestion : suggestions) {
            QString code = suggestion.toObject().value("code").toString();
            EXPECT_FALSE(codes.contains(code)) << "once each: " << code.toStdString();
            codes.append(code);
            EXPECT_TRUE(code.remove('-').contains(QString::fromUtf8(c.text).remove('-'), Qt::CaseInsensitive)) << answer->body;
        }
    }
    // The exact code first.
    const QJsonArray exact = json(client.Get("/api/suggest?q=ZQ8600-01")).object().value("suggestions").toArray();
    EXPECT_EQ(exact.at(0).toObject().value("code").toString(), "ZQ8600-01");
}

// Width and height of a PNG's IHDR chunk; {0, 0} when the bytes are no PNG.
std::pair<quint32, quint32> pngSize(const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    return {qFromBigEndian<quint32>(bytes.data() + 16), qFromBigEndian<quint32>(bytes.data() + 20)};
}

TEST_F(WebServerTest, AQuickHitShowsItsPreviewAndItsFileFromItsTab)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();

    // A part: found on 设计零部件, drawn as the preview pane shows it; the second time from memory.
    const QJsonObject parts = json(client.Get(quickPath("ZQ8600-01", "设计零部件"))).object();
    const std::string part = parts.value("ids").toArray().at(0).toString().toStdString();
    const auto picture = client.Get("/api/preview/" + part + ".png");
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->status, 200) << picture->body;
    EXPECT_EQ(picture->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(picture->get_header_value("Cache-Control"), "private, no-store");
    EXPECT_EQ(picture->get_header_value("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(pngSize(picture->body), (std::pair<quint32, quint32>{800, 600}));
    EXPECT_EQ(client.Get("/api/preview/" + part + ".png")->body, picture->body);

    // A document: its stored file is the one the tab's double-click fetches.
    const QJsonObject documents = json(client.Get(quickPath("ZQ8600-01-02", "设计文档"))).object();
    ASSERT_FALSE(documents.value("ids").toArray().isEmpty()) << documents.value("status").toString().toStdString();
    const QString fileName = documents.value("rows").toArray().at(0).toObject().value("说明").toString().section(' ', 1);
    const auto file = client.Get("/api/files/" + documents.value("ids").toArray().at(0).toString().toStdString());
    ASSERT_TRUE(file);
    ASSERT_EQ(file->status, 200) << file->body;
    EXPECT_NE(file->get_header_value("Content-Disposition").find(fileName.toStdString()), std::string::npos)
        << file->get_header_value("Content-Disposition");
    EXPECT_FALSE(file->body.empty());

    // A content hit opens on its tab with the words it was found by, so its file has a picture too.
    const QJsonObject content = json(client.Get(quickPath("ZQ8600-01", "文档内容"))).object();
    // The seeded installation's stored files are indexed when the indexer is built.
    EXPECT_EQ(content.value("ids").toArray().isEmpty(), !QFile::exists(indexProgram())) << content.value("status").toString().toStdString();
    if (!content.value("ids").toArray().isEmpty()) {
        const auto picture = client.Get("/api/preview/" + content.value("ids").toArray().at(0).toString().toStdString() + ".png");
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->status, 200) << picture->body;
        EXPECT_EQ(picture->get_header_value("Content-Type"), "image/png");
    }
    // Nothing to show: an id never given, a row without a picture.
    EXPECT_EQ(client.Get("/api/preview/0123456789abcdef0123456789abcdef.png")->status, 404);
    EXPECT_EQ(client.Get("/api/preview/" + part)->status, 404);
}

TEST_F(WebServerTest, QuickRequestsOutsideTheLimitsAreRefused)
{
    const auto server = startLocal({"--max-body", "4096"});
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const struct {
        std::string path;
        int status;
    } gets[] = {
        {"/api/quick", 400},
        {"/api/quick?q=%20%20", 400},
        {"/api/quick?q=" + std::string(201, 'A'), 400},
        {"/api/quick?q=ZQ%0A8600", 400},
        {"/api/quick?q=ZQ8600&kind=%E6%B2%A1%E6%9C%89", 400},   // a kind the quick search does not know
        {"/api/quick?q=ZQ8600&kind=,", 400},
        {"/api/quick?q=--help", 400},                           // the worker would print its help
        {"/api/quick?q=--kind", 200},                           // text, not an option
        {"/api/suggest", 200},
    };
    for (const auto& c : gets) {
        const auto answer = client.Get(c.path);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status) << c.path << " " << answer->body;
        if (c.status != 200) {
            EXPECT_FALSE(json(answer).object().value("error").toString().isEmpty()) << answer->body;
        }
    }
    const struct {
        std::string body;
        int status;
    } lists[] = {
        {"", 400},
        {"\n\n  \n", 400},
        {std::string(5000, 'A'), 413},
        {[] { std::string many; for (int i = 0; i < 1001; ++i) many += "A\n"; return many; }(), 400},
        {std::string("ZQ8600-01\0x", 11), 400},
    };
    for (const auto& c : lists) {
        const auto answer = client.Post("/api/quick-list", c.body, "text/plain");
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status) << c.body.substr(0, 20) << " " << answer->body;
    }
    EXPECT_EQ(client.Get("/api/pages")->status, 200);
}

} // namespace
} // namespace zq::test
