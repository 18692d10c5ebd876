#include "PartSql.h"

#include "SqlText.h"

namespace zq::part {

namespace {

const QString kAnd = QStringLiteral(" AND ");

// Appends one condition to the joined text: the first without a prefix, later ones after " AND ".
void Join(QString& joined, const QString& condition)
{
    if (!joined.isEmpty())
        joined += kAnd;
    joined += condition;
}

// The pattern of row i, or an empty text for a row that is not there.
QString RowPattern(const QStringList& values, int row)
{
    return row < values.size() ? PatternToSql(values.at(row)) : QString();
}

// "column LIKE '<open>value<close>'" for every filled row, in row order.
QString RowConditions(const QStringList& values, const QStringList& columns, const QString& wrap)
{
    QString joined;
    for (int row = 0; row < columns.size(); ++row) {
        const QString value = RowPattern(values, row);
        if (!value.isEmpty())
            Join(joined, columns.at(row) + QStringLiteral(" LIKE '") + wrap + value + wrap + QStringLiteral("'"));
    }
    return joined;
}

} // namespace

const QStringList& TitleColumns()
{
    static const QStringList columns{
        QStringLiteral("Tcode"),     QStringLiteral("Tname"),     QStringLiteral("Tmaterial"),
        QStringLiteral("Tratio"),    QStringLiteral("Tframe"),    QStringLiteral("Ttitle"),
        QStringLiteral("Tstandard"), QStringLiteral("Tlayout"),   QStringLiteral("Tassemble"),
        QStringLiteral("Tdesigner"), QStringLiteral("Tother1"),   QStringLiteral("Tother3"),
        QStringLiteral("Tother4"),   QStringLiteral("Tother5"),   QStringLiteral("Manager"),
        QStringLiteral("State"),
    };
    return columns;
}

const QStringList& DetailColumns()
{
    static const QStringList columns{
        QStringLiteral("Dcode"),   QStringLiteral("Dname"),  QStringLiteral("Dmaterial"), QStringLiteral("Dstand"),
        QStringLiteral("Dremark"), QStringLiteral("Dstyle"), QStringLiteral("Dother1"),   QStringLiteral("Dother2"),
    };
    return columns;
}

const QStringList& AttributeColumns()
{
    static const QStringList columns{
        QStringLiteral("GroupCode"), QStringLiteral("Key_Flag"),   QStringLiteral("Out_Flag"),
        QStringLiteral("Box_Length"), QStringLiteral("Box_Width"), QStringLiteral("Box_Height"),
        QStringLiteral("Provider"),  QStringLiteral("Other1"),     QStringLiteral("Other2"),
        QStringLiteral("Other3"),    QStringLiteral("Other4"),     QStringLiteral("Other5"),
    };
    return columns;
}

DateCondition BuildDateCondition(const QDate& from, const QDate& to)
{
    return zq::BuildDateCondition(QStringLiteral("Ttime"), from, to);
}

const ConditionTable& DesignTitleTable()
{
    static const ConditionTable table{
        QStringLiteral("SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title"), TitleColumns()};
    return table;
}

const ConditionTable& DesignDetailTable()
{
    static const ConditionTable table{
        QStringLiteral("SELECT DISTINCT Dcode, Dname, ProductDwgCode, DOther2 FROM ZqlomiraAll_detail"), DetailColumns()};
    return table;
}

QString BuildConditionSql(const ConditionTable& table, const QStringList& values, const QString& lastCondition)
{
    QString conditions = RowConditions(values, table.columns, QStringLiteral("%"));
    if (!lastCondition.isEmpty())
        Join(conditions, lastCondition);
    return conditions.isEmpty() ? table.select : table.select + QStringLiteral(" WHERE ") + conditions;
}

PartSqlText BuildDatedSql(const ConditionTable& table, const QStringList& values, const QDate& from, const QDate& to)
{
    const DateCondition date = BuildDateCondition(from, to);
    return {BuildConditionSql(table, values, date.sql), date.reversed};
}

PartSqlText BuildTitleSql(const QStringList& values, const QDate& from, const QDate& to)
{
    return BuildDatedSql(DesignTitleTable(), values, from, to);
}

PartSqlText BuildDetailSql(const QStringList& values, bool scopeOn, const QString& scope)
{
    const QString scopePattern = scopeOn ? PatternToSql(scope) : QString();
    // The scope condition comes last; the structure search leaves it out.
    const QString scopeCondition =
        scopePattern.isEmpty() ? QString() : QStringLiteral("ProductDwgCode LIKE '%") + scopePattern + QStringLiteral("%'");
    return {BuildConditionSql(DesignDetailTable(), values, scopeCondition), false};
}

PartSqlText BuildAttributeSql(const QStringList& values, const QDate& from, const QDate& to)
{
    const QString select = QStringLiteral("SELECT DISTINCT Tcode, Tname, ProductDwgCode FROM ZqlomiraAll_title");
    const QString attributes = RowConditions(values, AttributeColumns(), QString());
    const DateCondition date = BuildDateCondition(from, to);
    QString sql = select;
    if (!attributes.isEmpty()) {
        sql += QStringLiteral(" WHERE Tcode IN (SELECT PartCode FROM PartAttribute WHERE ") + attributes +
               QStringLiteral(")");
        if (!date.sql.isEmpty())
            sql += kAnd + date.sql;
    } else if (!date.sql.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + date.sql;
    }
    return {sql, date.reversed};
}

PartSqlText BuildSearchSql(const SearchInput& input)
{
    switch (input.kind) {
    case KindTitle:
        return BuildTitleSql(input.values, input.from, input.to);
    case KindDetail:
        return BuildDetailSql(input.values, input.scopeOn, input.scope);
    default:
        return BuildAttributeSql(input.values, input.from, input.to);
    }
}

QString StructureCondition(const QStringList& detailValues)
{
    const QString conditions = RowConditions(detailValues, DetailColumns(), QStringLiteral("%"));
    return conditions.isEmpty() ? QString() : conditions + QStringLiteral(" ");
}

namespace {

// A SELECT over the product's part-list lines, with the condition when there is one.
QString ProductLinesSql(const QString& select, const QString& productCode, const QString& condition)
{
    QString sql = select + QStringLiteral(" FROM ZqlomiraAll_detail WHERE ProductDwgCode='") + SqlQuote(productCode) +
                  QStringLiteral("'");
    if (!condition.isEmpty())
        sql += kAnd + condition;
    return sql;
}

} // namespace

QString StructureRowsSql(const QString& productCode, const QString& condition)
{
    return ProductLinesSql(QStringLiteral("SELECT UpCode, DCode"), productCode, condition);
}

QString StructureCountSql(const QString& productCode, const QString& condition)
{
    return ProductLinesSql(QStringLiteral("SELECT count(*)"), productCode, condition);
}

QString ParentCodesSql(const QString& productCode, const QString& code)
{
    return QStringLiteral("SELECT UpCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='") + SqlQuote(productCode) +
           QStringLiteral("' AND DCode='") + SqlQuote(code) + QStringLiteral("'");
}

QString PartNameSql(const QString& partCode, const QString& productCode)
{
    return QStringLiteral("SELECT DName FROM ZqlomiraAll_detail WHERE DCode='") + SqlQuote(partCode) +
           QStringLiteral("' AND ProductDwgCode='") + SqlQuote(productCode) + QStringLiteral("'");
}

QString ProductNameSql(const QString& productCode)
{
    return QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = '") + SqlQuote(productCode) +
           QStringLiteral("'");
}

QString LocateText(const QString& code, const QString& productOrPath, bool scoped, const QString& scope)
{
    const QString separator = QStringLiteral("@^");
    QString text = code + separator + productOrPath;
    if (scoped)
        text += separator + scope + separator + QStringLiteral("1");
    return text;
}

} // namespace zq::part
