#pragma once
// What the saved-search files have in common: read as one JSON object, written whole to a
// temporary name and renamed, a damaged file set aside as ".bad" (never lost), and each problem
// found told once a process.
#include <QByteArray>
#include <QFileDevice>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::searchfiles {

// The file's bytes; nothing (and *why) when it cannot be read.
std::optional<QByteArray> ReadBytes(const QString& path, QString* why);
// The JSON object the bytes hold; nothing (and *why) when they hold none.
std::optional<QJsonObject> ParseObject(const QByteArray& bytes, QString* why);
std::optional<QJsonObject> ReadObject(const QString& path, QString* why);

// Writes the bytes to a temporary file beside the path and renames it over the path.
bool WriteAtomically(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions, QString* error);

// Moves a file that cannot be read to PATH.bad (PATH.bad.2, ...) and tells it.
void SetAside(const QString& path, const QString& why);

// Queues a problem to tell, unless one under the same key was queued before in this process.
void TellOnce(const QString& key, const QString& what);
// The problems queued since the last call.
QStringList TakeProblems();

} // namespace zq::searchfiles
