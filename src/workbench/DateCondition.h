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

// How the range's ends compare: "column>'from' AND column<'to + 1 day'" (most pages), or
// "column>='from' AND column<='to + 1 day'" (the document page).
enum class DateBounds { Exclusive, Inclusive };

// The range condition, or "column LIKE 'from%'" when both days are equal; only the lower end
// when "to" is 9999-12-31, the last day a picker offers.
DateCondition BuildDateCondition(const QString& column, const QDate& from, const QDate& to,
                                 DateBounds bounds = DateBounds::Exclusive);

} // namespace zq
