#include "OrderSql.h"

namespace zq::part {

const ConditionTable& OrderTitleTable()
{
    static const ConditionTable table{
        QStringLiteral("SELECT DISTINCT TOrdercode, Tname, OrderProductCode, TOther4 FROM ZqOrderProduct_title"),
        QStringList{QStringLiteral("TOrdercode")} + TitleColumns()};
    return table;
}

const ConditionTable& OrderDetailTable()
{
    static const ConditionTable table{
        QStringLiteral("SELECT DISTINCT DOrdercode, Dname, OrderProductCode, DOther2 FROM ZqOrderProduct_detail"),
        QStringList{QStringLiteral("DOrdercode")} + DetailColumns()};
    return table;
}

PartSqlText BuildOrderSearchSql(int kind, const QStringList& values, const QDate& from, const QDate& to)
{
    switch (kind) {
    case KindTitle:
        return BuildDatedSql(OrderTitleTable(), values, from, to);
    case KindDetail:
        return {BuildConditionSql(OrderDetailTable(), values, QString()), false};
    default:
        return {};
    }
}

} // namespace zq::part
