#pragma once
// Where the services may write fetched files: only inside the temporary folder or the working
// folder. A requested path that is relative, climbs with "..", or lies elsewhere is replaced by
// the temporary folder plus its plain file name.
#include <QByteArray>
#include <QString>

class QSaveFile;

namespace zq::svc {

// The plain file name of a path ('/' and '\' both separate); "" for "", "." and "..".
QString PlainFileName(const QString& path);

// The path a fetched file goes to, or "" when the request names no usable file.
QString SafeLocalPath(const QString& requested);

// Opens file (a QSaveFile naming its target) for writing, its folder made when missing, the file
// readable and writable by the user only (0600). *error tells why on failure. A link at the
// target's name is removed first and the target replaced by a rename on commit: never followed.
bool OpenPrivateFile(QSaveFile& file, QString* error);

// Writes bytes to a temporary name next to path and renames it over path on success, so a
// failure leaves no partial file and never a half-replaced old one. *error tells why on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

} // namespace zq::svc
