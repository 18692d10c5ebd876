#pragma once
// One named Qt Sql connection to the PDM database, and a pool of them.
#include "ComError.h"
#include "ConnectionUrl.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

class QSqlError;
class QSqlQuery;

namespace zq::db {

// A QSqlDatabase under a name of its own; removed from Qt's registry when destroyed.
// Whoever runs queries on it keeps it alive (shared ownership) until those queries are gone.
class Session {
public:
    Session(const ConnectionUrl& url, const QString& purpose);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool open(QString* error);          // false with the driver's message
    bool isOpen() const;
    // True when the session was opened and the engine no longer answers on it (the server went
    // away or ended the session); Qt's open flag does not notice that by itself.
    bool broken() const;
    QSqlDatabase database() const;
    const QString& name() const { return m_name; }
    const QString& driver() const { return m_driver; }

private:
    QString m_name;
    QString m_driver;
    bool m_opened = false;   // open() succeeded once
};

// Sessions for recordsets that need a connection of their own; a session goes back to the
// pool when its last holder lets go, or is closed when the pool is gone or full.
class SessionPool : public std::enable_shared_from_this<SessionPool> {
public:
    explicit SessionPool(ConnectionUrl url);
    // An open session; throws _com_error when none can be opened. `sql` is the statement it is for.
    std::shared_ptr<Session> acquire(const QString& sql);
    int idleCount() const { return int(m_idle.size()); }

private:
    void giveBack(std::unique_ptr<Session> session);

    ConnectionUrl m_url;
    std::vector<std::unique_ptr<Session>> m_idle;
};

// Runs one statement, prepared with its values when it has any: PostgreSQL prepares no DROP or
// ALTER, so a statement without values is run as it is. False with the error in the query.
bool Execute(QSqlQuery& query, const QString& sql, const QVariantList& values = {});

// The driver's message of an error: the engine's own text when it gave one.
QString DriverMessage(const QSqlError& error);

// The error a failed statement throws; `sql` is the statement as the module built it.
_com_error StatementError(const QSqlError& error, const QString& sql);

} // namespace zq::db
