#pragma once
// The connection handle behind CZQDBConnect::GetPtrPDM: the PDM database reached through one
// primary session, and the way recordsets stay open side by side on the engine in use.
#include "ConnectionUrl.h"
#include "DbmsInfo.h"
#include "RowSource.h"
#include "ZQDBConnect.h"

#include <functional>
#include <memory>

namespace zq::db {
class PgCursorSession;
class SessionPool;
} // namespace zq::db

namespace zq {

struct Connection::Impl {
    // How recordsets nest: SQLite steps several statements on one session; PostgreSQL keeps
    // each as a server-side cursor; ODBC (SQL Server without multiple active result sets)
    // gives each its own session from a pool.
    enum class Nesting { SameSession, ServerCursors, SessionPerRecordset };

    Impl();
    ~Impl();

    void configure(const QString& urlText, const db::ConnectionUrl& url);
    bool open(QString* error);
    void close();
    bool isOpen() const;

    // Rows of a recordset; `sql` is the text as the module built it (adapted here). Throws _com_error.
    // hints: how the server plans it (see zqPlanForEveryRow, zqPreferIndexScans).
    std::unique_ptr<db::RowSource> openRecordset(const QString& sql, const db::PlanHints& hints = {});
    // Rows of a statement read to the end before anything else runs on the connection.
    std::unique_ptr<db::RowSource> openDirect(const QString& sql);
    // True when the database has a table of that name (any case); false when it is not open.
    bool hasTable(const QString& name) const;

    QString urlText;
    db::ConnectionUrl url;
    db::DbmsInfo dbms;            // known once open
    Nesting nesting = Nesting::SameSession;
    QString openError;

private:
    // Throws unless a statement can run; a connection lost earlier is made again here.
    void requireOpen(const QString& sql);
    // Runs `open`; when it fails because the server dropped the connection, connects anew and
    // runs it once more. Throws the statement's error, or one that says the connection is lost.
    std::unique_ptr<db::RowSource> reconnecting(const QString& sql,
                                                const std::function<std::unique_ptr<db::RowSource>()>& open);
    bool lost() const;
    // The module's text as the engine behind the connection, and the driver on the way, read it.
    QString adapt(const QString& sql) const;
    // A forward-only read on the primary session.
    std::unique_ptr<db::RowSource> openOnPrimary(const QString& adapted, const QString& sql);

    bool m_lost = false;          // the server dropped the connection and it is not back yet
    std::shared_ptr<db::Session> m_primary;
    std::shared_ptr<db::PgCursorSession> m_cursors;
    std::shared_ptr<db::SessionPool> m_pool;
};

namespace db {

class SqlConnection final : public Connection {
public:
    QString url() const override { return m_impl.urlText; }
    QString driver() const override { return m_impl.url.driver; }
    QString dbms() const override { return m_impl.dbms.name; }
    Impl* impl() override { return &m_impl; }

private:
    Impl m_impl;
};

} // namespace db
} // namespace zq
