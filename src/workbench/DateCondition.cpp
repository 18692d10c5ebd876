#include "DateCondition.h"

#include "ZQPDMFC.h"

namespace zq {

QString SqlDateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

DateCondition BuildDateCondition(const QString& column, const QDate& from, const QDate& to, DateBounds bounds)
{
    const QString fromText = SqlDateText(from);
    const QString toText = SqlDateText(to);
    const int order = CompareNoCase(toText, fromText);
    if (order > 0) {
        const bool inclusive = bounds == DateBounds::Inclusive;
        const QString after = inclusive ? QStringLiteral(">='") : QStringLiteral(">'");
        const QString before = inclusive ? QStringLiteral("<='") : QStringLiteral("<'");
        QString sql = column + after + fromText + QStringLiteral("'");
        // After the pickers' last day (9999-12-31) comes a five-digit year, whose text sorts
        // before every date: up to that day the range is open above.
        const QDate next = to.addDays(1);
        if (next.isValid() && next.year() <= 9999)
            sql += QStringLiteral(" AND ") + column + before + SqlDateText(next) + QStringLiteral("'");
        return {sql, false};
    }
    if (order == 0)
        return {column + QStringLiteral(" LIKE '") + fromText + QStringLiteral("%'"), false};
    return {QString(), true};
}

} // namespace zq
