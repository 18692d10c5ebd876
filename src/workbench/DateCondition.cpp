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
        return {column + after + fromText + QStringLiteral("' AND ") + column + before + SqlDateText(to.addDays(1)) +
                    QStringLiteral("'"),
                false};
    }
    if (order == 0)
        return {column + QStringLiteral(" LIKE '") + fromText + QStringLiteral("%'"), false};
    return {QString(), true};
}

} // namespace zq
