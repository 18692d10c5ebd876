#include "HostCommandReceiver.h"

namespace zq::host {

int HostCommandReceiver::QueryCommand(const QString& command)
{
    return command == QLatin1String(kLocate) ? 1 : 0;
}

int HostCommandReceiver::ExecuteCommand(const QString& command, const QString& argument)
{
    m_received.append(HostCommand{command, argument});
    emit commandReceived(command, argument);
    if (command == QLatin1String(kLocate) && m_locate)
        m_locate(argument);
    return 1;
}

} // namespace zq::host
