#include "CallLog.h"
#include <mutex>

namespace zq {

namespace {
struct LogState {
    std::mutex mutex;
    QList<ServiceCall> calls;
    std::function<void(const ServiceCall&)> listener;
};
LogState& state()
{
    static LogState s;
    return s;
}
} // namespace

void CallLog::Record(const QString& component, const QString& operation, const QStringList& args)
{
    ServiceCall call{component, operation, {}};
    for (const QString& a : args)
        call.args.append(a.isNull() ? QStringLiteral("(null)") : a);
    std::function<void(const ServiceCall&)> listener;
    {
        std::lock_guard lock(state().mutex);
        state().calls.append(call);
        listener = state().listener;
    }
    if (listener)
        listener(call);
}

QList<ServiceCall> CallLog::Calls()
{
    std::lock_guard lock(state().mutex);
    return state().calls;
}

void CallLog::Clear()
{
    std::lock_guard lock(state().mutex);
    state().calls.clear();
}

void CallLog::SetListener(std::function<void(const ServiceCall&)> listener)
{
    std::lock_guard lock(state().mutex);
    state().listener = std::move(listener);
}

} // namespace zq
