#include "SqliteRows.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace zq::db {

namespace {

// Connections here are each used by one thread at a time (Qt's rule for its connections, and the
// web server's workers each open their own), so SQLite need not lock a connection's mutex on
// every call (each read of a field did), nor count its memory under a global one on every
// allocation. Set as the library loads, before any connection is opened; should SQLite be in
// use already, it stays as it was.
int ConfigureSqlite()
{
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
}
const int kSqliteConfigured = ConfigureSqlite();

// Without a connection mutex a column's value may be read through the value the statement
// holds, one call instead of one for its type, one for its text and one for its length.
bool ValuesReadDirectly()
{
    return kSqliteConfigured == SQLITE_OK;
}

// A column's text as the statement holds it (UTF-8), empty for NULL; false for other kinds.
bool ColumnText(sqlite3_stmt* statement, int column, QByteArrayView& utf8)
{
    int kind;
    sqlite3_value* value = nullptr;
    if (ValuesReadDirectly()) {
        value = sqlite3_column_value(statement, column);
        kind = sqlite3_value_type(value);
    } else {
        kind = sqlite3_column_type(statement, column);
    }
    if (kind == SQLITE_NULL) {
        utf8 = QByteArrayView();
        return true;
    }
    if (kind != SQLITE_TEXT)
        return false;
    if (value)
        utf8 = QByteArrayView(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
    else
        utf8 = QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                              sqlite3_column_bytes(statement, column));
    return true;
}

} // namespace

sqlite3* SqliteHandle(const Session& session)
{
    const QSqlDatabase db = session.database();
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

SqliteRowSource::SqliteRowSource(std::shared_ptr<Session> session, sqlite3* handle, const QString& adapted,
                                 const QString& sql)
    : m_session(std::move(session)), m_handle(handle), m_sql(sql)
{
    const int prepared = sqlite3_prepare16_v2(m_handle, adapted.constData(), int(adapted.size() * sizeof(QChar)),
                                              &m_statement, nullptr);
    if (prepared != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        fail();
    }
    m_fieldCount = sqlite3_column_count(m_statement);
}

SqliteRowSource::~SqliteRowSource()
{
    sqlite3_finalize(m_statement);
}

void SqliteRowSource::fail() const
{
    const auto* text = static_cast<const QChar*>(sqlite3_errmsg16(m_handle));
    QString message = text ? QString(text) : QString();
    if (message.isEmpty())
        message = QStringLiteral("执行 SQL 语句失败");
    throw _com_error(kErrFail, message, QStringLiteral("ZQDBConnection"), m_sql);
}

QString SqliteRowSource::fieldName(int index) const
{
    if (!m_statement || index < 0 || index >= m_fieldCount)
        return QString();
    const auto* name = static_cast<const QChar*>(sqlite3_column_name16(m_statement, index));
    return name ? QString(name) : QString();
}

bool SqliteRowSource::advance()
{
    if (m_done || !m_statement)
        return false;
    const int step = sqlite3_step(m_statement);
    if (step == SQLITE_DONE) {
        m_done = true;
        sqlite3_reset(m_statement);   // the read is over: no lock is held for the rest of its life
        return false;
    }
    if (step != SQLITE_ROW) {
        m_done = true;
        fail();
    }
    return true;
}

void SqliteRowSource::read(QVariantList& row)
{
    row.resize(m_fieldCount);
    for (int i = 0; i < m_fieldCount; ++i) {
        switch (sqlite3_column_type(m_statement, i)) {
        case SQLITE_INTEGER:
            row[i] = qint64(sqlite3_column_int64(m_statement, i));
            break;
        case SQLITE_FLOAT:
            row[i] = sqlite3_column_double(m_statement, i);
            break;
        case SQLITE_BLOB:
            row[i] = QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, i)),
                                sqlite3_column_bytes(m_statement, i));
            break;
        case SQLITE_NULL:
            row[i] = QVariant(QMetaType::fromType<QString>());
            break;
        default:
            // The stored UTF-8 decoded by Qt: much faster than the engine's own UTF-16 conversion.
            SetFieldUtf8(row[i], QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(m_statement, i)),
                                                sqlite3_column_bytes(m_statement, i)));
            break;
        }
    }
}

bool SqliteRowSource::allTextBytes(std::span<QByteArrayView> texts) const
{
    if (m_done || !m_statement || texts.size() > size_t(m_fieldCount))
        return RowSource::allTextBytes(texts);
    // A record's texts in one pass, the way a list of found rows reads them.
    for (size_t i = 0; i < texts.size(); ++i)
        if (!ColumnText(m_statement, int(i), texts[i]))
            return false;
    return true;
}

bool SqliteRowSource::textBytes(int index, QByteArrayView& utf8) const
{
    if (m_done || !m_statement || index < 0 || index >= m_fieldCount)
        return false;
    return ColumnText(m_statement, index, utf8);
}

} // namespace zq::db
