#include "ConnectionImpl.h"
#include "PgCursor.h"
#include "SqlDialect.h"
#include "SqlSession.h"
#include "SqliteRows.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace zq {

namespace {

bool IsSqliteSpecialName(const QString& database)
{
    return database == u":memory:" || database.startsWith(u"file:");
}

// The SQLite database file a connection would open: a native SQLite path, or the Database= file
// of a DSN-less SQLite ODBC string. Empty for other engines and SQLite's special names.
QString SqliteFileOf(const db::ConnectionUrl& url)
{
    QString file;
    if (url.driver == u"QSQLITE")
        file = url.database;
    else if (url.driver == u"QODBC" && db::OdbcAttribute(url.database, QStringLiteral("Driver")).contains(u"SQLite", Qt::CaseInsensitive))
        file = db::OdbcAttribute(url.database, QStringLiteral("Database"));
    return IsSqliteSpecialName(file) ? QString() : file;
}

// Why a path cannot serve as the SQLite database, or an empty text. Opening anything but an
// existing database file would create an empty database, block on a pipe, or fail later with a
// message that names the wrong cause.
QString SqliteFileProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        // A folder on the way that the user may not enter hides the file: not the same as none.
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0 && errno != ENOENT && errno != ENOTDIR)
            return QStringLiteral("不能读取数据库文件 %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return QStringLiteral("数据库文件不存在: ") + path;
    }
    if (info.isDir())
        return QStringLiteral("数据库路径是一个文件夹，不是数据库文件: ") + path;
    if (!info.isFile())
        return QStringLiteral("数据库路径不是数据库文件 (设备、管道或套接字): ") + path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("不能读取数据库文件 %1: %2").arg(path, file.errorString());
    const QByteArray header = file.read(16);
    if (!header.isEmpty() && header != QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("文件不是 SQLite 数据库文件: ") + path;
    return {};
}

} // namespace

Connection::Impl::Impl() = default;
Connection::Impl::~Impl() = default;

void Connection::Impl::configure(const QString& text, const db::ConnectionUrl& parsed)
{
    close();
    m_lost = false;
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
    if (const QString file = SqliteFileOf(url); !file.isEmpty()) {
        const QString problem = SqliteFileProblem(file);
        if (!problem.isEmpty()) {
            *error = openError = problem;
            return false;
        }
    }
    auto primary = std::make_shared<db::Session>(url, QStringLiteral("pdm"));
    if (!primary->open(error)) {
        openError = *error;
        return false;
    }
    m_primary = std::move(primary);
    dbms = db::DetectDbms(m_primary->database());
    m_lost = false;
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

void Connection::Impl::requireOpen(const QString& sql)
{
    // One statement per call: a second one would run unseen on some engines and be dropped on others.
    if (sql::HasSeveralStatements(sql))
        throw _com_error(kErrFail, QStringLiteral("一次只能执行一条 SQL 语句"), QStringLiteral("ZQDBConnection"), sql);
    if (isOpen())
        return;
    if (m_primary) {
        // Opened before and closed since by the driver: the server ended the connection.
        close();
        m_lost = true;
    }
    if (m_lost) {
        QString why;
        if (open(&why))
            return;
        throw _com_error(kErrInvalidConnection, QStringLiteral("与数据库服务器的连接已断开，重新连接失败: ") + why,
                         QStringLiteral("ZQDBConnection"), sql);
    }
    QString message = QStringLiteral("数据库连接未打开");
    if (!openError.isEmpty())
        message += QStringLiteral(": ") + openError;
    throw _com_error(kErrInvalidConnection, message, QStringLiteral("ZQDBConnection"), sql);
}

std::unique_ptr<db::RowSource> Connection::Impl::openRecordset(const QString& sql, const db::PlanHints& hints)
{
    requireOpen(sql);
    const QString adapted = adapt(sql);
    return reconnecting(sql, [&]() -> std::unique_ptr<db::RowSource> {
        using Mode = db::QueryRowSource::Mode;
        switch (nesting) {
        case Nesting::ServerCursors:
            if (db::IsCursorQuery(adapted))
                return std::make_unique<db::PgCursorRowSource>(m_cursors, adapted, sql, hints);
            return std::make_unique<db::QueryRowSource>(m_primary, adapted, sql, Mode::Buffered);
        case Nesting::SessionPerRecordset:
            return std::make_unique<db::QueryRowSource>(m_pool->acquire(sql), adapted, sql, Mode::ForwardOnly);
        case Nesting::SameSession:
            break;
        }
        return openOnPrimary(adapted, sql);
    });
}

std::unique_ptr<db::RowSource> Connection::Impl::openDirect(const QString& sql)
{
    requireOpen(sql);
    const QString adapted = adapt(sql);
    // A query while recordsets are being read joins their transaction, so that the connection
    // never needs two server connections at once (a pooler in transaction mode may have no
    // second one to give while other clients' reads hold the rest).
    if (nesting == Nesting::ServerCursors && m_cursors && m_cursors->openCursors() > 0 && db::IsCursorQuery(adapted))
        return reconnecting(sql, [&] { return std::make_unique<db::PgStatementRowSource>(m_cursors, adapted, sql); });
    return reconnecting(sql, [&] { return openOnPrimary(adapted, sql); });
}

QString Connection::Impl::adapt(const QString& sql) const
{
    const QString adapted = sql::Adapt(sql, dbms.dbms);
    return url.driver == u"QODBC" ? sql::SpellOutsideBmp(adapted, dbms.dbms) : adapted;
}

std::unique_ptr<db::RowSource> Connection::Impl::openOnPrimary(const QString& adapted, const QString& sql)
{
    // SQLite statements are stepped on the engine's own handle: Qt's per-row cache of variants
    // would cost more than reading the row.
    if (sqlite3* handle = db::SqliteHandle(*m_primary))
        return std::make_unique<db::SqliteRowSource>(m_primary, handle, adapted, sql);
    return std::make_unique<db::QueryRowSource>(m_primary, adapted, sql, db::QueryRowSource::Mode::ForwardOnly);
}

std::unique_ptr<db::RowSource> Connection::Impl::reconnecting(
    const QString& sql, const std::function<std::unique_ptr<db::RowSource>()>& statement)
{
    try {
        return statement();
    } catch (const _com_error&) {
        // An embedded database has no connection to lose; a statement that failed on a live
        // connection failed for its own reasons.
        if (url.driver == u"QSQLITE" || !lost())
            throw;
    }
    // The statement has not delivered a row yet, so running it again loses and repeats nothing.
    close();
    m_lost = true;
    requireOpen(sql);
    return statement();
}

bool Connection::Impl::lost() const
{
    return (m_primary && m_primary->broken()) || (m_cursors && m_cursors->broken());
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
