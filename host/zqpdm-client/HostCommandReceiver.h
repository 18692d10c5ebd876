#pragma once
// The host's command object: the search module sends its commands ("Locate" with a locate
// text) here. Every command is kept and announced; "Locate" is also handed to the locate
// handler when the host has one.
#include "DllCommandBase.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

namespace zq::host {

struct HostCommand {
    QString command;
    QString argument;
    bool operator==(const HostCommand& other) const = default;
};

class HostCommandReceiver : public QObject, public CDllCommandBase {
    Q_OBJECT
public:
    static constexpr auto kLocate = "Locate";

    explicit HostCommandReceiver(QObject* parent = nullptr) : QObject(parent) {}

    // 1 for the commands this host understands.
    int QueryCommand(const QString& command) override;
    int ExecuteCommand(const QString& command, const QString& argument) override;

    void setLocateHandler(std::function<void(const QString& locateText)> handler) { m_locate = std::move(handler); }
    const QList<HostCommand>& received() const { return m_received; }

Q_SIGNALS:
    void commandReceived(const QString& command, const QString& argument);

private:
    QList<HostCommand> m_received;
    std::function<void(const QString&)> m_locate;
};

} // namespace zq::host
