// What a newcomer meets at the edges of the programs' command lines: a wrong tree path or tab
// answered with the choices, a message that repeats the label the user typed, output that went
// nowhere (a full disk) reported as a failure, no warning of Qt's about XDG_RUNTIME_DIR, and the
// columns the page hides left out of zqpdm-search's output.
#include "SearchToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using zq::test::SearchTool;
using zq::test::ToolRun;

QString Binary(const char* name)
{
    return qEnvironmentVariable("ZQ_BINARY_DIR", QStringLiteral(".")) + QStringLiteral("/bin/") + QString::fromLatin1(name);
}

class CommandLineEdges : public SearchTool {
protected:
    // The program with its standard output sent to /dev/full, as the user's shell would.
    static ToolRun RunIntoFullDevice(const QString& program, const QStringList& arguments)
    {
        return execute(QStringLiteral("/bin/sh"),
                       QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" >/dev/full"), program} + arguments,
                       true, {});
    }
};

TEST_F(CommandLineEdges, AWrongTreePathOrTabListsTheChoices)
{
    const struct {
        QStringList arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--page", "设计零部件", "--tree", "ZQ9999"}, 2,
         "--tree ZQ9999: the product tree has no item at ZQ9999 (products: ZQ8600, ZQ8700, ZQ8800)"},
        {{"--page", "设计零部件", "--tree", "ZQ8600::NOPE"}, 2, "(below ZQ8600: GB5783-M8X20, ZQ8600-01, ZQ8600-02, ZQ8600-03)"},
        {{"--page", "设计零部件", "--tree", "ZQ8600::ZQ8600-01::NOPE"}, 2, "(below ZQ8600::ZQ8600-01: "},
    };
    for (const auto& c : cases) {
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.dump();
        EXPECT_TRUE(r.err.join(u'\n').contains(QString::fromUtf8(c.message))) << r.dump();
    }

    const QString client = Binary("zqpdm-client");
    if (!QFile::exists(client))
        GTEST_SKIP() << "zqpdm-client is not built";
    const struct {
        QStringList arguments;
        int exitCode;
        const char* message;
    } clientCases[] = {
        {{"--tab", "不存在", "--screenshot", s_home->filePath("s.png")}, 3,
         "the search window has no tab \"不存在\" (the tabs are: 设计零部件, "},
        {{"--tree", "ZQ9999", "--window-screenshot", s_home->filePath("w.png")}, 4,
         "the product tree has no item ZQ9999 (products: ZQ8600, ZQ8700, ZQ8800)"},
    };
    for (const auto& c : clientCases) {
        const ToolRun r = execute(client, QStringList{QStringLiteral("--home"), s_home->path()} + c.arguments, true, {});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.dump();
        EXPECT_TRUE(r.err.join(u'\n').contains(QString::fromUtf8(c.message))) << r.dump();
    }
}

// The option is repeated as the user wrote it: a control named by its label keeps its label.
TEST_F(CommandLineEdges, AMessageRepeatsTheLabelTheUserTyped)
{
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"--page 设计零部件 --set 日期=2026-02-30", "--set 日期=2026-02-30: \"2026-02-30\" is not a date"},
        {"--page 设计零部件 --set 1204=2026-02-30", "--set 1204=2026-02-30: \"2026-02-30\" is not a date"},
        {"--page 设计零部件 --set 条件=7", "--set 条件=7: combo 1256"},
    };
    for (const auto& c : cases) {
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments;
        EXPECT_TRUE(r.err.join(u'\n').contains(QString::fromUtf8(c.message))) << r.dump();
    }
}

// The export's message stays as the page gives it; the system's reason follows it in the ERROR
// line (the message box's detail), in either event format.
TEST_F(CommandLineEdges, AnExportThatCannotOpenItsFileGivesTheSystemsReason)
{
    const QString target = QStringLiteral("/nonexistent-folder/x.txt");
    const ToolRun text = run({QStringLiteral("--page"), QStringLiteral("设计零部件"), QStringLiteral("--export"), target});
    EXPECT_EQ(text.exitCode, 1) << text.dump();
    // The reason in the user's language, as Qt gives it ("此文件或目录不存在").
    const QStringList errors = text.errStartingWith(QStringLiteral("ERROR\t"));
    ASSERT_EQ(errors.size(), 1) << text.dump();
    const QStringList fields = errors.first().split(u'\t');
    ASSERT_EQ(fields.size(), 4) << text.dump();
    EXPECT_EQ(fields[1], QStringLiteral("--export %1:1").arg(target));
    EXPECT_EQ(fields[2], QStringLiteral("不能打开文件 ") + target);
    EXPECT_FALSE(fields[3].isEmpty());
    const ToolRun json = run({QStringLiteral("--page"), QStringLiteral("设计零部件"), QStringLiteral("--export"), target,
                              QStringLiteral("--events"), QStringLiteral("json")});
    QJsonObject error;
    for (const QString& line : json.err)
        if (const QJsonObject event = QJsonDocument::fromJson(line.toUtf8()).object(); event[u"event"].toString() == u"ERROR")
            error = event;
    EXPECT_EQ(error[u"reason"].toString(), QStringLiteral("不能打开文件 ") + target) << json.dump();
    EXPECT_EQ(error[u"detail"].toString(), fields[3]) << json.dump();
}

