#pragma once
// Keeps the quick search's index of folded codes (CodeIndexLayout.h) in an SQLite content index
// up to date with an SQLite PDM database, on every run of zqpdm-index. Each table is read whole,
// in rowid order, and compared row by row with what the index holds for it: rows new since the
// last run are added, rows whose codes or texts changed are written again, rows gone are taken
// out; the table's high-water mark becomes its largest rowid. A table is brought up to date in one
// transaction, so a search never sees half of one. The rowid is the only key an SQLite table
// without a primary key offers, and a PDM table has none; a change to a row keeps its rowid.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <atomic>

namespace zq {
class Connection;
}

namespace zq::quick {
struct SourceTable;
}

namespace zq::index {

struct CodeIndexReport {
    int tables = 0;          // tables brought up to date
    qint64 rows = 0;         // rows they hold
    qint64 added = 0;
    qint64 changed = 0;
    qint64 removed = 0;
    QStringList problems;    // "<table>: <why>": tables left as they were
    bool stopped = false;
};

class CodeIndexKeeper {
public:
    // pdm: the PDM database (SQLite); index: the content index's database (SQLite), with the
    // side index's tables.
    CodeIndexKeeper(Connection* pdm, QSqlDatabase index);
    CodeIndexReport keep(const std::atomic<bool>* stop);

private:
    // One table brought up to date; false with the reason (nothing of it changed).
    bool keepTable(const quick::SourceTable& source, const std::atomic<bool>* stop, CodeIndexReport* report,
                   QString* error);

    Connection* m_pdm;
    QSqlDatabase m_index;
};

} // namespace zq::index
