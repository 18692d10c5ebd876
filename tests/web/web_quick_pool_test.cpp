// The quick search the server runs on its own threads and connections: many at once answer what
// zqpdm-search --quick answers, and a database that goes away between two requests is a clear
// error on the one that meets it and served again once it is back.
#include "PgServerFaults.h"
#include "SeededHome.h"
#include "WebServerFixture.h"

#include <QJsonArray>
#include <QJsonObject>
#include <mutex>
#include <thread>

namespace zq::test {
namespace {

struct QuickCase {
    QString text;
    QString kinds;
};

const QuickCase kCases[] = {
    {"ZQ8600-01", ""},
    {"zq8600 01", "设计零部件"},
    {"箱体", ""},
    {"ZQ86", "设计零部件,更改单"},
    {"ZQ8600-01", "文档内容"},
    {"没有这种东西", ""},
};

std::string quickPath(const QuickCase& c)
{
    std::string path = "/api/quick?q=" + QUrl::toPercentEncoding(c.text).toStdString();
    if (!c.kinds.isEmpty())
        path += "&kind=" + QUrl::toPercentEncoding(c.kinds).toStdString();
    return path;
}

// What a client compares of an envelope: everything but the ids, which are new each time.
QJsonObject withoutIds(const QByteArray& body)
{
    QJsonObject envelope = QJsonDocument::fromJson(body).object();
    envelope.remove(QStringLiteral("ids"));
    return envelope;
}

// An answer 503 whose text names neither a path nor the database's address.
void expectClearDatabaseError(const httplib::Result& answer, const char* when)
{
    ASSERT_TRUE(answer) << when;
    EXPECT_EQ(answer->status, 503) << when << ": " << answer->body;
    const QString error = QJsonDocument::fromJson(QByteArray::fromStdString(answer->body)).object().value("error").toString();
    EXPECT_TRUE(error.contains(QStringLiteral("数据库"))) << when << ": " << answer->body;
    EXPECT_FALSE(error.contains(u'/') || error.contains(QStringLiteral("sqlite")) || error.contains(QStringLiteral("postgres")))
        << when << ": " << answer->body;
}

TEST_F(WebServerTest, QuickSearchesFromManyThreadsAnswerAsTheCommandLine)
{
    // Each case as the command line lists it, and as a server running quick searches in worker
    // processes answers it.
    QList<QJsonObject> expected;
    const auto reference = startLocal({QStringLiteral("--quick-threads"), QStringLiteral("0")});
    ASSERT_TRUE(reference->ok());
    for (const QuickCase& c : kCases) {
        QStringList arguments{"--quick", c.text, "--format", "json", "--events", "json"};
        if (!c.kinds.isEmpty())
            arguments << "--kind" << c.kinds;
        const ToolRun cli = run(arguments, true, {QStringLiteral("ZQPDM_USER=zhangwei")});
        ASSERT_EQ(cli.exitCode, 0) << cli.dump();
        const auto answer = reference->client().Get(quickPath(c));
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200) << answer->body;
        expected.append(withoutIds(QByteArray::fromStdString(answer->body)));
        EXPECT_EQ(expected.last().value("rows").toArray(), QJsonDocument::fromJson(cli.output).array()) << c.text.toStdString();
    }

