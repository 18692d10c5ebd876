#pragma once
// Reading the rows of one statement for the quick search, stopping when asked to.
#include "Recordset.h"

#include <QString>
#include <QStringList>
#include <atomic>

namespace zq::quick {

inline bool Cancelled(const std::atomic_bool* cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

// Reads every row of a statement into `row` (the first `columns` fields as text) and hands it on;
// stops when the handler says so or the search is cancelled. Every row is read (the counts are
// exact): the statement is planned for its whole result, with more options when given.
// Throws _com_error.
template <typename Handler>
void ReadRows(const QString& sql, Connection* connection, int columns, const std::atomic_bool* cancel, Handler handle,
              int moreOptions = 0)
{
    Recordset records;
    records.Open(sql, connection, adOpenForwardOnly, adLockReadOnly, zqPlanForEveryRow | moreOptions);
    QStringList row;
    row.reserve(columns);
    while (!records.IsEOF() && !Cancelled(cancel)) {
        row.clear();
        for (int i = 0; i < columns; ++i)
            row.append(records.GetFieldText(i));
        if (!handle(row))
            break;
        records.MoveNext();
    }
    records.Close();
}

} // namespace zq::quick
