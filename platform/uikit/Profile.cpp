#include "Profile.h"

namespace zq {

QString GetPrivateProfileString(const QString&, const QString&, const QString& defaultValue, int, const QString&)
{
    return defaultValue;
}

int Atoi(const QString& text) { return text.toInt(); }

} // namespace zq
