#pragma once
// Whether the desktop has a program for a file, asked without opening it: a launcher (xdg-open)
// must be installed and, where xdg-mime can tell, a default application registered for the
// file's type. Without xdg-mime a launcher is taken to find one.
#include <QString>

namespace zq {

bool DesktopCanOpen(const QString& path);

// Opens the file through the Desktop; when no program opens it, a message names the file's full
// path, so the user can open it by hand. False then.
bool OpenFileOrSayWhere(const QString& path);

} // namespace zq
