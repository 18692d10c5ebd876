#pragma once
// Every service call is recorded here (component, operation, arguments) for tests and scripts,
// and every failure a service met, with its own reason (a refused connection, an FTP 550, a
// timeout), which a user may see only as "the file did not arrive".
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace zq {

struct ServiceCall {
    QString component;   // "CZQPart"
    QString operation;   // "SetPartParameter"
    QStringList args;    // a null argument is recorded as "(null)"
};

struct ServiceFailure {
    QString component;
    QString operation;
    QString reason;
};

class CallLog {
public:
    static void Record(const QString& component, const QString& operation, const QStringList& args = {});
    static QList<ServiceCall> Calls();
    static void Clear();   // calls and failures
    static void SetListener(std::function<void(const ServiceCall&)> listener);

    static void RecordFailure(const QString& component, const QString& operation, const QString& reason);
    static QList<ServiceFailure> Failures();
    // The failures recorded so far, and the reasons of those after the first `count`: what went
    // wrong during one action, for the user.
    static qsizetype FailureCount();
    static QStringList ReasonsSince(qsizetype count);
    static void SetFailureListener(std::function<void(const ServiceFailure&)> listener);
};

} // namespace zq
