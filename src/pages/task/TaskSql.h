#pragma once
// The SQL texts of the task page, built from plain values so they can be checked without
// widgets: one SELECT per task table, the text conditions matched anywhere in their column,
// the state or overdue condition and the creation-date range.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace zq::task {

// The kind list, by index: 0 "所有", then one kind per task table.
enum Kind { KindAll = 0, KindProject, KindChange, KindTeamWork, KindProjectReview, KindWorkReview };
const QStringList& KindNames();

// The two contents of the state list: task states, and review states while the kind is a review.
const QStringList& TaskStateNames();
const QStringList& ReviewStateNames();
bool IsReviewKind(int kind);
// Task state 1, "逾期": the overdue test of the project and work-group tasks.
constexpr int kOverdueState = 1;

struct TaskConditions {
    QString name;          // texts as typed; trimmed, and used when not empty
    QString number;
    QString person;
    int kind = KindAll;
    int stateIndex = 0;
    QString stateText;     // the state list's current entry
    QDate from;
    QDate to;
};

struct TaskSqlTexts {
    QStringList sql;       // run in this order
    bool dateWarning = false;
};

// One text for kinds 1 to 5, five texts (kinds 1 to 5 in order) for kind 0. serverDate is asked
// for the database server's current date when a text needs the overdue condition.
TaskSqlTexts BuildTaskSql(const TaskConditions& conditions, const std::function<QString()>& serverDate);

} // namespace zq::task
