#pragma once
// The PDM tables: every table and column the search module and the sibling services read.
// Every column is nullable; dates are text "yyyy-MM-dd hh:mm:ss" so they compare as text.
// The module's own tables are those of a customer's PDM database; the stand-ins' tables (users,
// departments, design files) are ours, and the services work without them.
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::seed {

enum class Engine { Sqlite, Postgres, SqlServer };

enum class ColumnType { Text, LongText, Integer, Blob };

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
};

struct Table {
    QString name;
    QList<Column> columns;
    QList<QStringList> indexes;   // each entry: the columns of one index
    bool standIn = false;         // a table of the sibling stand-ins, not one the module reads

    QStringList columnNames() const;
};

// All tables, in creation order.
const QList<Table>& PdmTables();
const Table* FindTable(const QString& name);

// DDL for one engine. On PostgreSQL identifiers are written in lower case and unquoted, so any
// spelling the module uses (Dcode/DCode, ZqlomiraAll_Title) reaches the same column.
QString CreateTableSql(const Table& table, Engine engine);
QString DropTableSql(const Table& table, Engine engine);
QStringList CreateIndexSql(const Table& table, Engine engine);

} // namespace zq::seed
