#include "SqlSession.h"
#include "OpenDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace zq::db {

namespace {

constexpr size_t kMaxIdleSessions = 4;

// Qt Sql keeps its connections in a static registry that is destroyed when the process exits.
// A session still alive then (one held by a static object) must not touch the registry any
// more. The guard below is made just after the registry, so it is destroyed just before it.
std::atomic<bool> g_registryGone{false};

struct RegistryGuard {
    ~RegistryGuard() { g_registryGone = true; }
};

void NoteRegistryInUse()
{
    static RegistryGuard guard;
}

QString UniqueName(const QString& purpose)
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("zqdb-%1-%2").arg(++counter).arg(purpose);
}

} // namespace

Session::Session(const ConnectionUrl& url, const QString& purpose)
    : m_name(UniqueName(purpose)), m_driver(url.driver)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(url.driver, m_name);
    NoteRegistryInUse();
    db.setDatabaseName(url.database);
    if (!url.host.isEmpty())
        db.setHostName(url.host);
    if (url.port > 0)
        db.setPort(url.port);
    if (!url.user.isEmpty())
        db.setUserName(url.user);
    if (!url.password.isEmpty())
        db.setPassword(url.password);
    if (!url.options.isEmpty())
        db.setConnectOptions(url.options);
}

Session::~Session()
{
    if (g_registryGone)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Session::open(QString* error)
{
    QSqlDatabase db = database();
    if (!db.isValid()) {
        *error = QStringLiteral("数据库驱动 %1 不可用").arg(m_driver);
        return false;
    }
    if (db.isOpen())
        return true;
    if (OpenDatabase(db)) {
        m_opened = true;
        // Notices (a cascade, a savepoint) are no news to the user and would mix with the trace.
        if (m_driver == u"QPSQL")
            QSqlQuery(db).exec(QStringLiteral("SET client_min_messages TO warning"));
        return true;
    }
    *error = DriverMessage(db.lastError());
    return false;
}

bool Session::isOpen() const
{
    return database().isOpen();
}

bool Session::broken() const
{
    if (!m_opened)
        return false;
    // The driver may have closed the connection itself when the server ended it.
    QSqlDatabase db = database();
    return !db.isOpen() || !QSqlQuery(db).exec(QStringLiteral("SELECT 1"));
}

QSqlDatabase Session::database() const
{
    if (g_registryGone)
        return {};
    return QSqlDatabase::database(m_name, false);
}

SessionPool::SessionPool(ConnectionUrl url) : m_url(std::move(url)) {}

std::shared_ptr<Session> SessionPool::acquire(const QString& sql)
{
    std::unique_ptr<Session> session;
    while (!m_idle.empty() && !session) {
        session = std::move(m_idle.back());
        m_idle.pop_back();
        if (!session->isOpen())
            session.reset();
    }
    if (!session) {
        session = std::make_unique<Session>(m_url, QStringLiteral("rs"));
        QString error;
        if (!session->open(&error))
            throw _com_error(kErrInvalidConnection, QStringLiteral("无法为记录集打开数据库连接: ") + error,
                             QStringLiteral("ZQDBConnection"), sql);
    }
    std::weak_ptr<SessionPool> pool = weak_from_this();
    return std::shared_ptr<Session>(session.release(), [pool](Session* raw) {
        std::unique_ptr<Session> owned(raw);
        if (auto alive = pool.lock())
            alive->giveBack(std::move(owned));
    });
}

void SessionPool::giveBack(std::unique_ptr<Session> session)
{
    if (m_idle.size() < kMaxIdleSessions && session->isOpen())
        m_idle.push_back(std::move(session));
}

bool Execute(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    if (values.isEmpty())
        return query.exec(sql);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec();
}

QString DriverMessage(const QSqlError& error)
{
    const QString engine = error.databaseText().trimmed();
    return engine.isEmpty() ? error.driverText().trimmed() : engine;
}

_com_error StatementError(const QSqlError& error, const QString& sql)
{
    QString message = DriverMessage(error);
    if (message.isEmpty())
        message = QStringLiteral("执行 SQL 语句失败");
    return _com_error(kErrFail, message, QStringLiteral("ZQDBConnection"), sql);
}

} // namespace zq::db
