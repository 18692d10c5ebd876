#include "ConnectionImpl.h"
#include "PgCursor.h"
#include "SqlDialect.h"
#include "SqlSession.h"

#include <QFileInfo>

namespace zq {

namespace {

bool IsSqliteSpecialName(const QString& database)
{
    return database == u":memory:" || database.startsWith(u"file:");
}

// The database file a connection would open (and an empty one create) when it is missing:
// a native SQLite path, or the Database= file of a DSN-less SQLite ODBC string.
QString MissingSqliteFile(const db::ConnectionUrl& url)
{
    QString file;
    if (url.driver == u"QSQLITE")
        file = url.database;
    else if (url.driver == u"QODBC" && db::OdbcAttribute(url.database, QStringLiteral("Driver")).contains(u"SQLite", Qt::CaseInsensitive))
        file = db::OdbcAttribute(url.database, QStringLiteral("Database"));
    if (file.isEmpty() || IsSqliteSpecialName(file) || QFileInfo(file).isFile())
        return {};
    return file;
}

} // namespace

Connection::Impl::Impl() = default;
Connection::Impl::~Impl() = default;

void Connection::Impl::configure(const QString& text, const db::ConnectionUrl& parsed)
{
    close();
    urlText = text;
    url = parsed;
    if (url.driver == u"QPSQL")
        nesting = Nesting::ServerCursors;
    else if (url.driver == u"QODBC")
        nesting = Nesting::SessionPerRecordset;
    else
        nesting = Nesting::SameSession;
}

bool Connection::Impl::open(QString* error)
{
    if (isOpen())
        return true;
    if (url.driver.isEmpty()) {
        *error = openError = QStringLiteral("数据库地址未设置");
        return false;
    }
    // Opening a missing SQLite file would create an empty database and hide the mistake.
    if (const QString missing = MissingSqliteFile(url); !missing.isEmpty()) {
        *error = openError = QStringLiteral("数据库文件不存在: ") + missing;
        return false;
    }
    auto primary = std::make_shared<db::Session>(url, QStringLiteral("pdm"));
    if (!primary->open(error)) {
        openError = *error;
        return false;
    }
    m_primary = std::move(primary);
    dbms = db::DetectDbms(m_primary->database());
    if (nesting == Nesting::ServerCursors)
        m_cursors = std::make_shared<db::PgCursorSession>(url);
    else if (nesting == Nesting::SessionPerRecordset)
        m_pool = std::make_shared<db::SessionPool>(url);
    openError.clear();
    return true;
}

void Connection::Impl::close()
{
    m_cursors.reset();
    m_pool.reset();
    m_primary.reset();
    dbms = {};
}

bool Connection::Impl::isOpen() const
{
    return m_primary && m_primary->isOpen();
}

void Connection::Impl::requireOpen(const QString& sql) const
{
    // One statement per call: a second one would run unseen on some engines and be dropped on others.
    if (sql::HasSeveralStatements(sql))
        throw _com_error(kErrFail, QStringLiteral("一次只能执行一条 SQL 语句"), QStringLiteral("ZQDBConnection"), sql);
    if (isOpen())
        return;
    QString message = QStringLiteral("数据库连接未打开");
    if (!openError.isEmpty())
        message += QStringLiteral(": ") + openError;
    throw _com_error(kErrInvalidConnection, message, QStringLiteral("ZQDBConnection"), sql);
}

std::unique_ptr<db::RowSource> Connection::Impl::openRecordset(const QString& sql)
{
    requireOpen(sql);
    const QString adapted = sql::Adapt(sql, dbms.dbms);
    using Mode = db::QueryRowSource::Mode;
    switch (nesting) {
    case Nesting::ServerCursors:
        if (db::IsCursorQuery(adapted))
            return std::make_unique<db::PgCursorRowSource>(m_cursors, adapted, sql);
        return std::make_unique<db::QueryRowSource>(m_primary, adapted, sql, Mode::Buffered);
    case Nesting::SessionPerRecordset:
        return std::make_unique<db::QueryRowSource>(m_pool->acquire(sql), adapted, sql, Mode::ForwardOnly);
    case Nesting::SameSession:
        break;
    }
    return std::make_unique<db::QueryRowSource>(m_primary, adapted, sql, Mode::ForwardOnly);
}

std::unique_ptr<db::RowSource> Connection::Impl::openDirect(const QString& sql)
{
    requireOpen(sql);
    return std::make_unique<db::QueryRowSource>(m_primary, sql::Adapt(sql, dbms.dbms), sql,
                                                db::QueryRowSource::Mode::ForwardOnly);
}

bool Connection::Impl::hasTable(const QString& name) const
{
    if (!isOpen())
        return false;
    // Catalog names may come schema-qualified ("sales.ecohandout") and in the engine's own case.
    for (QString table : m_primary->database().tables(QSql::Tables)) {
        table = table.section(u'.', -1);
        if (table.size() > 1 && table.startsWith(u'"') && table.endsWith(u'"'))
            table = table.mid(1, table.size() - 2);
        if (table.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace zq
