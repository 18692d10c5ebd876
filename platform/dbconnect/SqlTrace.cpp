// The statement trace: one "SQL: <text>" line on standard error per statement while tracing
// is on, and every statement handed to the listener when one is set.
#include "ZQDBConnect.h"

#include <QByteArray>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace zq {

namespace {

bool TraceFromEnvironment()
{
    return qEnvironmentVariable("ZQPDM_SQL_TRACE").trimmed() == u"1";
}

std::atomic<bool>& TraceSwitch()
{
    static std::atomic<bool> on(TraceFromEnvironment());
    return on;
}

struct Listener {
    std::mutex mutex;
    std::function<void(const QString&)> callback;
};

Listener& TheListener()
{
    static Listener listener;
    return listener;
}

} // namespace

void EnableSqlTrace(bool on)
{
    TraceSwitch() = on;
}

bool SqlTraceEnabled()
{
    return TraceSwitch();
}

void SetSqlTraceListener(std::function<void(const QString& sql)> listener)
{
    std::lock_guard lock(TheListener().mutex);
    TheListener().callback = std::move(listener);
}

void TraceSql(const QString& sql)
{
    if (SqlTraceEnabled()) {
        const QByteArray line = "SQL: " + sql.toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
    }
    std::function<void(const QString&)> callback;
    {
        std::lock_guard lock(TheListener().mutex);
        callback = TheListener().callback;
    }
    if (callback)
        callback(sql);
}

} // namespace zq
