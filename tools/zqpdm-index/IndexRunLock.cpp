#include "IndexRunLock.h"

#include "ConnectionUrl.h"
#include "SqlSession.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace zq::index {

namespace {

// The first key of the advisory lock: "ZQ". The second is made from the index's schema, so two
// indexes in one database are two locks.
constexpr int kAdvisoryClass = 0x5A51;
constexpr int kRetryMs = 500;

} // namespace

IndexRunLock::IndexRunLock(QString indexUrl) : m_url(std::move(indexUrl)) {}

IndexRunLock::~IndexRunLock()
{
    // A closed session gives its advisory lock back only when the server has ended its backend,
    // which can be after the next run (a script's, a schedule's) asked for it and was told another
    // run is at work. Given back here, the lock is free when this returns.
    if (m_held && m_session) {
        QSqlQuery query(m_session->database());
        query.exec(QStringLiteral("SELECT pg_advisory_unlock(%1, hashtext(current_schema()))").arg(kAdvisoryClass));
    }
}

IndexRunLock::State IndexRunLock::tryTake(QString* error)
{
    if (m_held)
        return State::Held;
    QString ignored;
    const auto parsed = db::ParseConnectionUrl(m_url, &ignored);
    State state = State::Held;
    if (parsed && parsed->driver == u"QSQLITE")
        state = takeFile(parsed->database, error);
    else if (parsed && parsed->driver == u"QPSQL")
        state = takeAdvisory(error);
    m_held = state == State::Held;
    return state;
}

IndexRunLock::State IndexRunLock::take(bool wait, const std::atomic<bool>* stop, const std::function<void()>& waiting,
                                       QString* error)
{
    bool told = false;
    for (;;) {
        const State state = tryTake(error);
        if (state != State::Busy || !wait)
            return state;
        if (!told && waiting)
            waiting();
        told = true;
        for (int slept = 0; slept < kRetryMs; slept += 50) {
            if (stop && stop->load())
                return State::Busy;
            QThread::msleep(50);
        }
    }
}

IndexRunLock::State IndexRunLock::takeFile(const QString& path, QString* error)
{
    const QFileInfo index(path);
    if ((index.exists() && !index.isFile()) || !index.absoluteDir().exists())
        return State::Held;
    bool busy = false;
    QString why;
    const QString lockPath = FileLock::LockPathFor(index.absoluteFilePath());
    m_file = FileLock::TryAcquire(lockPath, &busy, &why);
    if (m_file)
        return State::Held;
    if (busy)
        return State::Busy;
    *error = QStringLiteral("不能锁定内容索引 (%1): %2").arg(lockPath, why);
    return State::Failed;
}

IndexRunLock::State IndexRunLock::takeAdvisory(QString* error)
{
    QString why;
    const auto parsed = db::ParseConnectionUrl(m_url, &why);
    if (!m_session) {
        m_session = std::make_unique<db::Session>(*parsed, QStringLiteral("index-lock"));
        if (!m_session->open(&why)) {
            m_session.reset();
            *error = QStringLiteral("不能打开内容索引 (%1): %2").arg(db::RedactUrl(m_url), why);
            return State::Failed;
        }
    }
    bool held = false;
    {
        QSqlQuery query(m_session->database());
        if (!query.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1, hashtext(current_schema()))").arg(kAdvisoryClass)) ||
            !query.next()) {
            why = db::DriverMessage(query.lastError());
        } else {
            held = query.value(0).toBool();
        }
    }
    if (!why.isEmpty()) {
        m_session.reset();
        *error = QStringLiteral("不能锁定内容索引 (%1): %2").arg(db::RedactUrl(m_url), why);
        return State::Failed;
    }
    // The session stays open while the lock is held; the lock goes with it should the process die.
    return held ? State::Held : State::Busy;
}

} // namespace zq::index
