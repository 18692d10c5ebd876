#include "ProcessPartSql.h"

#include "DateCondition.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

namespace zq::task {

namespace {

// As stored, with its doubled blanks; a task belongs to a project when its number is the
// project number followed by "-" or "#".
const char* const kStoredSql =
    "SELECT a.PartCode, a.PartName, a.UserName, a.SaveDate, b.WorkName, b.WorkID, b.Manager, b.WorkState,  "
    "c.ProjectName, c.ProjectNo, c.ProjectManager, c.WorkState FROM TeamWorkPart a, TeamWorkManage b, "
    "ProjectManage c WHERE a.WorkID = b.WorkID AND  ( (b.WorkID Like (c.ProjectNo + '-%%')) OR (b.WorkID Like "
    "(c.ProjectNo + '#%%')) ) AND c.ProjectPath = '项目管理' ";

const char* const kDateColumn = "a.SaveDate";

const char* ColumnOf(const QString& label)
{
    for (const ProcessPartRow& row : ProcessPartRows())
        if (EqualsNoCase(label, QString::fromUtf8(row.label)))
            return row.column;
    return nullptr;
}

// The time range on a.SaveDate: from < column < to + 1 day, the same day by LIKE, or one end only.
QString DateConditions(const ProcessPartConditions& conditions, bool* reversed)
{
    const QString column = QString::fromUtf8(kDateColumn);
    if (conditions.from && conditions.to) {
        const DateCondition range = BuildDateCondition(column, *conditions.from, *conditions.to);
        if (reversed)
            *reversed = range.reversed;
        return range.sql.isEmpty() ? QString() : QStringLiteral(" AND ") + range.sql + QStringLiteral(" ");
    }
    if (conditions.from)
        return QStringLiteral(" AND %1>'%2' ").arg(column, SqlDateText(*conditions.from));
    if (conditions.to)
        return QStringLiteral(" AND %1<'%2' ").arg(column, SqlDateText(conditions.to->addDays(1)));
    return QString();
}

} // namespace

const QList<ProcessPartRow>& ProcessPartRows()
{
    static const QList<ProcessPartRow> rows{
        {"图号", "a.PartCode"},          {"图名", "a.PartName"},      {"负责人", "a.UserName"},
        {"所属任务名称", "b.WorkName"}, {"所属任务编号", "b.WorkID"}, {"所属项目名称", "c.ProjectName"},
        {"所属项目编号", "c.ProjectNo"},
    };
    return rows;
}

QString ProcessPartBaseSql()
{
    return QString::fromUtf8(kStoredSql).replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QString BuildProcessPartSql(const ProcessPartConditions& conditions, bool* reversedDates)
{
    if (reversedDates)
        *reversedDates = false;
    QString sql = ProcessPartBaseSql();
    for (const GridCondition& condition : conditions.grid) {
        const QString value = TypedSqlText(condition.value).replace(u'*', u'%');
        const char* column = ColumnOf(condition.label);
        if (value.isEmpty() || !column)
            continue;
        sql += QStringLiteral(" AND ") + QString::fromUtf8(column) + QStringLiteral(" LIKE '") + SqlQuote(value)
               + QStringLiteral("%' ");
    }
    return sql + DateConditions(conditions, reversedDates);
}

} // namespace zq::task
