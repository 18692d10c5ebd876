#pragma once
// The SQL text of the page "设计过程零部件": the parts of team-work tasks joined with their task
// and the managed project the task belongs to, narrowed by the condition grid and the time range.
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace zq::task {

// The condition grid's rows, in order, and the column each one matches from the start.
struct ProcessPartRow {
    const char* label;
    const char* column;
};
const QList<ProcessPartRow>& ProcessPartRows();

// A grid row as the user left it: its item text and its value.
struct GridCondition {
    QString label;
    QString value;
};

struct ProcessPartConditions {
    QList<GridCondition> grid;
    std::optional<QDate> from;   // set when "从：" is ticked
    std::optional<QDate> to;     // set when "到：" is ticked
};

// The stored text with each "%%" made a single "%".
QString ProcessPartBaseSql();

// The base text plus one " AND column LIKE 'value%' " per grid value (trimmed, "*" → "%", not
// empty) and the ticked dates on a.SaveDate. reversedDates is set when both dates are ticked and
// the to-date lies before the from-date: the search then runs without the time range.
QString BuildProcessPartSql(const ProcessPartConditions& conditions, bool* reversedDates = nullptr);

} // namespace zq::task
