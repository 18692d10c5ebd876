#pragma once
// What the client's task view lists: the tasks the task search finds for a page's conditions,
// without the finished ones while the state is "所有".
#include "TaskSql.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zq { class CZQDBConnect; }

namespace zq::host {

// Task and review states that mean the task needs nothing more.
bool IsFinishedState(const QString& state);

struct TaskRows {
    QList<QStringList> rows;   // six texts each, as the task list shows them
    QString error;             // the database's reason when a query failed
    bool ok = true;
};

TaskRows ListOpenTasks(zq::CZQDBConnect& database, const zq::task::TaskConditions& conditions);

} // namespace zq::host
