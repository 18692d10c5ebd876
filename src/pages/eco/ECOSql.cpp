#include "ECOSql.h"

#include "SqlText.h"
#include "ZQPDMFC.h"

namespace zq::eco {

namespace {

const QString kOrderSelect = QStringLiteral("SELECT '修改单', ECONo, Remark, SaveUser, SaveDate FROM ECOModifyManage");

// Appends one condition: " AND cond" to an open clause, or opens it with the given form
// (" WHERE %s" or " WHERE <prefix> %s").
void AppendCondition(QString& clause, const QString& condition, const QString& openingPrefix)
{
    if (!clause.isEmpty())
        clause += QStringLiteral(" AND ") + condition;
    else
        clause = QStringLiteral(" WHERE ") + openingPrefix + condition;
}

// The bare SELECT, then a date condition and one subquery condition; both optional.
SqlText DateAndSubquery(const QDate& from, const QDate& to, const QString& subquery)
{
    const DateCondition date = BuildDateCondition(from, to);
    QString clause;
    if (!date.sql.isEmpty())
        clause = QStringLiteral(" WHERE ") + date.sql;
    if (!subquery.isEmpty())
        AppendCondition(clause, subquery, QString());
    return {kOrderSelect + clause, date.reversed};
}

} // namespace

const QStringList& StateNames()
{
    static const QStringList names{
        QStringLiteral("临时"), QStringLiteral("待评审"), QStringLiteral("评审"), QStringLiteral("更改"),
        QStringLiteral("完成"), QStringLiteral("正式"), QStringLiteral("所有"),
    };
    return names;
}

QString StatePrefix(int stateIndex)
{
    if (stateIndex < 0 || stateIndex >= kAllStates)
        return QString();
    return QStringLiteral("State='%1' AND").arg(StateNames().at(stateIndex));
}

QString ContainsPattern(const QString& text)
{
    return PatternToSql(QStringLiteral("*") + SqlValueText(text) + QStringLiteral("*"));
}

DateCondition BuildDateCondition(const QDate& from, const QDate& to)
{
    return zq::BuildDateCondition(QStringLiteral("SaveDate"), from, to);
}

SqlText BuildOrderSql(const OrderConditions& conditions)
{
    const QString author = TypedSqlText(conditions.author);
    const QString orderNumber = TypedSqlText(conditions.orderNumber);
    const QString subject = TypedSqlText(conditions.subject);
    const QString partCode = SqlValueText(conditions.partCode);
    // The state prefix stands right after WHERE, so it only applies with another condition.
    const QString opening = StatePrefix(conditions.stateIndex) + QStringLiteral(" ");

    QString clause;
    if (!author.isEmpty())
        clause = QStringLiteral(" WHERE ") + opening + QStringLiteral("SaveUser LIKE '%1'").arg(ContainsPattern(author));

    const DateCondition date = BuildDateCondition(conditions.from, conditions.to);
    if (!date.sql.isEmpty())
        AppendCondition(clause, date.sql, opening);
    if (!orderNumber.isEmpty())
        AppendCondition(clause, QStringLiteral("ECONo LIKE '%1'").arg(ContainsPattern(orderNumber)), opening);
    if (!subject.isEmpty())
        AppendCondition(clause, QStringLiteral("Remark LIKE '%1'").arg(ContainsPattern(subject)), opening);
    if (!partCode.isEmpty())
        AppendCondition(clause,
                        QStringLiteral("ECONo IN (SELECT ECONo FROM ECOModifyPart WHERE PartCode LIKE '%1')")
                            .arg(ContainsPattern(partCode)),
                        opening);
    return {kOrderSelect + clause, date.reversed};
}

SqlText BuildChangedPartSql(const PartConditions& conditions)
{
    const QString author = TypedSqlText(conditions.author);
    const QString orderNumber = TypedSqlText(conditions.orderNumber);
    const QString subject = TypedSqlText(conditions.subject);
    const QString partCode = TypedSqlText(conditions.partCode);

    // The change-order clause C.
    QString orders;
    if (!author.isEmpty())
        orders = QStringLiteral(" WHERE SaveUser LIKE '%1'").arg(ContainsPattern(author));
    const DateCondition date = BuildDateCondition(conditions.from, conditions.to);
    if (!date.sql.isEmpty())
        AppendCondition(orders, date.sql, QString());
    if (!orderNumber.isEmpty())
        AppendCondition(orders, QStringLiteral("ECONo LIKE '%1'").arg(ContainsPattern(orderNumber)), QString());
    if (!subject.isEmpty())
        AppendCondition(orders, QStringLiteral("Remark LIKE '%1'").arg(ContainsPattern(subject)), QString());

    // The change-order subquery E and the part predicate P.
    QString orderSubquery;
    if (!orders.isEmpty())
        orderSubquery = QStringLiteral("ECONo IN (SELECT ECONo FROM ECOModifyManage ") + orders + QStringLiteral(")");
    QString predicate;
    if (!partCode.isEmpty()) {
        predicate = QStringLiteral("IN (SELECT PartCode FROM ECOModifyPart WHERE PartCode LIKE '%1'")
                        .arg(ContainsPattern(partCode));
        if (!orderSubquery.isEmpty())
            predicate += QStringLiteral(" AND ") + orderSubquery;
        predicate += QStringLiteral(")");
    } else if (!orderSubquery.isEmpty()) {
        predicate = QStringLiteral("IN (SELECT PartCode FROM ECOModifyPart WHERE ") + orderSubquery + QStringLiteral(")");
    }

    QString sql;
    QString keyColumn;
    if (conditions.mode == PartResultMode::ChangedParts) {
        sql = QStringLiteral("SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title");
        keyColumn = QStringLiteral(" WHERE TCode ");
    } else {
        sql = QStringLiteral("SELECT DISTINCT Upcode, Upname, ProductDwgCode, DOther2 FROM ZqlomiraAll_detail");
        keyColumn = QStringLiteral(" WHERE DCode ");
    }
    if (!predicate.isEmpty())
        sql += keyColumn + predicate;
    return {sql, date.reversed};
}

SqlText BuildDepartmentSql(const QDate& from, const QDate& to, const QStringList& departments)
{
    QString matches;
    for (const QString& name : departments) {
        if (matches.isEmpty())
            matches = QStringLiteral("ltrim(Enpartment)='") + SqlQuote(name) + QStringLiteral("'");
        else
            matches += QStringLiteral(" OR ltrim(Enpartment)='") + SqlQuote(name) + QStringLiteral("'");
    }
    QString subquery;
    if (!matches.isEmpty())
        subquery = QStringLiteral("ECONo IN (SELECT ECONo FROM ECOHandout WHERE ECOGroup='修改单' AND (")
                   + matches + QStringLiteral("))");
    return DateAndSubquery(from, to, subquery);
}

SqlText BuildOpinionSql(const QDate& from, const QDate& to, const QStringList& opinions)
{
    QString matches;
    for (const QString& opinion : opinions) {
        if (matches.isEmpty())
            matches = QStringLiteral("Result LIKE '") + ContainsPattern(opinion) + QStringLiteral("'");
        else
            matches += QStringLiteral(" OR Result LIKE '") + ContainsPattern(opinion) + QStringLiteral("'");
    }
    QString subquery;
    if (!matches.isEmpty())
        subquery = QStringLiteral("ECONo IN (SELECT ECONo FROM ECOModifyPart WHERE (") + matches + QStringLiteral("))");
    return DateAndSubquery(from, to, subquery);
}

QString StoredFileSizeSql(const QString& kind, const QString& number)
{
    return QStringLiteral("SELECT FileBulk FROM ECORelateFile WHERE ECOGroup='%1' AND ECONo='%2' AND DocType='_ZQ_ECO'")
        .arg(SqlQuote(kind), SqlQuote(number));
}

QString StoredFileContentSql(const QString& kind, const QString& number)
{
    return QStringLiteral(
               "SELECT DocSaved, DocContent FROM ECORelateFile WHERE ECOGroup='%1' AND ECONo='%2' AND DocType='_ZQ_ECO'")
        .arg(SqlQuote(kind), SqlQuote(number));
}

QString StoredFileName(const QString& number)
{
    return QStringLiteral("M") + CodeToPathSegment(number) + QStringLiteral("_ECO.tbl");
}

} // namespace zq::eco
