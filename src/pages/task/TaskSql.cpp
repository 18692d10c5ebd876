#include "TaskSql.h"

#include "DateCondition.h"
#include "SqlText.h"

namespace zq::task {

namespace {

// One task table: its SELECT and the columns the conditions look at.
struct TaskTable {
    const char* select;
    const char* nameColumn;
    const char* numberColumn;
    const char* personColumn;
    const char* stateColumn;
    const char* dateColumn;
    int firstStateIndex;        // the state condition applies to state indices from here on
    const char* overdue;        // the overdue condition with the server date, or none
};

const char* const kProjectOverdue =
    "(AlertTime<>'' AND AlertTime<='%1') AND (WorkState<>'归档' AND WorkState<>'已归档' AND WorkState<>'已入库')";
const char* const kTeamWorkOverdue = "(CheckTime<>'' AND CheckTime<='%1') AND WorkState<>'完成'";
const char* const kChangeTaskPath = "ProjectPath='更改任务管理'";

const TaskTable& TableOf(int kind)
{
    static const TaskTable tables[] = {
        {"SELECT ProjectName, ProjectNo, ProjectManager, WorkState, CreatedTime, '项目任务' FROM ProjectManage",
         "ProjectName", "ProjectNo", "ProjectManager", "WorkState", "CreatedTime", 2, kProjectOverdue},
        {"SELECT ProjectName, ProjectNo, ProjectManager, WorkState, CreatedTime, '更改设计任务' FROM ProjectManage",
         "ProjectName", "ProjectNo", "ProjectManager", "WorkState", "CreatedTime", 2, kProjectOverdue},
        {"SELECT WorkName, WorkID, Manager, WorkState, CreateTime, '工作组任务' FROM TeamWorkManage",
         "WorkName", "WorkID", "Manager", "WorkState", "CreateTime", 2, kTeamWorkOverdue},
        {"SELECT AuditName, ProjectNo, Auditor, AuditState, BeginTime, '项目评审任务' FROM TaskAuditManage",
         "AuditName", "ProjectNo", "Auditor", "AuditState", "BeginTime", 1, nullptr},
        {"SELECT AuditTask, FileID, Auditor, State, BeginDate, '工作评审任务' FROM TeamWorkAudit",
         "AuditTask", "FileID", "Auditor", "State", "BeginDate", 1, nullptr},
    };
    return tables[kind - KindProject];
}

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// "column LIKE '%text%'" for a text that is not empty once trimmed, else "".
QString ContainsCondition(const char* column, const QString& text)
{
    const QString trimmed = TypedSqlText(text);
    if (trimmed.isEmpty())
        return QString();
    return Utf8(column) + QStringLiteral(" LIKE '") + PatternToSql(QStringLiteral("*") + trimmed + QStringLiteral("*"))
           + QStringLiteral("'");
}

// The WHERE clause in the making: the first condition opens it, each later one is joined by AND.
class Clause {
public:
    void Add(const QString& condition)
    {
        if (condition.isEmpty())
            return;
        m_text += (m_text.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + condition;
    }
    QString Text() const { return m_text; }
private:
    QString m_text;
};

QString KindSql(int kind, const TaskConditions& conditions, const std::function<QString()>& serverDate)
{
    const TaskTable& table = TableOf(kind);
    const DateCondition date = BuildDateCondition(Utf8(table.dateColumn), conditions.from, conditions.to);
    Clause clause;
    clause.Add(ContainsCondition(table.nameColumn, conditions.name));
    clause.Add(ContainsCondition(table.numberColumn, conditions.number));
    clause.Add(ContainsCondition(table.personColumn, conditions.person));
    if (table.overdue && conditions.stateIndex == kOverdueState)
        clause.Add(Utf8(table.overdue).arg(SqlQuote(serverDate ? serverDate() : QString())));
    else if (conditions.stateIndex >= table.firstStateIndex)
        clause.Add(Utf8(table.stateColumn) + QStringLiteral("='") + SqlQuote(conditions.stateText) + QStringLiteral("'"));
    clause.Add(date.sql);
    // Change tasks are the projects kept under the change-task path, with or without a date range.
    if (kind == KindChange)
        clause.Add(Utf8(kChangeTaskPath));
    return Utf8(table.select) + clause.Text();
}

} // namespace

const QStringList& KindNames()
{
    static const QStringList names{
        QStringLiteral("所有"),         QStringLiteral("项目任务"),     QStringLiteral("更改任务"),
        QStringLiteral("工作组任务"),   QStringLiteral("项目评审任务"), QStringLiteral("工作评审任务"),
    };
    return names;
}

const QStringList& TaskStateNames()
{
    static const QStringList names{
        QStringLiteral("所有"), QStringLiteral("逾期"),      QStringLiteral("待确认"), QStringLiteral("未开始"),
        QStringLiteral("正进行中"), QStringLiteral("评审"), QStringLiteral("评审-更改"), QStringLiteral("完成"),
        QStringLiteral("归档"), QStringLiteral("已归档"),    QStringLiteral("已入库"),
    };
    return names;
}

const QStringList& ReviewStateNames()
{
    static const QStringList names{QStringLiteral("所有"), QStringLiteral("未完成"), QStringLiteral("已完成")};
    return names;
}

bool IsReviewKind(int kind)
{
    return kind == KindProjectReview || kind == KindWorkReview;
}

TaskSqlTexts BuildTaskSql(const TaskConditions& conditions, const std::function<QString()>& serverDate)
{
    TaskSqlTexts texts;
    texts.dateWarning = BuildDateCondition(QString(), conditions.from, conditions.to).reversed;
    const int first = conditions.kind == KindAll ? int(KindProject) : conditions.kind;
    const int last = conditions.kind == KindAll ? int(KindWorkReview) : conditions.kind;
    if (first < KindProject || last > KindWorkReview)
        return texts;
    for (int kind = first; kind <= last; ++kind)
        texts.sql.append(KindSql(kind, conditions, serverDate));
    return texts;
}

} // namespace zq::task
