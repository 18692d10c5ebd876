#include "CodeIndexKeeper.h"

#include "CodeIndexLayout.h"
#include "RowReading.h"
#include "SqlSession.h"
#include "ZQPDMFC.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace zq::index {

namespace {

using quick::codeindex::RowTexts;
namespace layout = quick::codeindex;

// What a row's texts are compared by between runs: a 64-bit digest, so that a million rows are
// held in memory at little cost.
size_t Digest(const RowTexts& texts)
{
    return qHash(texts.codes + QChar(0x1f) + texts.texts, size_t(0x5a51));
}

struct KnownSource {
    int id = 0;
    QString columns;
    qint64 highWater = -1;
};

class Statement {
public:
    Statement(const QSqlDatabase& db, const QString& sql) : m_query(db) { m_query.prepare(sql); }
    bool run(const QVariantList& values, QString* error)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values.at(i));
        if (m_query.exec())
            return true;
        *error = db::DriverMessage(m_query.lastError());
        return false;
    }
    QSqlQuery& query() { return m_query; }

private:
    QSqlQuery m_query;
};

} // namespace

CodeIndexKeeper::CodeIndexKeeper(Connection* pdm, QSqlDatabase index) : m_pdm(pdm), m_index(std::move(index)) {}

CodeIndexReport CodeIndexKeeper::keep(const std::atomic<bool>* stop)
{
    CodeIndexReport report;
    for (const quick::SourceTable* source : layout::IndexedSources()) {
        if (stop && stop->load()) {
            report.stopped = true;
            break;
        }
        QString error;
        if (keepTable(*source, stop, &report, &error))
            ++report.tables;
        else if (!error.isEmpty())
            report.problems.append(source->table + QStringLiteral(": ") + error);
        if (stop && stop->load())
            report.stopped = true;
    }
    return report;
}

