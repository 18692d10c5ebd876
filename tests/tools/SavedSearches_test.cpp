// Saved searches from the command line, each run a new process as a new day of work would be:
// the conditions saved on every tab come back as the same SQL and rows, dates move with the day
// unless fixed, parts the page no longer has are skipped and said, own before shared.
#include "SearchToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using zq::test::SearchTool;
using zq::test::ToolRun;

QString UserSearchFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/zqpdm/searches.json");
}

// The statements of the search: a picker's own reads (users, departments) are no part of it.
QStringList SqlOf(const ToolRun& run)
{
    QStringList sql = run.errStartingWith(QStringLiteral("SQL: "));
    sql.removeIf([](const QString& line) {
        return line.contains(QStringLiteral("FROM ZqDepartment")) || line.contains(QStringLiteral("FROM ZqUser"));
    });
    return sql;
}

QStringList Args(const QString& page, const QString& rest)
{
    return QStringList{QStringLiteral("--page"), page} + rest.split(u' ', Qt::SkipEmptyParts);
}

struct RoundTrip {
    const char* page;
    const char* conditions;   // the actions a user takes, and what the saved search must give back
    const char* host;         // host state that is no condition (the tree item), given to both runs
};

class SavedRoundTrip : public SearchTool, public testing::WithParamInterface<RoundTrip> {};

TEST_P(SavedRoundTrip, GivesTheSameSqlAndRowsInALaterRun)
{
    const RoundTrip& c = GetParam();
    const QString page = QString::fromUtf8(c.page);
    const QString name = QStringLiteral("往返-") + page;
    const QString host = QString::fromUtf8(c.host);
    const ToolRun set = run(Args(page, host + u' ' + QString::fromUtf8(c.conditions) + QStringLiteral(" --trace-sql --save ") + name));
    ASSERT_EQ(set.exitCode, 0) << set.dump();
    const ToolRun saved = run(Args(page, host + QStringLiteral(" --saved ") + name + QStringLiteral(" --trace-sql")));
    ASSERT_EQ(saved.exitCode, 0) << saved.dump();
    EXPECT_FALSE(saved.err.join(u'\n').contains(QStringLiteral("skipped"))) << saved.dump();
    EXPECT_EQ(SqlOf(saved), SqlOf(set)) << saved.dump();
    EXPECT_EQ(saved.out, set.out);
    EXPECT_GT(set.out.size(), 1) << "the conditions find rows: " << set.dump();

    // Cleared by a run with other conditions in between, the saved search still gives the same.
    const ToolRun other = run(Args(page, host + QStringLiteral(" --trace-sql")));
    ASSERT_EQ(other.exitCode, 0) << other.dump();
    const ToolRun again = run(Args(page, host + QStringLiteral(" --saved ") + name + QStringLiteral(" --trace-sql")));
    EXPECT_EQ(SqlOf(again), SqlOf(set));
}

INSTANTIATE_TEST_SUITE_P(EveryTab, SavedRoundTrip, testing::Values(
    RoundTrip{"设计零部件", "--cell 1318:图号=ZQ86 --set 条件=明细 --cell 1318:图号=ZQ8600-01 --cell 1318:图名=箱", ""},
    RoundTrip{"资源文件", "--cell 1318:文件说明=电机", ""},
    RoundTrip{"设计文档", "--set 1254=0 --set 1204=2025-06-01 --set 1022=ZQ8600", ""},
    RoundTrip{"数据视图项", "--set 1046=*轴*", "--tree ZQ8600"},
    RoundTrip{"批次产品", "--set 条件=明细 --cell 1318:图号=ZQ8600", ""},
    RoundTrip{"更改单", "--set 编制人=张伟 --set 从=2025-01-01 --set 1023=6", ""},
    RoundTrip{"更改发放部门", "--set 从=2025-01-01 --pick 一车间 --click 1009 --pick 质量部 --click 1009", ""},
    RoundTrip{"更改影响面", "--set 从=2025-01-01 --set 1022=ZQ8600-01 --set 1041=1", ""},
    RoundTrip{"更改处理意见", "--set 从=2025-01-01 --click 1009 --cell 1318:0=报废", ""},
    RoundTrip{"设计任务", "--set 任务类型=项目任务 --set 1204=2025-06-01", ""},
    RoundTrip{"设计过程零部件", "--cell 24013:图号=ZQ8600", ""},
    RoundTrip{"文档内容", "--set 内容包含=HT2 --set 文档类型=所有 --set 按文件日期=1 --set 1204=2025-01-01", ""}),
    [](const testing::TestParamInfo<RoundTrip>& info) { return std::to_string(info.index); });

