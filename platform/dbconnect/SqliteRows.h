#pragma once
// SQLite recordsets read straight from the engine's own statement on the session's database
// handle. The values are those Qt's SQLite driver gives (integers as qint64, reals as double,
// blobs as QByteArray, NULL as a null text, the rest as text), without its per-row cache of
// variants, which costs more than reading the row.
#include "RowSource.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zq::db {

// The engine's handle behind a QSQLITE session, or null (another driver, not open).
sqlite3* SqliteHandle(const Session& session);

class SqliteRowSource final : public RowSource {
public:
    // Prepares the adapted text on the session's handle; throws _com_error carrying `sql`.
    SqliteRowSource(std::shared_ptr<Session> session, sqlite3* handle, const QString& adapted, const QString& sql);
    ~SqliteRowSource() override;
    SqliteRowSource(const SqliteRowSource&) = delete;
    SqliteRowSource& operator=(const SqliteRowSource&) = delete;

    int fieldCount() const override { return m_fieldCount; }
    QString fieldName(int index) const override;
    bool advance() override;
    void read(QVariantList& row) override;
    bool textBytes(int index, QByteArrayView& utf8) const override;
    bool allTextBytes(std::span<QByteArrayView> texts) const override;

private:
    [[noreturn]] void fail() const;

    std::shared_ptr<Session> m_session;   // keeps the handle open while the statement lives
    sqlite3* m_handle;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
    int m_fieldCount = 0;
    bool m_done = false;
};

} // namespace zq::db
