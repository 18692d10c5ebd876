#pragma once
// Where the services may write fetched files: only inside the temporary folder or the working
// folder. A requested path that is relative, climbs with "..", or lies elsewhere is replaced by
// the temporary folder plus its plain file name.
#include <QByteArray>
#include <QString>

namespace zq::svc {

// The plain file name of a path ('/' and '\' both separate); "" for "", "." and "..".
QString PlainFileName(const QString& path);

// The path a fetched file goes to, or "" when the request names no usable file.
QString SafeLocalPath(const QString& requested);

// Writes bytes to a temporary name next to path and renames it over path on success, so a
// failure leaves no partial file and never a half-replaced old one. *error tells why on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

} // namespace zq::svc
