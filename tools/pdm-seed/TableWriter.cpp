#include "TableWriter.h"
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <algorithm>

namespace zq::seed {

namespace {

// Values one INSERT may carry: what every engine and ODBC driver takes (SQLite before 3.32
// takes 999), and many more where the server is a round trip away.
int PlaceholderLimit(const QSqlDatabase& db)
{
    return db.driverName() == QLatin1String("QPSQL") ? 30000 : 999;
}

} // namespace

TableWriter::TableWriter(QSqlDatabase& db, const QString& table, const QStringList& columns, TableWriter** lastOfTable)
    : m_db(db), m_table(table), m_columns(columns), m_columnCount(int(columns.size())), m_batchQuery(db),
      m_lastOfTable(lastOfTable)
{
    const Table* known = FindTable(table);
    if (!known)
        throw SeedError(QStringLiteral("no table %1 in the schema").arg(table));
    const QStringList names = known->columnNames();
    for (const QString& c : columns)
        if (!names.contains(c, Qt::CaseInsensitive))
            throw SeedError(QStringLiteral("no column %1 in table %2").arg(c, table));
    m_batchRows = std::clamp(PlaceholderLimit(db) / std::max(1, m_columnCount), 1, 1000);
    m_pending.reserve(qsizetype(m_batchRows) * m_columnCount);
}

QString TableWriter::insertText(int rows) const
{
    QString marks = QStringLiteral("(?");
    for (int i = 1; i < m_columnCount; ++i)
        marks += QStringLiteral(", ?");
    marks += u')';
    QStringList tuples;
    tuples.reserve(rows);
    for (int r = 0; r < rows; ++r)
        tuples.append(marks);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(m_table, m_columns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", ")));
}

void TableWriter::add(const QVariantList& values)
{
    if (values.size() != m_columnCount)
        throw SeedError(QStringLiteral("%1 values for %2 columns of %3").arg(values.size()).arg(m_columnCount).arg(m_table));
    if (m_lastOfTable && *m_lastOfTable != this) {
        if (*m_lastOfTable)
            (*m_lastOfTable)->flush();
        *m_lastOfTable = this;
    }
    m_pending.append(values);
    ++m_count;
    if (m_pending.size() >= qsizetype(m_batchRows) * m_columnCount) {
        if (!m_batchPrepared) {
            if (!m_batchQuery.prepare(insertText(m_batchRows)))
                throw SeedError(
                    QStringLiteral("cannot prepare the insert into %1: %2").arg(m_table, m_batchQuery.lastError().text()));
            m_batchPrepared = true;
        }
        write(m_batchQuery, m_batchRows);
    }
}

void TableWriter::flush()
{
    if (m_pending.isEmpty())
        return;
    const int rows = int(m_pending.size() / m_columnCount);
    QSqlQuery query(m_db);
    if (!query.prepare(insertText(rows)))
        throw SeedError(QStringLiteral("cannot prepare the insert into %1: %2").arg(m_table, query.lastError().text()));
    write(query, rows);
}

void TableWriter::write(QSqlQuery& query, int rows)
{
    for (int i = 0; i < rows * m_columnCount; ++i)
        query.bindValue(i, m_pending.at(i));
    if (!query.exec())
        throw SeedError(QStringLiteral("cannot insert into %1: %2").arg(m_table, query.lastError().text()));
    m_pending.clear();
}

SeedOutput::SeedOutput(QSqlDatabase& db, QString storeRoot) : m_db(db), m_storeRoot(std::move(storeRoot)) {}

TableWriter& SeedOutput::table(const QString& table, const QStringList& columns)
{
    const QString key = table + QLatin1Char('|') + columns.join(QLatin1Char(','));
    auto it = m_writers.find(key);
    if (it == m_writers.end()) {
        TableWriter** last = &m_lastWriterOfTable[table.toLower()];
        it = m_writers.emplace(key, std::make_unique<TableWriter>(m_db, table, columns, last)).first;
    }
    return *it->second;
}

void SeedOutput::flush()
{
    for (auto& [key, writer] : m_writers)
        writer->flush();
}

void SeedOutput::storeFile(const QString& storePath, const QByteArray& content)
{
    const QString path = m_storeRoot + QLatin1Char('/') + storePath;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw SeedError(QStringLiteral("cannot create the folder of %1").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()
        || !file.flush()) {
        throw SeedError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
    file.close();
    ++m_files;
}

} // namespace zq::seed