    const auto server = startLocal({QStringLiteral("--quick-threads"), QStringLiteral("2")});
    ASSERT_TRUE(server->ok());
    constexpr int kUsers = 6;
    constexpr int kRounds = 3;
    std::mutex mutex;
    QStringList mismatches;
    std::vector<std::thread> users;
    for (int user = 0; user < kUsers; ++user) {
        users.emplace_back([&, user] {
            httplib::Client client = server->client();
            for (int i = 0; i < kRounds * int(std::size(kCases)); ++i) {
                const int at = (i + user) % int(std::size(kCases));
                const auto answer = client.Get(quickPath(kCases[at]));
                const bool same = answer && answer->status == 200
                    && withoutIds(QByteArray::fromStdString(answer->body)) == expected[at];
                if (!same) {
                    const std::lock_guard lock(mutex);
                    mismatches.append(kCases[at].text + QStringLiteral(": ")
                                      + (answer ? QString::fromStdString(answer->body).left(200) : QStringLiteral("no answer")));
                }
            }
        });
    }
    for (std::thread& user : users)
        user.join();
    EXPECT_EQ(mismatches, QStringList());
}

TEST_F(WebServerTest, ASqliteFileMovedAwayIsAClearErrorThenServedAgain)
{
    const auto server = startLocal();
    ASSERT_TRUE(server->ok());
    httplib::Client client = server->client();
    const QuickCase drawing{"ZQ8600-01", ""};
    const auto before = client.Get(quickPath(drawing));
    ASSERT_TRUE(before);
    ASSERT_EQ(before->status, 200) << before->body;

    const QString database = s_home->path() + QStringLiteral("/pdm.db");
    const QString away = database + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(database, away));
    expectClearDatabaseError(client.Get(quickPath(drawing)), "moved away");
    expectClearDatabaseError(client.Get("/api/suggest?q=ZQ86"), "suggestions, moved away");
    EXPECT_FALSE(QFile::exists(database)) << "no empty database is made in its place";
    ASSERT_TRUE(QFile::rename(away, database));

    const auto after = client.Get(quickPath(drawing));
    ASSERT_TRUE(after);
    ASSERT_EQ(after->status, 200) << after->body;
    EXPECT_EQ(withoutIds(QByteArray::fromStdString(after->body)), withoutIds(QByteArray::fromStdString(before->body)));
}

TEST_F(WebServerTest, APostgresqlServerStoppedIsAClearErrorAndARestartIsNotNoticed)
{
    if (!PrivatePgServer::Available())
        GTEST_SKIP() << "no PostgreSQL server programs";
    PrivatePgServer postgres;
    ASSERT_TRUE(postgres.ok()) << postgres.error().toStdString();
    ASSERT_TRUE(postgres.createDatabase(QStringLiteral("pdm"))) << postgres.error().toStdString();
    SeededHome::Options options;
    options.databaseUrl = postgres.url(QStringLiteral("pdm"));
    options.setEnvironment = false;
    SeededHome home(options);
    ASSERT_TRUE(home.ok()) << home.error().toStdString();

    RunningWebServer server(start(webProgram(),
                                  {QStringLiteral("--home"), home.home(), QStringLiteral("--db"), home.databaseUrl(),
                                   QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--local-user"),
                                   QStringLiteral("zhangwei")},
                                  true, {}));
    ASSERT_TRUE(server.ok());
    httplib::Client client = server.client();
    const QuickCase drawing{"ZQ8600-01", "设计零部件"};
    const auto before = client.Get(quickPath(drawing));
    ASSERT_TRUE(before);
    ASSERT_EQ(before->status, 200) << before->body;
    const QJsonObject listed = withoutIds(QByteArray::fromStdString(before->body));
    EXPECT_FALSE(listed.value("rows").toArray().isEmpty());

    // Restarted between two requests: the next one connects anew and is answered.
    ASSERT_TRUE(postgres.stop()) << postgres.error().toStdString();
    ASSERT_TRUE(postgres.start()) << postgres.error().toStdString();
    const auto restarted = client.Get(quickPath(drawing));
    ASSERT_TRUE(restarted);
    EXPECT_EQ(restarted->status, 200) << restarted->body;
    EXPECT_EQ(withoutIds(QByteArray::fromStdString(restarted->body)), listed);

    // Stopped: a clear error; started again: served.
    ASSERT_TRUE(postgres.stop()) << postgres.error().toStdString();
    expectClearDatabaseError(client.Get(quickPath(drawing)), "stopped");
    ASSERT_TRUE(postgres.start()) << postgres.error().toStdString();
    const auto after = client.Get(quickPath(drawing));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200) << after->body;
    EXPECT_EQ(withoutIds(QByteArray::fromStdString(after->body)), listed);
    EXPECT_TRUE(server.logged(QStringLiteral("error: database:"))) << server.log().toStdString();
}

} // namespace
} // namespace zq::test
