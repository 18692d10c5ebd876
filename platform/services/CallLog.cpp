#include "CallLog.h"
#include <algorithm>
#include <mutex>

namespace zq {

namespace {
struct LogState {
    std::mutex mutex;
    QList<ServiceCall> calls;
    QList<ServiceFailure> failures;
    std::function<void(const ServiceCall&)> listener;
    std::function<void(const ServiceFailure&)> failureListener;
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
    state().failures.clear();
}

void CallLog::SetListener(std::function<void(const ServiceCall&)> listener)
{
    std::lock_guard lock(state().mutex);
    state().listener = std::move(listener);
}

void CallLog::RecordFailure(const QString& component, const QString& operation, const QString& reason)
{
    const ServiceFailure failure{component, operation, reason};
    std::function<void(const ServiceFailure&)> listener;
    {
        std::lock_guard lock(state().mutex);
        state().failures.append(failure);
        listener = state().failureListener;
    }
    if (listener)
        listener(failure);
}

QList<ServiceFailure> CallLog::Failures()
{
    std::lock_guard lock(state().mutex);
    return state().failures;
}

qsizetype CallLog::FailureCount()
{
    std::lock_guard lock(state().mutex);
    return state().failures.size();
}

QStringList CallLog::ReasonsSince(qsizetype count)
{
    std::lock_guard lock(state().mutex);
    QStringList reasons;
    // A Clear() in between leaves fewer than were counted: then there is nothing after the mark.
    for (qsizetype i = std::max<qsizetype>(count, 0); i < state().failures.size(); ++i)
        if (!reasons.contains(state().failures[i].reason))
            reasons.append(state().failures[i].reason);
    return reasons;
}

void CallLog::SetFailureListener(std::function<void(const ServiceFailure&)> listener)
{
    std::lock_guard lock(state().mutex);
    state().failureListener = std::move(listener);
}

} // namespace zq
