#pragma once
// Queries of the seeder's tests on a database by its URL, through the seeder's own connection.
#include "DatabaseUrl.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <gtest/gtest.h>

namespace zq::test {

// All rows of a query on the database at url, each row's fields as text.
inline QList<QStringList> Query(const QString& url, const QString& sql)
{
    QList<QStringList> rows;
    const auto target = seed::ParseDatabaseUrl(url);
    if (!target) {
        ADD_FAILURE() << "bad url " << url.toStdString();
        return rows;
    }
    seed::SeedConnection connection(*target);
    QString error;
    if (!connection.open(&error)) {
        ADD_FAILURE() << error.toStdString();
        return rows;
    }
    QSqlQuery query(connection.db());
    if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return rows;
    }
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row.append(query.value(i).toString());
        rows.append(row);
    }
    return rows;
}

inline QString One(const QString& url, const QString& sql)
{
    const auto rows = Query(url, sql);
    return rows.isEmpty() || rows.first().isEmpty() ? QString() : rows.first().first();
}

inline long long Count(const QString& url, const QString& sql)
{
    return One(url, sql).toLongLong();
}

inline void Execute(const QString& url, const QString& sql)
{
    const auto target = seed::ParseDatabaseUrl(url);
    ASSERT_TRUE(target.has_value());
    seed::SeedConnection connection(*target);
    QString error;
    ASSERT_TRUE(connection.open(&error)) << error.toStdString();
    QSqlQuery query(connection.db());
    ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
}

} // namespace zq::test
