#include "PgCursor.h"
#include "LateLibraries.h"
#include "LateLibrary.h"
#include "SqlDialect.h"

#include <QSqlError>
#include <QSqlRecord>
#include <QSqlResult>

#include <libpq-fe.h>

#include <algorithm>

namespace zq::db {

namespace {

// The first batch is small, so that a list shows its first rows at once; each later one is four
// times the one before, up to a size at which the round trips cost little beside the rows.
constexpr int kFirstBatchRows = 256;
constexpr int kLargestBatchRows = 16384;

// The libpq functions that read a result, loaded with the first PostgreSQL result (Qt's driver has
// loaded the library by then). Without them the rows are read through the driver.
struct PqApi {
    decltype(&PQftype) ftype = nullptr;
    decltype(&PQgetisnull) getisnull = nullptr;
    decltype(&PQgetvalue) getvalue = nullptr;
    decltype(&PQgetlength) getlength = nullptr;
};

const PqApi* pq()
{
    return LateFunctions<PqApi>(late::kPq, [](LateLibrary& library, PqApi& f) {
        return library.resolve(f.ftype, "PQftype", f.getisnull, "PQgetisnull", f.getvalue, "PQgetvalue", f.getlength,
                               "PQgetlength");
    });
}

QString WithoutTrailingSemicolons(QString sql)
{
    while (true) {
        const QString trimmed = sql.trimmed();
        if (!trimmed.endsWith(u';'))
            return sql;
        sql = trimmed.chopped(1);
    }
}

// text, varchar, bpchar: the kinds Qt's driver gives as a QString of the result's bytes.
bool IsTextType(Oid type)
{
    return type == 25 || type == 1043 || type == 1042;
}

} // namespace

bool IsCursorQuery(const QString& sql)
{
    for (const sql::Token& t : sql::Tokenize(sql)) {
        if (t.kind == sql::Token::Space || t.kind == sql::Token::Comment || t.kind == sql::Token::Open)
            continue;
        if (t.kind != sql::Token::Word)
            return false;
        const QString word = t.text.toUpper();
        return word == u"SELECT" || word == u"WITH" || word == u"VALUES" || word == u"TABLE";
    }
    return false;
}

PgCursorSession::PgCursorSession(const ConnectionUrl& url) : m_session(url, QStringLiteral("cursors")) {}

PgCursorSession::~PgCursorSession()
{
    if (m_inTransaction)
        control(QStringLiteral("ROLLBACK"));
}

bool PgCursorSession::control(const QString& statement) noexcept
{
    QSqlQuery query(m_session.database());
    return query.exec(statement);
}

void PgCursorSession::run(QSqlQuery& query, const QStringList& statements, const QString& sql)
{
    const bool guarded = !m_cursors.isEmpty();
    QStringList text;
    if (!m_inTransaction)
        text << QStringLiteral("BEGIN");
    for (const QString& cursor : std::as_const(m_closeLater))
        text << QStringLiteral("CLOSE ") + cursor;
    m_closeLater.clear();
    if (guarded && m_guardSet)
        text << QStringLiteral("RELEASE SAVEPOINT zq_guard");
    if (guarded)
        text << QStringLiteral("SAVEPOINT zq_guard");
    text << statements;
    query = QSqlQuery(m_session.database());
    query.setForwardOnly(false);
    // One result per statement; the last one (the rows) stays current. The engine stops at
    // the first failing statement.
    bool ok = query.exec(text.join(QStringLiteral("; ")));
    for (qsizetype i = 1; ok && i < text.size(); ++i)
        ok = query.nextResult();
    if (ok) {
        m_inTransaction = true;
        m_guardSet = m_guardSet || guarded;
        return;
    }
    const _com_error error = StatementError(query.lastError(), sql);
    query = QSqlQuery();
    if (guarded && control(QStringLiteral("ROLLBACK TO SAVEPOINT zq_guard"))) {
        m_guardSet = true;
    } else {
        // Nothing else was open (or the transaction cannot be saved): start afresh.
        control(QStringLiteral("ROLLBACK"));
        m_inTransaction = false;
        m_guardSet = false;
        m_cursors.clear();
        m_closeLater.clear();
    }
    throw error;
}

QString PgCursorSession::open(const QString& adapted, int rows, QSqlQuery& batch, const QString& sql,
                              const PlanHints& hints)
{
    QString error;
    if (!m_session.open(&error))
        throw _com_error(kErrInvalidConnection, QStringLiteral("无法为记录集打开数据库连接: ") + error,
                         QStringLiteral("ZQDBConnection"), sql);
    const QString cursor = QStringLiteral("zq_cursor_%1").arg(++m_nextCursor);
    QStringList statements{QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR ").arg(cursor) + WithoutTrailingSemicolons(adapted)};
    if (hints.everyRow) {
        // A cursor is planned for its first tenth; one read to its end wants the plan of the whole.
        statements.prepend(QStringLiteral("SET LOCAL cursor_tuple_fraction = 1"));
        statements.append(QStringLiteral("SET LOCAL cursor_tuple_fraction TO DEFAULT"));
    }
    if (hints.indexScans) {
        // The planner costs a condition such as LIKE over long texts as if it were cheap, and
        // scans the table where an index finds the rows many times faster.
        statements.prepend(QStringLiteral("SET LOCAL enable_seqscan = off"));
        statements.append(QStringLiteral("SET LOCAL enable_seqscan TO DEFAULT"));
    }
    statements.append(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(rows).arg(cursor));
    run(batch, statements, sql);
    m_cursors.insert(cursor);
    return cursor;
}

void PgCursorSession::fetch(const QString& cursor, int rows, QSqlQuery& batch, const QString& sql)
{
    if (!m_cursors.remove(cursor))   // the guard protects the other cursors
        throw _com_error(kErrObjectClosed, QStringLiteral("记录集的游标已关闭"), QStringLiteral("ZQDBConnection"), sql);
    try {
        run(batch, {QStringLiteral("FETCH FORWARD %1 FROM %2").arg(rows).arg(cursor)}, sql);
    } catch (...) {
        close(cursor);   // already out of the set: a failed cursor is left to the transaction's end
        throw;
    }
    m_cursors.insert(cursor);
}

void PgCursorSession::select(const QString& adapted, QSqlQuery& result, const QString& sql)
{
    run(result, {WithoutTrailingSemicolons(adapted)}, sql);
    if (m_cursors.isEmpty())
        endTransaction();   // no read to join (the session was opened afresh): nothing stays open
}

void PgCursorSession::endTransaction() noexcept
{
    if (!control(QStringLiteral("COMMIT")))
        control(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
    m_guardSet = false;
    m_closeLater.clear();
}

void PgCursorSession::close(const QString& cursor) noexcept
{
    const bool wasOpen = m_cursors.remove(cursor);
    if (!m_inTransaction)
        return;
    if (!m_cursors.isEmpty()) {
        if (wasOpen)
            m_closeLater << cursor;   // travels with the next statement
        return;
    }
    // The last cursor: the transaction, in which only reads were sent, ends with it.
    endTransaction();
}

PgCursorRowSource::PgCursorRowSource(std::shared_ptr<PgCursorSession> session, const QString& adapted,
                                     const QString& sql, const PlanHints& hints)
    : m_session(std::move(session)), m_sql(sql)
{
    m_askedRows = kFirstBatchRows;
    m_cursor = m_session->open(adapted, m_askedRows, m_batch, sql, hints);
    takeBatch();
    const QSqlRecord record = m_batch.record();
    m_fieldCount = record.count();
    for (int i = 0; i < m_fieldCount; ++i) {
        m_names << record.fieldName(i);
        m_textColumns << (m_result && IsTextType(pq()->ftype(m_result, i)));
    }
}

PgCursorRowSource::~PgCursorRowSource()
{
    m_batch = QSqlQuery();
    m_session->close(m_cursor);
}

void PgCursorRowSource::takeBatch()
{
    m_batchRows = m_batch.size() >= 0 ? m_batch.size() : 0;
    m_result = nullptr;
    // Qt's driver names the handle's type after libpq's struct (pg_result*), which PGresult names.
    if (const QVariant handle = m_batch.result() ? m_batch.result()->handle() : QVariant();
        handle.isValid() && (qstrcmp(handle.typeName(), "pg_result*") == 0 || qstrcmp(handle.typeName(), "PGresult*") == 0)
        && pq())
        m_result = *static_cast<PGresult* const*>(handle.constData());
    m_lastBatch = m_batchRows < m_askedRows;
    if (m_lastBatch)
        m_session->close(m_cursor);    // the rows are in memory; release the server side at once
}

bool PgCursorRowSource::advance()
{
    while (!m_batch.next()) {
        if (m_lastBatch)
            return false;
        m_askedRows = std::min(m_askedRows * 4, kLargestBatchRows);
        m_session->fetch(m_cursor, m_askedRows, m_batch, m_sql);
        takeBatch();
    }
    m_at = m_batch.at();
    return true;
}

void PgCursorRowSource::read(QVariantList& row)
{
    row.resize(m_fieldCount);
    for (int i = 0; i < m_fieldCount; ++i) {
        // Texts straight from libpq's result, as Qt's driver would give them; other kinds
        // through the driver.
        QByteArrayView utf8;
        if (textBytes(i, utf8) && !utf8.isNull())
            SetFieldUtf8(row[i], utf8);
        else
            row[i] = m_batch.value(i);
    }
}

bool PgCursorRowSource::textBytes(int index, QByteArrayView& utf8) const
{
    if (!m_result || index < 0 || index >= m_fieldCount || !m_textColumns.at(index))
        return false;
    const PqApi* api = pq();
    if (api->getisnull(m_result, m_at, index)) {
        utf8 = QByteArrayView();
        return true;
    }
    utf8 = QByteArrayView(api->getvalue(m_result, m_at, index), api->getlength(m_result, m_at, index));
    return true;
}

PgStatementRowSource::PgStatementRowSource(std::shared_ptr<PgCursorSession> session, const QString& adapted,
                                           const QString& sql)
    : m_session(std::move(session))
{
    m_session->select(adapted, m_result, sql);
    const QSqlRecord record = m_result.record();
    m_fieldCount = record.count();
    for (int i = 0; i < m_fieldCount; ++i)
        m_names << record.fieldName(i);
}

bool PgStatementRowSource::advance()
{
    return m_result.next();
}

void PgStatementRowSource::read(QVariantList& row)
{
    row.resize(m_fieldCount);
    for (int i = 0; i < m_fieldCount; ++i)
        row[i] = m_result.value(i);
}

} // namespace zq::db
