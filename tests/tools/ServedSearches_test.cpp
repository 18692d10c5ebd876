// zqpdm-search --serve: searches asked one after another of one process answer exactly what a run
// of their own answers — nothing one search set (its user, its settings folder, a page's state, a
// failure) reaches the next — and the request lines are read strictly.
#include "SearchCommandLine.h"
#include "SearchToolFixture.h"
#include "ServeRequest.h"

#include <QProcess>

namespace zq::test {
namespace {

using zq::tool::ParseServeAnswer;
using zq::tool::ParseServeRequest;
using zq::tool::ServeRequest;

class ServedSearches : public SearchTool {
protected:
    struct Asked {
        QStringList arguments;   // before --home and --today
        QList<QPair<QString, QString>> environment;
    };

    QStringList withInstallation(QStringList arguments) const
    {
        if (!arguments.contains(QStringLiteral("--help")))
            arguments << QStringLiteral("--home") << s_home->path() << QStringLiteral("--today")
                      << QStringLiteral("2026-03-01");
        return arguments;
    }

    // The same search as a run of its own.
    ToolRun alone(const Asked& asked) const
    {
        QStringList entries;
        for (const auto& [name, value] : asked.environment)
            entries.append(name + u'=' + value);
        return execute(program(), withInstallation(asked.arguments), true, entries);
    }

    // Every search asked in turn of one --serve process.
    QList<ToolRun> served(const QList<Asked>& searches) const
    {
        const std::unique_ptr<QProcess> server = start(program(), {QStringLiteral("--serve")}, true, {});
        EXPECT_TRUE(server->waitForStarted());
        QList<ToolRun> runs;
        for (qsizetype i = 0; i < searches.size(); ++i) {
            ServeRequest request;
            request.arguments = withInstallation(searches[i].arguments);
            request.environment = searches[i].environment;
            request.standardOutput = m_folder.filePath(QStringLiteral("out-%1").arg(i));
            request.standardError = m_folder.filePath(QStringLiteral("err-%1").arg(i));
            server->write(request.line());
            ToolRun run;
            while (!server->canReadLine() && server->waitForReadyRead(120000)) {}
            const std::optional<int> exit = ParseServeAnswer(server->readLine());
            run.exitCode = exit.value_or(-1);
            QFile output(request.standardOutput);
            QFile errors(request.standardError);
            EXPECT_TRUE(output.open(QIODevice::ReadOnly) && errors.open(QIODevice::ReadOnly));
            run.output = output.readAll();
            run.out = linesOf(run.output);
            run.err = linesOf(errors.readAll());
            runs.append(run);
        }
        server->closeWriteChannel();
        EXPECT_TRUE(server->waitForFinished(30000));
        EXPECT_EQ(server->exitCode(), 0);
        return runs;
    }

