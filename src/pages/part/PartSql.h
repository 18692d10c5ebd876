#pragma once
// The SQL texts of the design-part page, built from plain values so they can be checked without
// widgets: one SELECT per condition kind from the values of the condition rows (by row position),
// the date range and the scope. Every value placed between quotes has its quotes doubled and ends
// at a NUL character. The rules are written once over a table description, so the batch-product
// page (OrderSql.h) builds its texts with the same code over its own tables.
#include "DateCondition.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zq::part {

// Condition kinds of the combo box 1256, by index.
enum ConditionKind { KindTitle = 0, KindDetail = 1, KindAttribute = 2 };
constexpr int kTitleRowCount = 16;
constexpr int kDetailRowCount = 8;
constexpr int kAttributeRowCount = 12;

// The database columns of the condition rows, by row index.
const QStringList& TitleColumns();
const QStringList& DetailColumns();
const QStringList& AttributeColumns();

// A built SELECT and whether "开始日期与结束日期不匹配..." must be shown before it runs.
struct PartSqlText {
    QString sql;
    bool dateWarning = false;
};

// One searchable table: the SELECT without conditions and the column each condition row
// compares, by row index.
struct ConditionTable {
    QString select;
    QStringList columns;
};
const ConditionTable& DesignTitleTable();
const ConditionTable& DesignDetailTable();

// The Ttime condition of the title and attribute searches.
DateCondition BuildDateCondition(const QDate& from, const QDate& to);

// "column LIKE '%value%'" for every filled row, in row order, joined by " AND "; then
// lastCondition when it is not empty; the SELECT gets " WHERE " and the text when any is there.
QString BuildConditionSql(const ConditionTable& table, const QStringList& values, const QString& lastCondition);
// The title rule: the row conditions, then the date condition (left out when the range is reversed).
PartSqlText BuildDatedSql(const ConditionTable& table, const QStringList& values, const QDate& from, const QDate& to);

// values: the texts of column 1 of the condition rows, row 0 first; missing rows count as empty.
PartSqlText BuildTitleSql(const QStringList& values, const QDate& from, const QDate& to);
PartSqlText BuildDetailSql(const QStringList& values, bool scopeOn, const QString& scope);
PartSqlText BuildAttributeSql(const QStringList& values, const QDate& from, const QDate& to);

// The builder of the kind: 0 title, 1 detail, any other value attribute.
struct SearchInput {
    int kind = KindTitle;
    QStringList values;
    QDate from;
    QDate to;
    bool scopeOn = false;
    QString scope;
};
PartSqlText BuildSearchSql(const SearchInput& input);

// The part-list condition of a structure search: the conditions of the detail rows without the
// scope condition, with the blank that separated them from it; empty when no row is filled.
QString StructureCondition(const QStringList& detailValues);

// The SQL texts of the structure search (product code and codes with their quotes doubled here).
QString StructureRowsSql(const QString& productCode, const QString& condition);
QString StructureCountSql(const QString& productCode, const QString& condition);
QString ParentCodesSql(const QString& productCode, const QString& code);
QString PartNameSql(const QString& partCode, const QString& productCode);
QString ProductNameSql(const QString& productCode);

// The locate text of a result row: code "@^" product or path, and "@^" scope "@^" "1" when the
// scope is in force.
QString LocateText(const QString& code, const QString& productOrPath, bool scoped, const QString& scope);

} // namespace zq::part