bool CodeIndexKeeper::keepTable(const quick::SourceTable& source, const std::atomic<bool>* stop,
                                CodeIndexReport* report, QString* error)
{
    // A table this PDM database does not have is not searched either: nothing to keep.
    bool present = false;
    try {
        quick::ReadRows(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) = lower('")
                            + source.table + QStringLiteral("')"),
                        m_pdm, 1, nullptr, [&present](const QStringList& row) {
                            present = row.at(0).toInt() > 0;
                            return false;
                        });
    } catch (const _com_error& failure) {
        *error = failure.Description();
        return false;
    }
    if (!present)
        return false;
    // Which id the table has in the index, and whether its texts were made of these columns.
    Statement known(m_index, QStringLiteral("SELECT SourceId, Columns, HighWater FROM %1 WHERE TableName = ?")
                                 .arg(layout::kSourceTable));
    if (!known.run({source.table}, error))
        return false;
    KnownSource existing;
    const bool listed = known.query().next();
    if (listed)
        existing = {known.query().value(0).toInt(), known.query().value(1).toString(),
                    known.query().value(2).toLongLong()};
    known.query().finish();
    if (!listed) {
        Statement largest(m_index, QStringLiteral("SELECT coalesce(max(SourceId), 0) FROM %1").arg(layout::kSourceTable));
        if (!largest.run({}, error) || !largest.query().next())
            return false;
        existing.id = largest.query().value(0).toInt() + 1;
        if (existing.id > layout::kLargestSourceId) {
            *error = QStringLiteral("编号索引的表太多");
            return false;
        }
    }
    const QString signature = layout::ColumnSignature(source);
    const QVariant lowest = layout::IndexRowId(existing.id, 0);
    const QVariant highest = layout::IndexRowId(existing.id, layout::kLargestRow);

    // What the index holds for the table now: rows of other columns are all written again.
    QHash<qint64, size_t> indexed;
    if (existing.columns == signature) {
        Statement held(m_index, QStringLiteral("SELECT rowid, Codes, Texts FROM %1 WHERE rowid BETWEEN ? AND ?")
                                    .arg(layout::kTextTable));
        if (!held.run({lowest, highest}, error))
            return false;
        while (held.query().next())
            indexed.insert(layout::PdmRowOf(held.query().value(0).toLongLong()),
                           Digest({held.query().value(1).toString(), held.query().value(2).toString()}));
    }

    // The transaction begins with the first change: a run that changes nothing writes nothing.
    bool inTransaction = false;
    const auto change = [&] {
        if (!inTransaction && !m_index.transaction()) {
            *error = db::DriverMessage(m_index.lastError());
            return false;
        }
        inTransaction = true;
        return true;
    };
    const auto giveUp = [&] {
        if (inTransaction)
            m_index.rollback();
        return false;
    };
    if (existing.columns != signature) {
        Statement clear(m_index, QStringLiteral("DELETE FROM %1 WHERE rowid BETWEEN ? AND ?").arg(layout::kTextTable));
        if (!change() || !clear.run({lowest, highest}, error))
            return giveUp();
    }
    Statement insert(m_index, QStringLiteral("INSERT INTO %1 (rowid, Codes, Texts) VALUES (?, ?, ?)").arg(layout::kTextTable));
    Statement update(m_index, QStringLiteral("UPDATE %1 SET Codes = ?, Texts = ? WHERE rowid = ?").arg(layout::kTextTable));
    Statement remove(m_index, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(layout::kTextTable));

    const QStringList columns = source.readColumns();
    const QString read = QStringLiteral("SELECT rowid, ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
                         + source.table + QStringLiteral(" ORDER BY rowid");
    qint64 highWater = 0;
    qint64 rows = 0;
    qint64 added = 0, changed = 0;
    bool written = true;
    std::atomic_bool cancel = false;
    try {
        quick::ReadRows(read, m_pdm, int(columns.size()) + 1, &cancel, [&](const QStringList& row) {
            const qint64 rowid = row.at(0).toLongLong();
            if (rowid < 0 || rowid > layout::kLargestRow) {
                *error = QStringLiteral("rowid %1 超出编号索引的范围").arg(rowid);
                written = false;
                return false;
            }
            if (stop && stop->load()) {
                written = false;
                return false;
            }
            const RowTexts texts = layout::TextsOf(source, row.mid(1));
            const qint64 key = layout::IndexRowId(existing.id, rowid);
            const auto found = indexed.constFind(rowid);
            if (found == indexed.constEnd()) {
                written = change() && insert.run({key, texts.codes, texts.texts}, error);
                ++added;
            } else {
                if (*found != Digest(texts)) {
                    written = change() && update.run({texts.codes, texts.texts, key}, error);
                    ++changed;
                }
                indexed.erase(found);
            }
            highWater = std::max(highWater, rowid);
            ++rows;
            return written;
        });
    } catch (const _com_error& failure) {
        *error = failure.Description();
        return giveUp();
    }
    if (!written)
        return giveUp();
    // Rows the table no longer holds.
    for (auto it = indexed.constBegin(); it != indexed.constEnd(); ++it)
        if (!change() || !remove.run({layout::IndexRowId(existing.id, it.key())}, error))
            return giveUp();
    report->rows += rows;
    if (!inTransaction && existing.highWater == highWater)
        return true;
    if (!change())
        return false;
    Statement mark(m_index, QStringLiteral("INSERT OR REPLACE INTO %1 (SourceId, TableName, Columns, HighWater, IndexedRows, "
                                           "IndexedAt) VALUES (?, ?, ?, ?, ?, ?)")
                                .arg(layout::kSourceTable));
    if (!mark.run({existing.id, source.table, signature, highWater, rows,
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))},
                  error))
        return giveUp();
    if (!m_index.commit()) {
        *error = db::DriverMessage(m_index.lastError());
        return giveUp();
    }
    report->added += added;
    report->changed += changed;
    report->removed += indexed.size();
    return true;
}

} // namespace zq::index