TEST_F(SearchTool, SavedDatesMoveWithTheDayUnlessFixed)
{
    // On 2026-03-01, "from" is four weeks back and "to" is today.
    ASSERT_EQ(run(Args(QStringLiteral("更改单"), QStringLiteral("--set 从=2026-02-01 --save 四周"))).exitCode, 0);
    ASSERT_EQ(run(Args(QStringLiteral("更改单"), QStringLiteral("--set 从=2026-02-01 --save 二月起 --fixed-dates"))).exitCode, 0);
    const struct {
        const char* name;
        const char* from;
        const char* to;
    } cases[] = {{"四周", "2026-03-04", "2026-04-01"}, {"二月起", "2026-02-01", "2026-03-01"}};
    for (const auto& c : cases) {
        const ToolRun later = run(Args(QStringLiteral("更改单"),
                                       QStringLiteral("--today 2026-04-01 --saved %1 --describe").arg(QString::fromUtf8(c.name))));
        ASSERT_EQ(later.exitCode, 0) << later.dump();
        EXPECT_TRUE(later.out.filter(QRegularExpression(QStringLiteral("^1204\t"))).value(0).contains(QString::fromUtf8(c.from)))
            << c.name << "\n" << later.out.join(u'\n').toStdString();
        EXPECT_TRUE(later.out.filter(QRegularExpression(QStringLiteral("^1258\t"))).value(0).contains(QString::fromUtf8(c.to)))
            << c.name;
    }
}

TEST_F(SearchTool, WhatThePageNoLongerHasIsSkippedAndSaid)
{
    ASSERT_EQ(run(Args(QStringLiteral("设计零部件"), QStringLiteral("--cell 1318:图号=ZQ8600 --save 旧的"))).exitCode, 0);
    // The file as an older page would have left it: a control and a grid row gone since.
    QFile file(UserSearchFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    QJsonArray searches = root.value(QStringLiteral("searches")).toArray();
    for (qsizetype i = 0; i < searches.size(); ++i) {
        QJsonObject search = searches[i].toObject();
        if (search.value(QStringLiteral("name")).toString() != u"旧的")
            continue;
        QJsonObject conditions = search.value(QStringLiteral("conditions")).toObject();
        QJsonArray controls = conditions.value(QStringLiteral("controls")).toArray();
        controls.append(QJsonObject{{QStringLiteral("id"), 9999}, {QStringLiteral("kind"), QStringLiteral("edit")},
                                    {QStringLiteral("label"), QStringLiteral("废弃的条件")}, {QStringLiteral("text"), QStringLiteral("x")}});
        for (qsizetype c = 0; c < controls.size(); ++c) {
            QJsonObject control = controls[c].toObject();
            if (control.value(QStringLiteral("kind")).toString() == u"grid") {
                QJsonArray rows = control.value(QStringLiteral("rows")).toArray();
                rows.append(QJsonArray{QStringLiteral("已删除的行"), QStringLiteral("y")});
                control[QStringLiteral("rows")] = rows;
                controls[c] = control;
            }
        }
        conditions[QStringLiteral("controls")] = controls;
        search[QStringLiteral("conditions")] = conditions;
        searches[i] = search;
    }
    root[QStringLiteral("searches")] = searches;
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(root).toJson());
    file.close();

    const ToolRun r = run(Args(QStringLiteral("设计零部件"), QStringLiteral("--saved 旧的 --trace-sql")));
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    const QString err = r.err.join(u'\n');
    EXPECT_TRUE(err.contains(QStringLiteral("--saved 旧的: skipped 废弃的条件"))) << r.dump();
    EXPECT_TRUE(err.contains(QStringLiteral("已删除的行"))) << r.dump();
    EXPECT_TRUE(SqlOf(r).join(u'\n').contains(QStringLiteral("ZQ8600"))) << "what could be applied was: " << r.dump();
}

TEST_F(SearchTool, OwnAndSharedOfOneNameAreBothListedAndTheOwnWins)
{
    const QString page = QStringLiteral("更改单");
    ASSERT_EQ(run(Args(page, QStringLiteral("--set 编制人=李娜 --save 本部门 --shared"))).exitCode, 0);
    ASSERT_EQ(run(Args(page, QStringLiteral("--set 编制人=张伟 --save 本部门"))).exitCode, 0);
    const ToolRun list = run(Args(page, QStringLiteral("--list-saved")));
    ASSERT_EQ(list.exitCode, 0) << list.dump();
    EXPECT_EQ(list.out.value(0), QStringLiteral("name\ttab\towner\tsaved at\tsaved by"));
    EXPECT_EQ(list.out.filter(QRegularExpression(QStringLiteral("^本部门\t更改单\t(own|shared)\t"))).size(), 2) << list.dump();
    const qsizetype ownAt = list.out.indexOf(list.out.filter(QRegularExpression(QStringLiteral("^本部门\t更改单\town\t"))).value(0));
    const qsizetype sharedAt = list.out.indexOf(list.out.filter(QRegularExpression(QStringLiteral("^本部门\t更改单\tshared\t"))).value(0));
    EXPECT_TRUE(ownAt > 0 && ownAt < sharedAt) << "own first: " << list.dump();

    const ToolRun used = run(Args(page, QStringLiteral("--saved 本部门 --trace-sql")));
    EXPECT_TRUE(SqlOf(used).join(u'\n').contains(QStringLiteral("张伟"))) << used.dump();

    // Deleting takes the own one; the shared one is then the one used.
    ASSERT_EQ(run(Args(page, QStringLiteral("--delete-saved 本部门"))).exitCode, 0);
    const ToolRun shared = run(Args(page, QStringLiteral("--saved 本部门 --trace-sql")));
    EXPECT_TRUE(SqlOf(shared).join(u'\n').contains(QStringLiteral("李娜"))) << shared.dump();
    const ToolRun missing = run(Args(page, QStringLiteral("--saved 没有这个")));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.join(u'\n').contains(QStringLiteral("it has: "))) << missing.dump();
}

