#pragma once
// Naming the client installation a program runs on: ZQPDM_HOME, and ZQPDM_SYSDIR as the
// installation's sys/ folder when it has one and none is set. Set before anything reads them.
#include <QString>

namespace zq::host {

void UseInstallation(const QString& folder);

} // namespace zq::host
