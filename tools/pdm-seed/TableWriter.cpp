#include "TableWriter.h"
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

namespace zq::seed {

TableWriter::TableWriter(QSqlDatabase& db, const QString& table, const QStringList& columns)
    : m_table(table), m_columnCount(int(columns.size())), m_query(db)
{
    const Table* known = FindTable(table);
    if (!known)
        throw SeedError(QStringLiteral("no table %1 in the schema").arg(table));
    const QStringList names = known->columnNames();
    for (const QString& c : columns)
        if (!names.contains(c, Qt::CaseInsensitive))
            throw SeedError(QStringLiteral("no column %1 in table %2").arg(c, table));
    QStringList marks;
    for (int i = 0; i < m_columnCount; ++i)
        marks.append(QStringLiteral("?"));
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    if (!m_query.prepare(sql))
        throw SeedError(QStringLiteral("cannot prepare the insert into %1: %2").arg(table, m_query.lastError().text()));
}

void TableWriter::add(const QVariantList& values)
{
    if (values.size() != m_columnCount)
        throw SeedError(QStringLiteral("%1 values for %2 columns of %3").arg(values.size()).arg(m_columnCount).arg(m_table));
    for (int i = 0; i < m_columnCount; ++i)
        m_query.bindValue(i, values.at(i));
    if (!m_query.exec())
        throw SeedError(QStringLiteral("cannot insert into %1: %2").arg(m_table, m_query.lastError().text()));
    ++m_count;
}

SeedOutput::SeedOutput(QSqlDatabase& db, QString storeRoot) : m_db(db), m_storeRoot(std::move(storeRoot)) {}

TableWriter& SeedOutput::table(const QString& table, const QStringList& columns)
{
    const QString key = table + QLatin1Char('|') + columns.join(QLatin1Char(','));
    auto it = m_writers.find(key);
    if (it == m_writers.end())
        it = m_writers.emplace(key, std::make_unique<TableWriter>(m_db, table, columns)).first;
    return *it->second;
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
