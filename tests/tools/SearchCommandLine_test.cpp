// The zqpdm-search argument parser: every option, bad values, and where the implicit Find goes.
#include "SearchCommandLine.h"

#include <algorithm>
#include <gtest/gtest.h>

using zq::tool::Action;
using zq::tool::ActionKind;
using zq::tool::ParseResult;
using zq::tool::SearchCommandLine;

namespace {

QStringList args(const QString& line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

// The actions as their options, joined by " | ".
QString actionsOf(const ParseResult& result)
{
    QStringList parts;
    for (const Action& action : result.options.actions)
        parts.append(action.implicit ? QStringLiteral("FIND") : action.describe());
    return parts.join(QStringLiteral(" | "));
}

struct ActionCase {
    const char* arguments;
    const char* actions;   // as describe() writes them; FIND marks the implicit one
};

class ActionParsing : public testing::TestWithParam<ActionCase> {};

TEST_P(ActionParsing, ParsesIntoActions)
{
    const ActionCase& c = GetParam();
    const ParseResult result = SearchCommandLine::parse(args(QStringLiteral("--page 设计零部件 ") + QString::fromUtf8(c.arguments)));
    ASSERT_EQ(result.status, ParseResult::Status::Ok) << result.error.toStdString();
    EXPECT_EQ(actionsOf(result).toStdString(), c.actions);
    EXPECT_EQ(result.options.page, QStringLiteral("设计零部件"));
}

INSTANTIATE_TEST_SUITE_P(EveryAction, ActionParsing, testing::Values(
    ActionCase{"", "FIND"},
    ActionCase{"--set 1256=1", "--set 1256=1 | FIND"},
    ActionCase{"--set 1167=", "--set 1167= | FIND"},
    ActionCase{"--set 1046=a=b", "--set 1046=a=b | FIND"},
    ActionCase{"--type 1046=2", "--type 1046=2 | FIND"},
    ActionCase{"--type 名称=2 --set 1046=3", "--type 名称=2 | --set 1046=3 | FIND"},
    ActionCase{"--cell 1318:0=G1", "--cell 1318:0=G1 | FIND"},
    ActionCase{"--cell 1318:2=x:y=z", "--cell 1318:2=x:y=z | FIND"},
    ActionCase{"--click 1001", "--click 1001 | FIND"},
    ActionCase{"--pick wang,li", "--pick wang,li | FIND"},
    ActionCase{"--tree P1::A1::B1", "--tree P1::A1::B1 | FIND"},
    ActionCase{"--find", "--find"},
    ActionCase{"--link 1", "--link 1 | FIND"},
    ActionCase{"--link 0 --find", "--link 0 | --find"},
    ActionCase{"--select 0", "FIND | --select 0"},
    ActionCase{"--dblclick 3", "FIND | --dblclick 3"},
    ActionCase{"--menu 2:3", "FIND | --menu 2:3"},
    ActionCase{"--export out.txt", "FIND | --export out.txt:1"},
    ActionCase{"--export out.txt:2", "FIND | --export out.txt:2"},
    ActionCase{"--export a:b", "FIND | --export a:b:1"}));

// Labels and row names stand where ids and rows are asked for; a grid's label may end in a colon.
INSTANTIATE_TEST_SUITE_P(Names, ActionParsing, testing::Values(
    ActionCase{"--set 条件:=明细", "--set 条件:=明细 | FIND"},
    ActionCase{"--set 更改单编号(含):=a=b", "--set 更改单编号(含):=a=b | FIND"},
    ActionCase{"--click 查找", "--click 查找 | FIND"},
    ActionCase{"--click ...", "--click ... | FIND"},
    ActionCase{"--cell 1318:图号=A1", "--cell 1318:图号=A1 | FIND"},
    ActionCase{"--cell 1318：图号=A1", "--cell 1318:图号=A1 | FIND"},
    ActionCase{"--cell 处理意见::0=x:y", "--cell 处理意见::0=x:y | FIND"},
    ActionCase{"--cell 条件:图号=A1", "--cell 条件:图号=A1 | FIND"}));

TEST(SearchCommandLine, NamesAndIdsAreTakenApart)
{
    const ParseResult result = SearchCommandLine::parse(
        args(QStringLiteral("--page p --set 1256=1 --set 条件=1 --cell 1318:0=a --cell 更改零部件的处理意见：处理意见=b")));
    ASSERT_EQ(result.status, ParseResult::Status::Ok) << result.error.toStdString();
    const QList<Action>& a = result.options.actions;
    ASSERT_EQ(a.size(), 5);
    EXPECT_TRUE(a[0].id == 1256 && a[0].name.isEmpty());
    EXPECT_TRUE(a[1].id == -1 && a[1].name == QStringLiteral("条件"));
    EXPECT_TRUE(a[2].id == 1318 && a[2].row == 0 && a[2].rowName.isEmpty());
    EXPECT_EQ(a[3].name, QStringLiteral("更改零部件的处理意见"));
    EXPECT_TRUE(a[3].row == -1 && a[3].rowName == QStringLiteral("处理意见"));
}

TEST(SearchCommandLine, DescribeAndFormats)
{
    ParseResult result = SearchCommandLine::parse(args(QStringLiteral("--page p --set 1=a --describe")));
    ASSERT_EQ(result.status, ParseResult::Status::Ok);
    EXPECT_TRUE(result.options.describe);
    EXPECT_EQ(actionsOf(result), QStringLiteral("--set 1=a")) << "a description searches only when told to";
    EXPECT_EQ(result.options.format, zq::tool::OutputFormat::Tsv);
    EXPECT_EQ(result.options.events, zq::tool::EventFormat::Text);

    result = SearchCommandLine::parse(args(QStringLiteral("--page p --describe --find --format json --events json")));
    ASSERT_EQ(result.status, ParseResult::Status::Ok);
    EXPECT_EQ(actionsOf(result), QStringLiteral("--find"));
    EXPECT_EQ(result.options.format, zq::tool::OutputFormat::Json);
    EXPECT_EQ(result.options.events, zq::tool::EventFormat::Json);
}

// Without --find, one goes after the last --set/--cell/--click/--pick/--tree and before the
// first --select/--dblclick/--menu/--export.
INSTANTIATE_TEST_SUITE_P(ImplicitFind, ActionParsing, testing::Values(
    ActionCase{"--set 1=a --click 2 --select 0 --export f", "--set 1=a | --click 2 | FIND | --select 0 | --export f:1"},
    ActionCase{"--link 1 --select 0", "--link 1 | FIND | --select 0"},
    ActionCase{"--set 1=a --link 1 --select 0", "--set 1=a | FIND | --link 1 | --select 0"},
    ActionCase{"--tree P --pick a --menu 0:1", "--tree P | --pick a | FIND | --menu 0:1"},
    ActionCase{"--select 0 --link 1 --dblclick 1", "FIND | --select 0 | --link 1 | --dblclick 1"},
    ActionCase{"--set 1=a --find --select 0", "--set 1=a | --find | --select 0"},
    ActionCase{"--select 0 --find", "--select 0 | --find"},
    ActionCase{"--find --set 1=a --find", "--find | --set 1=a | --find"}));

TEST(SearchCommandLine, RunOptionsAreTakenFromAnywhere)
{
    const ParseResult result = SearchCommandLine::parse(args(QStringLiteral(
        "--set 1=x --home /h --page 更改单 --db sqlite:/tmp/a.db --today 2024-03-01 --answer yes "
        "--cancel-after 3 --trace-sql")));
    ASSERT_EQ(result.status, ParseResult::Status::Ok) << result.error.toStdString();
    const auto& o = result.options;
    EXPECT_EQ(o.page, QStringLiteral("更改单"));
    EXPECT_EQ(o.home.value_or(QString()), QStringLiteral("/h"));
    EXPECT_EQ(o.db.value_or(QString()), QStringLiteral("sqlite:/tmp/a.db"));
    EXPECT_EQ(o.today.value_or(QDate()), QDate(2024, 3, 1));
    EXPECT_TRUE(o.answerYes);
    EXPECT_EQ(o.cancelAfter.value_or(-1), 3);
    EXPECT_TRUE(o.traceSql);
    EXPECT_EQ(actionsOf(result), QStringLiteral("--set 1=x | FIND"));
}

TEST(SearchCommandLine, DefaultsWhenOptionsAreAbsent)
{
    const ParseResult result = SearchCommandLine::parse(args(QStringLiteral("--page 更改单")));
    ASSERT_EQ(result.status, ParseResult::Status::Ok);
    EXPECT_FALSE(result.options.home || result.options.db || result.options.today || result.options.cancelAfter);
    EXPECT_FALSE(result.options.answerYes);
    EXPECT_FALSE(result.options.traceSql);
}

TEST(SearchCommandLine, ValuesKeepSpacesAndSeparators)
{
    const ParseResult result = SearchCommandLine::parse(
        {QStringLiteral("--page"), QStringLiteral("设计文档"), QStringLiteral("--set"), QStringLiteral("1200=a b"),
         QStringLiteral("--pick"), QStringLiteral("张 三,李四")});
    ASSERT_EQ(result.status, ParseResult::Status::Ok);
    ASSERT_EQ(result.options.actions.size(), 3);
    EXPECT_EQ(result.options.actions[0].text, QStringLiteral("a b"));
    EXPECT_EQ(result.options.actions[1].names, (QStringList{QStringLiteral("张 三"), QStringLiteral("李四")}));
}

// Values holding percent signs (a file "50%1.csv", a name "100%2") come back from arguments()
// as they were given, and parse again into the same action: messages and workers get them intact.
TEST(SearchCommandLine, PercentSignsSurviveTheRoundTrip)
{
    const struct {
        const char* option;
        const char* value;
        const char* written;   // the value as arguments() writes it
    } cases[] = {
        {"--export", "50%1.csv", "50%1.csv:1"},
        {"--export", "%2:2", "%2:2"},
        {"--export", "/tmp/%1%2 %%.txt:1", "/tmp/%1%2 %%.txt:1"},
        {"--export", "50%", "50%:1"},
        {"--menu", "2:3", "2:3"},
        {"--set", "1046=50%1", "1046=50%1"},
        {"--set", "名称%1=%2", "名称%1=%2"},
        {"--cell", "1318:%1=%2%%", "1318:%1=%2%%"},
        {"--tree", "P%1::A%2", "P%1::A%2"},
        {"--saved", "100%2", "100%2"},
    };
    for (const auto& c : cases) {
        const QStringList given{QString::fromUtf8(c.option), QString::fromUtf8(c.value)};
        const ParseResult first = SearchCommandLine::parse(QStringList{QStringLiteral("--page"), QStringLiteral("P")} + given);
        ASSERT_EQ(first.status, ParseResult::Status::Ok) << c.value << ": " << first.error.toStdString();
        const auto givenAction = std::find_if(first.options.actions.cbegin(), first.options.actions.cend(),
                                              [](const Action& a) { return !a.implicit; });
        ASSERT_NE(givenAction, first.options.actions.cend()) << c.value;
        const Action& action = *givenAction;
        const QStringList written = action.arguments();
        EXPECT_EQ(written.join(u' ').toStdString(), std::string(c.option) + ' ' + c.written);
        const ParseResult again = SearchCommandLine::parse(QStringList{QStringLiteral("--page"), QStringLiteral("P")} + written);
        ASSERT_EQ(again.status, ParseResult::Status::Ok) << c.value << ": " << again.error.toStdString();
        EXPECT_TRUE(again.options.actions.contains(action)) << c.value;
    }
}

struct UsageCase {
    const char* arguments;
    const char* messagePart;   // a piece of the message that names the problem
};

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, AreReported)
{
    const UsageCase& c = GetParam();
    QStringList list = args(QString::fromUtf8(c.arguments));
    for (QString& a : list)
        if (a == u"''")
            a.clear();
    const ParseResult result = SearchCommandLine::parse(list);
    EXPECT_EQ(result.status, ParseResult::Status::Usage) << c.arguments;
    EXPECT_TRUE(result.error.contains(QString::fromUtf8(c.messagePart)))
        << c.arguments << " -> " << result.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BadValues, UsageErrors, testing::Values(
    UsageCase{"", "--page CAPTION is required"},
    UsageCase{"--find", "--page CAPTION is required"},
    UsageCase{"--page", "--page needs a value"},
    UsageCase{"--page ''", "a page caption is needed"},
    UsageCase{"--page a --page b", "--page is given twice"},
    UsageCase{"--page a --home /x --home /y", "--home is given twice"},
    UsageCase{"--page a --home ''", "a folder is needed"},
    UsageCase{"--page a --db ''", "a database URL is needed"},
    UsageCase{"--page a --bogus", "unknown option \"--bogus\""},
    UsageCase{"--page a stray", "unexpected argument \"stray\""},
    UsageCase{"--page a --set 1256", "is not of the form ID=VALUE"},
    UsageCase{"--page a --set 99999999999=1", "not a valid control id"},
    UsageCase{"--page a --set =1", "a control id or label is needed"},
    UsageCase{"--page a --set -1=1", "not a valid control id"},
    UsageCase{"--page a --set +1=1", "not a valid control id"},
    UsageCase{"--page a --cell 1318=G", "is not of the form ID:ROW=TEXT"},
    UsageCase{"--page a --cell 1318:-1=G", "not a valid row"},
    UsageCase{"--page a --cell :图号=G", "is not of the form ID:ROW=TEXT"},
    UsageCase{"--page a --cell 条件:=G", "is not of the form ID:ROW=TEXT"},
    UsageCase{"--page a --click -5", "not a valid control id"},
    UsageCase{"--page a --format xml", "must be tsv, csv or json"},
    UsageCase{"--page a --format csv --format json", "--format is given twice"},
    UsageCase{"--page a --events yaml", "must be text or json"},
    UsageCase{"--page a --click", "--click needs a value"},
    UsageCase{"--page a --pick ''", "has an empty name"},
    UsageCase{"--page a --pick a,,b", "has an empty name"},
    UsageCase{"--page a --tree ''", "is not a path of codes"},
    UsageCase{"--page a --tree P::", "is not a path of codes"},
    UsageCase{"--page a --tree ::A", "is not a path of codes"},
    UsageCase{"--page a --link 2", "must be 0 or 1"},
    UsageCase{"--page a --link yes", "must be 0 or 1"},
    UsageCase{"--page a --select -1", "not a valid row"},
    UsageCase{"--page a --select x", "not a valid row"},
    UsageCase{"--page a --dblclick 1.5", "not a valid row"},
    UsageCase{"--page a --menu 1", "is not of the form ROW:CMD"},
    UsageCase{"--page a --menu 1:0", "not a valid menu command"},
    UsageCase{"--page a --menu x:1", "not a valid row"},
    UsageCase{"--page a --export ''", "a file name is needed"},
    UsageCase{"--page a --export :1", "a file name is needed"},
    UsageCase{"--page a --export out.txt:3", "must be 1 (comma-separated) or 2 (space-aligned)"},
    UsageCase{"--page a --answer maybe", "must be yes or no"},
    UsageCase{"--page a --cancel-after -1", "not a valid row count"},
    UsageCase{"--page a --today 2024-13-01", "not a date of the form yyyy-MM-dd"},
    UsageCase{"--page a --today 01.02.2024", "not a date of the form yyyy-MM-dd"},
    UsageCase{"--page a --select 0 --set 1=a", "give --find explicitly"}));

INSTANTIATE_TEST_SUITE_P(SavedSearches, UsageErrors, testing::Values(
    UsageCase{"--list-saved --delete-saved a", "go one at a time"},
    UsageCase{"--page a --shared", "--shared goes with --save NAME or --delete-saved NAME"},
    UsageCase{"--list-saved --shared", "--shared goes with --save NAME or --delete-saved NAME"},
    UsageCase{"--page a --replace", "--replace go with --save NAME"},
    UsageCase{"--delete-saved a --replace", "--replace go with --save NAME"}));

TEST(SearchCommandLine, SharedAndReplaceGoWithTheirSavedSearchOptions)
{
    const struct {
        const char* line;
        bool shared, replace;
    } cases[] = {
        {"--page a --save n --shared --replace", true, true},
        {"--page a --save n --replace", false, true},
        {"--delete-saved n --shared", true, false},
    };
    for (const auto& c : cases) {
        const ParseResult result = SearchCommandLine::parse(args(QString::fromUtf8(c.line)));
        ASSERT_EQ(result.status, ParseResult::Status::Ok) << c.line << ": " << result.error.toStdString();
        EXPECT_EQ(result.options.saveShared, c.shared) << c.line;
        EXPECT_EQ(result.options.saveReplace, c.replace) << c.line;
    }
}

TEST(SearchCommandLine, HelpWinsOverEverythingElse)
{
    for (const char* line : {"--help", "-h", "--page a --bogus --help", "--select x -h"})
        EXPECT_EQ(SearchCommandLine::parse(args(QString::fromUtf8(line))).status, ParseResult::Status::Help) << line;
}

TEST(SearchCommandLine, HelpAsAnOptionsValueIsThatValue)
{
    const struct {
        const char* line;
        const char* quick;
    } cases[] = {{"--quick --help", "--help"}, {"--quick -h --kind 设计零部件", "-h"}};
    for (const auto& c : cases) {
        const ParseResult result = SearchCommandLine::parse(args(QString::fromUtf8(c.line)));
        ASSERT_EQ(result.status, ParseResult::Status::Ok) << c.line << ": " << result.error.toStdString();
        EXPECT_EQ(result.options.quick, QString::fromUtf8(c.quick)) << c.line;
    }
}

TEST(SearchCommandLine, HelpDocumentsEveryOption)
{
    const QString help = SearchCommandLine::helpText();
    for (const char* option : {"--page", "--home", "--db", "--today", "--set", "--cell", "--click", "--pick", "--tree",
                               "--find", "--link", "--select", "--dblclick", "--menu", "--export", "--answer",
                               "--cancel-after", "--trace-sql", "--help", "MSG", "CMD", "CLIP", "OPEN", "CALL",
                               "STATUS", "SQL: ", "--describe", "--format tsv|csv|json", "--events text|json",
                               "RFC 4180", "\"event\":\"NOTE\"", "--set 条件:=明细", "--cell 1318:图号=A1", "："})
        EXPECT_TRUE(help.contains(QString::fromUtf8(option))) << option;
}

} // namespace
