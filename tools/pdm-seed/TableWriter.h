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

// One prepared INSERT for a table and a fixed list of its columns. Values are given in that
// order; a null QVariant is stored as NULL.
class TableWriter {
public:
    TableWriter(QSqlDatabase& db, const QString& table, const QStringList& columns);
    void add(const QVariantList& values);
    qint64 count() const { return m_count; }
private:
    QString m_table;
    int m_columnCount;
    QSqlQuery m_query;
    qint64 m_count = 0;
};

// Where the demo data goes: the database (one writer per table and column list, kept for the
// run) and the file store folder (paths inside it use '/').
class SeedOutput {
public:
    SeedOutput(QSqlDatabase& db, QString storeRoot);

    TableWriter& table(const QString& table, const QStringList& columns);
    void storeFile(const QString& storePath, const QByteArray& content);
    qint64 filesWritten() const { return m_files; }

private:
    QSqlDatabase& m_db;
    QString m_storeRoot;
    std::map<QString, std::unique_ptr<TableWriter>> m_writers;
    qint64 m_files = 0;
};

} // namespace zq::seed
