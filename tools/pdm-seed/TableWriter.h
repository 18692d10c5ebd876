#pragma once
// Row and file output of one seeding run: prepared inserts per table and the file store.
#include "Schema.h"
#include <QByteArray>
#include <QDir>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <stdexcept>

namespace zq::seed {

// A failure while seeding; the run is rolled back and the message reported.
class SeedError : public std::runtime_error {
public:
    explicit SeedError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }
private:
    QString m_message;
};

// The rows of one table and a fixed list of its columns, written in batches: one INSERT of many
// rows at a time, which a database server answers in one round trip. Values are given in column
// order; a null QVariant is stored as NULL. Rows still pending are written by flush().
class TableWriter {
public:
    // `lastOfTable`, when given, is shared by the writers of one table: the writer that took
    // rows last. A writer taking rows after another writes the other's pending rows first, so
    // that the table's rows keep the order they were added in.
    TableWriter(QSqlDatabase& db, const QString& table, const QStringList& columns,
                TableWriter** lastOfTable = nullptr);
    void add(const QVariantList& values);
    void flush();
    qint64 count() const { return m_count; }
    const QString& tableName() const { return m_table; }

private:
    QString insertText(int rows) const;
    void write(QSqlQuery& query, int rows);

    QSqlDatabase& m_db;
    QString m_table;
    QStringList m_columns;
    int m_columnCount;
    int m_batchRows;           // rows per full batch
    QSqlQuery m_batchQuery;    // the full batch's INSERT, prepared once
    bool m_batchPrepared = false;
    QVariantList m_pending;    // values of rows not yet written, row after row
    TableWriter** m_lastOfTable;
    qint64 m_count = 0;
};

// Where the demo data goes: the database (one writer per table and column list, kept for the
// run) and the file store folder (paths inside it use '/').
class SeedOutput {
public:
    SeedOutput(QSqlDatabase& db, QString storeRoot);

    // The writer of a table and column list; the rows of a table keep the order they were added
    // in, across its writers.
    TableWriter& table(const QString& table, const QStringList& columns);
    void storeFile(const QString& storePath, const QByteArray& content);
    // Writes every pending row.
    void flush();
    qint64 filesWritten() const { return m_files; }

private:
    QSqlDatabase& m_db;
    QString m_storeRoot;
    std::map<QString, std::unique_ptr<TableWriter>> m_writers;
    std::map<QString, TableWriter*> m_lastWriterOfTable;
    qint64 m_files = 0;
};

} // namespace zq::seed
