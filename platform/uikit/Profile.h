#pragma once
// The private-profile (INI) reader: section and key names case-insensitive, value trimmed,
// one pair of enclosing quotes removed, ';' lines ignored, first match wins, value cut to
// bufferSize − 1 GBK bytes without splitting a character, the default when file or key is missing.
#include <QString>

namespace zq {

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& filePath);

// atoi of the text: leading blanks, optional sign, digits; 0 when it does not start with a number.
int Atoi(const QString& text);

} // namespace zq