// Help or a report that went nowhere is no success; and no run prints Qt's XDG_RUNTIME_DIR warning
// (every run here goes without XDG_RUNTIME_DIR).
TEST_F(CommandLineEdges, OutputToAFullDeviceFailsAndNoRunWarnsOfTheRuntimeFolder)
{
    QTemporaryDir fresh;
    ASSERT_TRUE(fresh.isValid());
    const struct {
        const char* program;
        QStringList arguments;
    } cases[] = {
        {"zqpdm-search", {"--help"}},
        {"zqpdm-index", {"--help"}},
        {"pdm-seed", {"--help"}},
        {"zqpdm-client", {"--help"}},
        {"zqpdm-index", {"--home", s_home->path()}},
        {"pdm-seed", {"--home", fresh.filePath("demo")}},
    };
    for (const auto& c : cases) {
        const QString program = Binary(c.program);
        if (!QFile::exists(program))
            continue;
        const std::string what = (QString::fromLatin1(c.program) + u' ' + c.arguments.join(u' ')).toStdString();
        const ToolRun full = RunIntoFullDevice(program, c.arguments);
        EXPECT_NE(full.exitCode, 0) << what << "\n" << full.dump();
        EXPECT_TRUE(full.err.join(u'\n').contains(QStringLiteral("No space left on device"))) << what << "\n" << full.dump();

        const ToolRun plain = execute(program, c.arguments, true, {});
        EXPECT_FALSE(plain.err.join(u'\n').contains(QStringLiteral("XDG_RUNTIME_DIR"))) << what << "\n" << plain.dump();
    }
}

// Under the old-code switch the page hides 旧图号 (no header, no width); the user does not see its
// values, and zqpdm-search writes none of them, in any format.
TEST_F(CommandLineEdges, TheHiddenOldCodeColumnIsLeftOutOfEveryFormat)
{
    const QStringList search{QStringLiteral("--page"), QStringLiteral("设计零部件"), QStringLiteral("--cell"),
                             QStringLiteral("1318:0=ZQ8600-01-02"), QStringLiteral("--format")};
    const QStringList oldCode{QStringLiteral("ZQPDM_OLDCODE=1")};
    const QString hiddenValue = QStringLiteral("JQ8600.01.02");
    for (const char* format : {"tsv", "csv"}) {
        const ToolRun r = run(search + QStringList{QString::fromLatin1(format)}, true, oldCode);
        ASSERT_EQ(r.exitCode, 0) << r.dump();
        ASSERT_FALSE(r.out.isEmpty());
        const QChar separator = QLatin1String(format) == QLatin1String("tsv") ? u'\t' : u',';
        EXPECT_EQ(r.out.first().chopped(QLatin1String(format) == QLatin1String("csv") ? 1 : 0), QStringList({"零部件图号", "零部件图名", "所在产品", "产品名称", "来源类型"}).join(separator))
            << format;
        EXPECT_FALSE(QString::fromUtf8(r.output).contains(hiddenValue)) << format;
    }
    const ToolRun json = run(search + QStringList{QStringLiteral("json")}, true, oldCode);
    ASSERT_EQ(json.exitCode, 0) << json.dump();
    const QJsonArray rows = QJsonDocument::fromJson(json.output).array();
    ASSERT_FALSE(rows.isEmpty()) << json.dump();
    for (const QJsonValue& row : rows)
        EXPECT_EQ(row.toObject().keys(), QStringList({"产品名称", "所在产品", "来源类型", "零部件图号", "零部件图名"}));
    // Without the switch the column is there, values and all.
    const ToolRun shown = run(search + QStringList{QStringLiteral("tsv")});
    EXPECT_TRUE(QString::fromUtf8(shown.output).contains(hiddenValue)) << shown.dump();
}

} // namespace
