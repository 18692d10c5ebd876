#pragma once
// Every service call is recorded here (component, operation, arguments) for tests and scripts.
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

class CallLog {
public:
    static void Record(const QString& component, const QString& operation, const QStringList& args = {});
    static QList<ServiceCall> Calls();
    static void Clear();
    static void SetListener(std::function<void(const ServiceCall&)> listener);
};

} // namespace zq