// The rows of --list-saved for the name, as "owner saved-by".
QStringList Listed(const ToolRun& list, const QString& name)
{
    QStringList rows;
    for (const QString& line : list.out)
        if (line.section(u'\t', 0, 0) == name)
            rows << line.section(u'\t', 2, 2) + u' ' + line.section(u'\t', 4, 4);
    return rows;
}

TEST_F(SearchTool, ASharedSearchIsReplacedOrDeletedOnlyWhenSaidSo)
{
    const QString page = QStringLiteral("更改单");
    const QStringList lina{QStringLiteral("ZQPDM_USER=lina")};
    const QStringList zhangwei{QStringLiteral("ZQPDM_USER=zhangwei")};
    ASSERT_EQ(run(Args(page, QStringLiteral("--set 编制人=李娜 --save 全厂 --shared")), true, lina).exitCode, 0);
    EXPECT_EQ(Listed(run(Args(page, QStringLiteral("--list-saved"))), QStringLiteral("全厂")), QStringList{"shared lina"});

    const struct {
        const char* name;
        const char* arguments;
        int exitCode;
        const char* said;          // on standard error
        QStringList listedAfter;
    } steps[] = {
        {"shared over shared", "--set 编制人=张伟 --save 全厂 --shared", 2, "--replace replaces it", {"shared lina"}},
        {"own beside shared", "--set 编制人=张伟 --save 全厂", 0, "", {"own ", "shared lina"}},
        {"own over own", "--set 编制人=王强 --save 全厂", 0, "", {"own ", "shared lina"}},
        {"replaced when said", "--set 编制人=张伟 --save 全厂 --shared --replace", 0, "", {"own ", "shared zhangwei"}},
        {"list and delete at once", "--list-saved --delete-saved 全厂", 2, "one at a time", {"own ", "shared zhangwei"}},
        {"the own one goes first", "--delete-saved 全厂", 0, "", {"shared zhangwei"}},
        {"a shared one needs --shared", "--delete-saved 全厂", 2, "--shared deletes it", {"shared zhangwei"}},
        {"deleted when said", "--delete-saved 全厂 --shared", 0, "", {}},
        {"none left", "--delete-saved 全厂 --shared", 2, "there is no shared saved search", {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const ToolRun r = run(Args(page, QString::fromUtf8(step.arguments)), true, zhangwei);
        EXPECT_EQ(r.exitCode, step.exitCode) << r.dump();
        EXPECT_TRUE(r.err.join(u'\n').contains(QString::fromUtf8(step.said))) << r.dump();
        EXPECT_EQ(Listed(run(Args(page, QStringLiteral("--list-saved"))), QStringLiteral("全厂")), step.listedAfter);
    }
}

TEST_F(SearchTool, ProgramsSavingAtOnceKeepEverySearch)
{
    const QString page = QStringLiteral("设计任务");
    constexpr int kAtOnce = 3;
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (int p = 0; p < kAtOnce; ++p)
            running.push_back(startSearch({QStringLiteral("--page"), page, QStringLiteral("--save"),
                                           QStringLiteral("同时-%1-%2").arg(round).arg(p)}));
        for (auto& process : running) {
            const ToolRun r = finish(*process);
            EXPECT_EQ(r.exitCode, 0) << r.dump();
        }
    }
    const ToolRun list = run(Args(page, QStringLiteral("--list-saved")));
    EXPECT_EQ(list.out.filter(QRegularExpression(QStringLiteral("^同时-\\d-\\d\t"))).size(), kAtOnce * kRounds) << list.dump();

    // One name shared by several at once: one of them shares it, the others are told it is taken.
    std::vector<std::unique_ptr<QProcess>> sharing;
    for (int p = 0; p < kAtOnce; ++p)
        sharing.push_back(startSearch({QStringLiteral("--page"), page, QStringLiteral("--save"), QStringLiteral("同名共享"),
                                       QStringLiteral("--shared")},
                                      {QStringLiteral("ZQPDM_USER=user%1").arg(p)}));
    QList<int> exitCodes;
    for (auto& process : sharing)
        exitCodes << finish(*process).exitCode;
    std::sort(exitCodes.begin(), exitCodes.end());
    EXPECT_EQ(exitCodes, (QList<int>{0, 2, 2}));
    EXPECT_EQ(Listed(run(Args(page, QStringLiteral("--list-saved"))), QStringLiteral("同名共享")).size(), 1);
}

} // namespace
