#include "HostInstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zq::host {

void UseInstallation(const QString& folder)
{
    const QString home = QFileInfo(folder).absoluteFilePath();
    qputenv("ZQPDM_HOME", QFile::encodeName(home));
    if (QDir(home + QStringLiteral("/sys")).exists() && qEnvironmentVariableIsEmpty("ZQPDM_SYSDIR"))
        qputenv("ZQPDM_SYSDIR", QFile::encodeName(home + QStringLiteral("/sys")));
}

} // namespace zq::host