    QTemporaryDir m_folder;
};

TEST_F(ServedSearches, AnswerEachSearchAsARunOfItsOwnWould)
{
    const QString settingsA = m_folder.filePath(QStringLiteral("config-a"));
    const QString settingsB = m_folder.filePath(QStringLiteral("config-b"));
    const auto words = [](const char* line) { return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts); };
    const QList<Asked> searches{
        {words("--page 更改单 --format json --events json"), {{QStringLiteral("ZQPDM_USER"), QStringLiteral("zhangwei")}}},
        {words("--page 更改单 --format json --events json"), {}},
        {words("--page 设计零部件 --set 条件=明细 --cell 1318:图号=ZQ8600-01 --format csv"), {}},
        {{QStringLiteral("--quick"), QStringLiteral("zq8600 01")}, {}},
        {words("--page 设计任务 --format json"), {{QStringLiteral("ZQPDM_USER"), QStringLiteral("lina")}}},
        {words("--page 不存在"), {}},
        {words("--page 设计零部件 --set 条件=没有这一项"), {}},
        {words("--help"), {}},
        {words("--page 更改单 --set 从=2026-02-01 --save 二月起"), {{QStringLiteral("XDG_CONFIG_HOME"), settingsA}}},
        {words("--list-saved"), {{QStringLiteral("XDG_CONFIG_HOME"), settingsA}}},
        {words("--list-saved"), {{QStringLiteral("XDG_CONFIG_HOME"), settingsB}}},
        {words("--page 更改单 --format json --events json"), {{QStringLiteral("ZQPDM_USER"), QStringLiteral("zhangwei")}}},
        // A trace asked for, then none; another database, then the installation's again.
        {words("--page 更改单 --trace-sql"), {}},
        {words("--page 更改单 --events json --trace-sql"), {}},
        {words("--page 更改单"), {}},
        {words("--page 更改单 --db sqlite:/nonexistent/none.db"), {}},
        {words("--page 更改单 --format json"), {}},
        {{QStringLiteral("--serve")}, {}},
    };
    // Alone, the saved search is made by the run before the list; served, by the search before.
    QList<ToolRun> expected;
    for (const Asked& asked : searches)
        expected.append(alone(asked));
    QDir(settingsA).removeRecursively();
    const QList<ToolRun> runs = served(searches);
    ASSERT_EQ(runs.size(), searches.size());
    for (qsizetype i = 0; i < searches.size(); ++i) {
        SCOPED_TRACE(searches[i].arguments.join(u' ').toStdString());
        EXPECT_EQ(runs[i].exitCode, expected[i].exitCode);
        EXPECT_EQ(runs[i].output, expected[i].output);
        EXPECT_EQ(runs[i].err, expected[i].err);
    }
    // The cases say what they are meant to: two users see different lists, the saved search is
    // seen only with its own settings, a trace ends with its search, the last request is refused.
    EXPECT_NE(runs[0].output, runs[1].output);
    EXPECT_TRUE(runs[9].output.contains("二月起"));
    EXPECT_FALSE(runs[10].output.contains("二月起"));
    EXPECT_EQ(runs[5].exitCode, 1);
    EXPECT_EQ(runs[6].exitCode, 2);
    EXPECT_EQ(runs.last().exitCode, 2);
    EXPECT_FALSE(runs[12].errStartingWith(QStringLiteral("SQL: ")).isEmpty());
    EXPECT_FALSE(runs[13].errStartingWith(QStringLiteral("{\"event\":\"SQL\"")).isEmpty());
    EXPECT_TRUE(runs[14].errStartingWith(QStringLiteral("SQL: ")).isEmpty());
    EXPECT_EQ(runs[15].exitCode, 1);
    EXPECT_EQ(runs[16].exitCode, 0);
}

TEST_F(ServedSearches, AnswerALineThatIsNoRequestWithTwoAndGoOn)
{
    const std::unique_ptr<QProcess> server = start(program(), {QStringLiteral("--serve")}, true, {});
    ServeRequest request;
    request.arguments = withInstallation({QStringLiteral("--page"), QStringLiteral("更改单")});
    request.standardOutput = m_folder.filePath(QStringLiteral("out"));
    request.standardError = m_folder.filePath(QStringLiteral("err"));
    server->write("not json\n{\"arguments\": [], \"environment\": {\"LD_PRELOAD\": \"x\"}, \"stdout\": \"/tmp/a\", "
                  "\"stderr\": \"/tmp/b\"}\n" + request.line());
    QList<QByteArray> answers;
    while (answers.size() < 3 && server->waitForReadyRead(120000))
        while (server->canReadLine())
            answers.append(server->readLine());
    EXPECT_EQ(answers, (QList<QByteArray>{"{\"exit\":2}\n", "{\"exit\":2}\n", "{\"exit\":0}\n"}));
    server->closeWriteChannel();
    EXPECT_TRUE(server->waitForFinished(30000));
    EXPECT_EQ(server->exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(server->readAllStandardError()).contains(QStringLiteral("LD_PRELOAD")));
}

TEST(ServeRequest, IsReadStrictly)
{
    const struct {
        const char* line;
        bool taken;
    } cases[] = {
        {R"({"arguments": ["--page", "更改单"], "environment": {"ZQPDM_USER": "张伟"}, "stdout": "/o", "stderr": "/e"})", true},
        {R"({"arguments": [], "stdout": "/o", "stderr": "/e"})", true},
        {R"({"arguments": ["--page", 1], "stdout": "/o", "stderr": "/e"})", false},
        {R"({"arguments": "--page", "stdout": "/o", "stderr": "/e"})", false},
        {R"({"arguments": [], "stdout": "o", "stderr": "/e"})", false},
        {R"({"arguments": [], "stdout": "/o"})", false},
        {R"({"arguments": [], "environment": {"PATH": "/x"}, "stdout": "/o", "stderr": "/e"})", false},
        {R"({"arguments": [], "environment": {"TMPDIR": 3}, "stdout": "/o", "stderr": "/e"})", false},
        {R"({"arguments": [], "environment": [], "stdout": "/o", "stderr": "/e"})", false},
        {R"(["--page"])", false},
        {"", false},
    };
    for (const auto& c : cases) {
        QString why;
        const std::optional<ServeRequest> request = ParseServeRequest(QByteArray(c.line), &why);
        EXPECT_EQ(request.has_value(), c.taken) << c.line;
        EXPECT_EQ(why.isEmpty(), c.taken) << c.line;
        if (request) {
            const std::optional<ServeRequest> again = ParseServeRequest(request->line());
            ASSERT_TRUE(again) << c.line;
            EXPECT_EQ(again->arguments, request->arguments);
            EXPECT_EQ(again->environment, request->environment);
        }
    }
    EXPECT_FALSE(ParseServeRequest(QByteArray(zq::tool::kMaxServeRequestBytes + 1, ' ')));

    const struct {
        const char* line;
        std::optional<int> exit;
    } answers[] = {{"{\"exit\":0}\n", 0}, {"{\"exit\": 3}", 3}, {"{\"exit\":255}", 255}, {"{\"exit\":256}", {}},
                   {"{\"exit\":-1}", {}}, {"{\"exit\":2.5}", {}}, {"{\"exit\":\"0\"}", {}}, {"{}", {}}, {"0", {}}};
    for (const auto& a : answers)
        EXPECT_EQ(ParseServeAnswer(a.line), a.exit) << a.line;
}

TEST(ServeRequest, ServeStandsAloneOnTheCommandLine)
{
    using zq::tool::ParseResult;
    const auto parse = [](const QStringList& arguments) { return zq::tool::SearchCommandLine::parse(arguments).status; };
    EXPECT_EQ(parse({QStringLiteral("--serve")}), ParseResult::Status::Serve);
    EXPECT_EQ(parse({QStringLiteral("--serve"), QStringLiteral("--page"), QStringLiteral("更改单")}), ParseResult::Status::Usage);
    EXPECT_EQ(parse({QStringLiteral("--page"), QStringLiteral("更改单"), QStringLiteral("--serve")}), ParseResult::Status::Usage);
    // As the value of an option it is that value.
    EXPECT_EQ(parse({QStringLiteral("--quick"), QStringLiteral("--serve")}), ParseResult::Status::Ok);
}

} // namespace
} // namespace zq::test
