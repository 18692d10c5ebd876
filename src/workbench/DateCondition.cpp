#include "DateCondition.h"

#include "ZQPDMFC.h"

namespace zq {

QString SqlDateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

DateCondition BuildDateCondition(const QString& column, const QDate& from, const QDate& to)
{
    const QString fromText = SqlDateText(from);
    const QString toText = SqlDateText(to);
    const int order = CompareNoCase(toText, fromText);
    if (order > 0)
        return {column + QStringLiteral(">'") + fromText + QStringLiteral("' AND ") + column + QStringLiteral("<'") +
                    SqlDateText(to.addDays(1)) + QStringLiteral("'"),
                false};
    if (order == 0)
        return {column + QStringLiteral(" LIKE '") + fromText + QStringLiteral("%'"), false};
    return {QString(), true};
}

} // namespace zq
