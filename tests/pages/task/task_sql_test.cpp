// The SQL texts of the task page and the design-process-part page, byte for byte, built from
// plain values.
#include "ProcessPartSql.h"
#include "TaskSql.h"

#include <gtest/gtest.h>

using namespace zq::task;

namespace {

const QDate kNov8(2026, 11, 8);
const QDate kDec8(2026, 12, 8);
const QString kServerDate = QStringLiteral("2026-12-08");

const QString kProject =
    QStringLiteral("SELECT ProjectName, ProjectNo, ProjectManager, WorkState, CreatedTime, '项目任务' FROM ProjectManage");
const QString kChange = QStringLiteral(
    "SELECT ProjectName, ProjectNo, ProjectManager, WorkState, CreatedTime, '更改设计任务' FROM ProjectManage");
const QString kTeamWork =
    QStringLiteral("SELECT WorkName, WorkID, Manager, WorkState, CreateTime, '工作组任务' FROM TeamWorkManage");
const QString kProjectReview =
    QStringLiteral("SELECT AuditName, ProjectNo, Auditor, AuditState, BeginTime, '项目评审任务' FROM TaskAuditManage");
const QString kWorkReview =
    QStringLiteral("SELECT AuditTask, FileID, Auditor, State, BeginDate, '工作评审任务' FROM TeamWorkAudit");
const QString kPath = QStringLiteral("ProjectPath='更改任务管理'");
const QString kProjectOverdue = QStringLiteral(
    "(AlertTime<>'' AND AlertTime<='2026-12-08') AND (WorkState<>'归档' AND WorkState<>'已归档' AND WorkState<>'已入库')");
const QString kTeamWorkOverdue = QStringLiteral("(CheckTime<>'' AND CheckTime<='2026-12-08') AND WorkState<>'完成'");

QString Range(const char* column)
{
    return QStringLiteral("%1>'2026-11-08' AND %1<'2026-12-09'").arg(QLatin1String(column));
}

TaskConditions Conditions(int kind, int state, const QString& stateText, QDate from = kNov8, QDate to = kDec8)
{
    TaskConditions c;
    c.kind = kind;
    c.stateIndex = state;
    c.stateText = stateText;
    c.from = from;
    c.to = to;
    return c;
}

struct TaskCase {
    const char* name;
    TaskConditions conditions;
    QStringList sql;
    bool warning;
    int dateFetches;
};

TEST(TaskSql, Table)
{
    TaskConditions texts = Conditions(KindProject, 0, QStringLiteral("所有"));
    texts.name = QStringLiteral(" 减速器 ");
    texts.number = QStringLiteral("XM*01");
    texts.person = QStringLiteral("zhang");
    TaskConditions quoted = Conditions(KindTeamWork, 4, QStringLiteral("正进行中"));
    quoted.name = QStringLiteral("O'型");
    TaskConditions numberFirst = Conditions(KindWorkReview, 2, QStringLiteral("已完成"));
    numberFirst.number = QStringLiteral("TW");
    TaskConditions blanks = Conditions(KindProjectReview, 0, QStringLiteral("所有"), kDec8, kNov8);
    blanks.person = QStringLiteral("   ");
    TaskConditions changeWithPerson = Conditions(KindChange, 0, QStringLiteral("所有"), kDec8, kNov8);
    changeWithPerson.person = QStringLiteral("zhangwei");

    const TaskCase cases[] = {
        {"project, all states", Conditions(KindProject, 0, "所有"), {kProject + " WHERE " + Range("CreatedTime")}, false, 0},
        {"texts in order name, number, person",
         texts,
         {kProject + " WHERE ProjectName LIKE '%减速器%' AND ProjectNo LIKE '%XM%01%' AND ProjectManager LIKE "
                     "'%zhang%' AND " + Range("CreatedTime")},
         false, 0},
        {"a quote in a text is doubled", quoted,
         {kTeamWork + " WHERE WorkName LIKE '%O''型%' AND WorkState='正进行中' AND " + Range("CreateTime")}, false, 0},
        {"number opens the clause", numberFirst,
         {kWorkReview + " WHERE FileID LIKE '%TW%' AND State='已完成' AND " + Range("BeginDate")}, false, 0},
        {"project overdue", Conditions(KindProject, 1, "逾期"),
         {kProject + " WHERE " + kProjectOverdue + " AND " + Range("CreatedTime")}, false, 1},
        {"work-group overdue", Conditions(KindTeamWork, 1, "逾期"),
         {kTeamWork + " WHERE " + kTeamWorkOverdue + " AND " + Range("CreateTime")}, false, 1},
        {"task state", Conditions(KindProject, 7, "完成"),
         {kProject + " WHERE WorkState='完成' AND " + Range("CreatedTime")}, false, 0},
        {"review state 1 is a state", Conditions(KindProjectReview, 1, "未完成"),
         {kProjectReview + " WHERE AuditState='未完成' AND " + Range("BeginTime")}, false, 0},
        {"same day", Conditions(KindWorkReview, 0, "所有", kDec8, kDec8),
         {kWorkReview + " WHERE BeginDate LIKE '2026-12-08%'"}, false, 0},
        {"reversed dates, spaces only", blanks, {kProjectReview}, true, 0},
        {"change task with dates", Conditions(KindChange, 0, "所有"),
         {kChange + " WHERE " + Range("CreatedTime") + " AND " + kPath}, false, 0},
        {"change task, same day after a state", Conditions(KindChange, 4, "正进行中", kDec8, kDec8),
         {kChange + " WHERE WorkState='正进行中' AND CreatedTime LIKE '2026-12-08%' AND " + kPath}, false, 0},
        {"change task, reversed dates: the path alone", Conditions(KindChange, 0, "所有", kDec8, kNov8),
         {kChange + " WHERE " + kPath}, true, 0},
        {"change task, reversed dates after a person", changeWithPerson,
         {kChange + " WHERE ProjectManager LIKE '%zhangwei%' AND " + kPath}, true, 0},
        {"all kinds", Conditions(KindAll, 0, "所有"),
         {kProject + " WHERE " + Range("CreatedTime"), kChange + " WHERE " + Range("CreatedTime") + " AND " + kPath,
          kTeamWork + " WHERE " + Range("CreateTime"), kProjectReview + " WHERE " + Range("BeginTime"),
          kWorkReview + " WHERE " + Range("BeginDate")},
         false, 0},
        {"all kinds overdue: the reviews get the state text", Conditions(KindAll, 1, "逾期", kDec8, kNov8),
         {kProject + " WHERE " + kProjectOverdue, kChange + " WHERE " + kProjectOverdue + " AND " + kPath,
          kTeamWork + " WHERE " + kTeamWorkOverdue, kProjectReview + " WHERE AuditState='逾期'",
          kWorkReview + " WHERE State='逾期'"},
         true, 3},
        {"all kinds, a task state", Conditions(KindAll, 2, "待确认", kDec8, kDec8),
         {kProject + " WHERE WorkState='待确认' AND CreatedTime LIKE '2026-12-08%'",
          kChange + " WHERE WorkState='待确认' AND CreatedTime LIKE '2026-12-08%' AND " + kPath,
          kTeamWork + " WHERE WorkState='待确认' AND CreateTime LIKE '2026-12-08%'",
          kProjectReview + " WHERE AuditState='待确认' AND BeginTime LIKE '2026-12-08%'",
          kWorkReview + " WHERE State='待确认' AND BeginDate LIKE '2026-12-08%'"},
         false, 0},
    };
    for (const TaskCase& c : cases) {
        int fetches = 0;
        const TaskSqlTexts built = BuildTaskSql(c.conditions, [&fetches] {
            ++fetches;
            return kServerDate;
        });
        EXPECT_EQ(built.sql, c.sql) << c.name;
        EXPECT_EQ(built.dateWarning, c.warning) << c.name;
        EXPECT_EQ(fetches, c.dateFetches) << c.name;
    }
}

TEST(TaskSql, Lists)
{
    EXPECT_EQ(KindNames(), (QStringList{"所有", "项目任务", "更改任务", "工作组任务", "项目评审任务", "工作评审任务"}));
    EXPECT_EQ(TaskStateNames(), (QStringList{"所有", "逾期", "待确认", "未开始", "正进行中", "评审", "评审-更改", "完成",
                                             "归档", "已归档", "已入库"}));
    EXPECT_EQ(ReviewStateNames(), (QStringList{"所有", "未完成", "已完成"}));
}

// The design-process-part SELECT: the stored text, then the grid's conditions, then the dates.
const QString kBase = QStringLiteral(
    "SELECT a.PartCode, a.PartName, a.UserName, a.SaveDate, b.WorkName, b.WorkID, b.Manager, b.WorkState,  "
    "c.ProjectName, c.ProjectNo, c.ProjectManager, c.WorkState FROM TeamWorkPart a, TeamWorkManage b, ProjectManage "
    "c WHERE a.WorkID = b.WorkID AND  ( (b.WorkID Like (c.ProjectNo + '-%')) OR (b.WorkID Like (c.ProjectNo + '#%')) "
    ") AND c.ProjectPath = '项目管理' ");

struct PartCase {
    const char* name;
    QList<GridCondition> grid;
    std::optional<QDate> from, to;
    QString sql;
    bool reversed;
};

QList<GridCondition> Grid(std::initializer_list<std::pair<const char*, const char*>> rows)
{
    QList<GridCondition> grid;
    for (const auto& [label, value] : rows)
        grid.append({QString::fromUtf8(label), QString::fromUtf8(value)});
    return grid;
}

TEST(ProcessPartSql, Table)
{
    const auto none = std::nullopt;
    const PartCase cases[] = {
        {"empty grid", Grid({{"图号", ""}, {"图名", ""}, {"负责人", ""}}), none, none, kBase, false},
        {"A*1 from the start", Grid({{"图号", "A*1"}}), none, none, kBase + " AND a.PartCode LIKE 'A%1%' ", false},
        {"spaces only", Grid({{"图名", "   "}, {"所属任务名称", " \t "}}), none, none, kBase, false},
        {"several rows, trimmed, in grid order",
         Grid({{"所属项目编号", " XM2026 "}, {"图名", "箱"}, {"所属任务编号", "XM2026-01#*"}}), none, none,
         kBase + " AND c.ProjectNo LIKE 'XM2026%'  AND a.PartName LIKE '箱%'  AND b.WorkID LIKE 'XM2026-01#%%' ", false},
        {"person and project name", Grid({{"负责人", "李娜"}, {"所属项目名称", "ZQ8600"}}), none, none,
         kBase + " AND a.UserName LIKE '李娜%'  AND c.ProjectName LIKE 'ZQ8600%' ", false},
        {"unknown label, quote doubled", Grid({{"所属任务名称", "O'型"}, {"未知", "x"}}), none, none,
         kBase + " AND b.WorkName LIKE 'O''型%' ", false},
        {"from ticked", {}, kNov8, none, kBase + " AND a.SaveDate>'2026-11-08' ", false},
        {"to ticked", {}, none, kDec8, kBase + " AND a.SaveDate<'2026-12-09' ", false},
        {"both ticked", Grid({{"图号", "ZQ"}}), kNov8, kDec8,
         kBase + " AND a.PartCode LIKE 'ZQ%'  AND a.SaveDate>'2026-11-08' AND a.SaveDate<'2026-12-09' ", false},
        {"same day", {}, kDec8, kDec8, kBase + " AND a.SaveDate LIKE '2026-12-08%' ", false},
        {"reversed", {}, kDec8, kNov8, kBase, true},
    };
    for (const PartCase& c : cases) {
        ProcessPartConditions conditions;
        conditions.grid = c.grid;
        conditions.from = c.from;
        conditions.to = c.to;
        bool reversed = !c.reversed;
        EXPECT_EQ(BuildProcessPartSql(conditions, &reversed), c.sql) << c.name;
        EXPECT_EQ(reversed, c.reversed) << c.name;
    }
    EXPECT_EQ(ProcessPartBaseSql(), kBase);
}

} // namespace
