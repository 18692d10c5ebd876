#include "SearchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>

namespace zq::searchfiles {

namespace {

// What was found wrong with a file, told once a process: a file set aside is not met again, but
// one that cannot be moved (a shared folder the user may not write) or an entry left as it is
// would be met at every read.
QStringList& PendingProblems()
{
    static QStringList problems;
    return problems;
}

} // namespace

std::optional<QByteArray> ReadBytes(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<QJsonObject> ParseObject(const QByteArray& bytes, QString* why)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        *why = parse.error != QJsonParseError::NoError ? parse.errorString() : QStringLiteral("不是 JSON 对象");
        return std::nullopt;
    }
    return document.object();
}

std::optional<QJsonObject> ReadObject(const QString& path, QString* why)
{
    const std::optional<QByteArray> bytes = ReadBytes(path, why);
    return bytes ? ParseObject(*bytes, why) : std::nullopt;
}

bool WriteAtomically(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions, QString* error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("不能创建文件夹 %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(permissions) || file.write(bytes) != bytes.size()) {
        *error = QStringLiteral("不能写入 %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("不能写入 %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void SetAside(const QString& path, const QString& why)
{
    QString bad = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(bad); ++n)
        bad = path + QStringLiteral(".bad.%1").arg(n);
    const bool moved = QFile::rename(path, bad);
    TellOnce(path, moved ? QStringLiteral("%1 不能读取 (%2), 已改名为 %3").arg(path, why, bad)
                         : QStringLiteral("%1 不能读取 (%2), 已跳过").arg(path, why));
}

void TellOnce(const QString& key, const QString& what)
{
    static QSet<QString> told;
    if (told.contains(key))
        return;
    told.insert(key);
    PendingProblems().append(what);
}

QStringList TakeProblems()
{
    QStringList problems;
    problems.swap(PendingProblems());
    return problems;
}

} // namespace zq::searchfiles
