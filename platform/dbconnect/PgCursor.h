#pragma once
// PostgreSQL recordsets that stay open while other statements run: each recordset is a
// server-side cursor on one session of its own kind, fetched a batch at a time. Qt's
// forward-only PostgreSQL results are lost as soon as another statement runs on their
// connection, and buffered ones hold the whole result in client memory; cursors need neither.
#include "RowSource.h"

#include <QSet>
#include <QString>
#include <memory>

struct pg_result;

namespace zq::db {

// The session that holds the open cursors of one connection. Cursors live in a transaction
// that begins with the first and ends with the last. While other cursors are open, each
// statement runs behind a savepoint, so its failure never takes the others along. Each step
// is one round trip: the transaction and savepoint commands travel with the statement.
class PgCursorSession {
public:
    explicit PgCursorSession(const ConnectionUrl& url);
    ~PgCursorSession();

    // Declares a cursor for the adapted SELECT and fetches its first `rows` rows into `batch`
    // (buffered); returns the cursor's name. The hints set the server's planner for the
    // declaration alone (cursor_tuple_fraction 1 for every row, no sequential scans where an
    // index serves). Throws _com_error carrying `sql`.
    QString open(const QString& adapted, int rows, QSqlQuery& batch, const QString& sql, const PlanHints& hints = {});
    // Fetches the cursor's next `rows` rows into `batch`; throws _com_error.
    void fetch(const QString& cursor, int rows, QSqlQuery& batch, const QString& sql);
    // Closes the cursor; the transaction ends with the last one. Never throws.
    void close(const QString& cursor) noexcept;
    // Runs the adapted SELECT inside the open cursors' transaction, its whole result into
    // `result` (buffered). Throws _com_error carrying `sql`; the cursors stay as they were.
    void select(const QString& adapted, QSqlQuery& result, const QString& sql);
    int openCursors() const { return int(m_cursors.size()); }
    bool broken() const { return m_session.broken(); }

private:
    // Runs the statements into `query` as the class comment says; on failure the transaction is
    // brought back to where it was before and the error thrown.
    void run(QSqlQuery& query, const QStringList& statements, const QString& sql);
    bool control(const QString& statement) noexcept;
    void endTransaction() noexcept;

    Session m_session;
    QSet<QString> m_cursors;
    QStringList m_closeLater;     // finished cursors, closed with the next statement or the transaction
    bool m_inTransaction = false;
    bool m_guardSet = false;      // a savepoint from an earlier guarded statement is still there
    quint64 m_nextCursor = 0;
};

class PgCursorRowSource final : public RowSource {
public:
    // hints: how the server plans the cursor (see PgCursorSession::open).
    PgCursorRowSource(std::shared_ptr<PgCursorSession> session, const QString& adapted, const QString& sql,
                      const PlanHints& hints = {});
    ~PgCursorRowSource() override;
    int fieldCount() const override { return m_fieldCount; }
    QString fieldName(int index) const override { return m_names.value(index); }
    bool advance() override;
    void read(QVariantList& row) override;
    bool textBytes(int index, QByteArrayView& utf8) const override;

private:
    void takeBatch();

    std::shared_ptr<PgCursorSession> m_session;
    QString m_cursor;
    QString m_sql;
    QSqlQuery m_batch;
    pg_result* m_result = nullptr;   // the batch's libpq result, when the driver gives it
    QList<bool> m_textColumns;       // columns read straight from m_result
    int m_batchRows = 0;
    int m_askedRows = 0;       // rows the current batch asked for
    int m_at = 0;              // the current record's row in the batch
    bool m_lastBatch = false;
    int m_fieldCount = 0;
    QStringList m_names;
};

// The rows of one SELECT run inside the open cursors' transaction (PgCursorSession::select).
// While a recordset is being read, a look-up on the connection then needs no server connection
// of its own: behind a pooler in transaction mode, a client whose open read holds one server
// connection cannot wait for a second one that other such clients hold.
class PgStatementRowSource final : public RowSource {
public:
    PgStatementRowSource(std::shared_ptr<PgCursorSession> session, const QString& adapted, const QString& sql);
    int fieldCount() const override { return m_fieldCount; }
    QString fieldName(int index) const override { return m_names.value(index); }
    bool advance() override;
    void read(QVariantList& row) override;

private:
    std::shared_ptr<PgCursorSession> m_session;
    QSqlQuery m_result;
    int m_fieldCount = 0;
    QStringList m_names;
};

// True when the text is a query a cursor can be declared for (SELECT, WITH, VALUES, TABLE).
bool IsCursorQuery(const QString& sql);

} // namespace zq::db
