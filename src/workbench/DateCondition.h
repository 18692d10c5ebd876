#pragma once
// The date-range rule the pages share: dates from the pickers compared as text "yyyy-MM-dd".
#include <QDate>
#include <QString>

namespace zq {

// A picker's date as it goes into SQL.
QString SqlDateText(const QDate& date);

// An empty text with reversed set means the to-date lies before the from-date: the user is
// warned and the search runs without the condition.
struct DateCondition {
    QString sql;
    bool reversed = false;
};

// "column>'from' AND column<'to + 1 day'", or "column LIKE 'from%'" when both days are equal.
DateCondition BuildDateCondition(const QString& column, const QDate& from, const QDate& to);

} // namespace zq
