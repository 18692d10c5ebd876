#include "UserSettingsFile.h"

#include "FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace zq {

namespace {

const QString kVersionKey = QStringLiteral("version");

} // namespace

UserSettingsFile::UserSettingsFile(QString path) : m_path(std::move(path)) {}

QString UserSettingsFile::UserFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/zqpdm");
}

QString UserSettingsFile::InUserFolder(const QString& name)
{
    return UserFolder() + u'/' + name;
}

UserSettingsFile::State UserSettingsFile::load(QJsonObject* content, QString* why) const
{
    *content = QJsonObject();
    QFile file(m_path);
    if (!file.exists())
        return State::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("不能读取 %1: %2").arg(m_path, file.errorString());
        return State::Unreadable;
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        *why = QStringLiteral("%1 不是设置文件 (%2)")
                   .arg(m_path, parse.error != QJsonParseError::NoError ? parse.errorString()
                                                                         : QStringLiteral("不是 JSON 对象"));
        return State::Damaged;
    }
    const QJsonValue version = document.object().value(kVersionKey);
    if (!version.isDouble() || version.toInt() < 1) {
        *why = QStringLiteral("%1 不是设置文件 (没有版本号)").arg(m_path);
        return State::Damaged;
    }
    *content = document.object();
    if (version.toInt() > kVersion) {
        *why = QStringLiteral("%1 由较新的版本保存 (版本 %2), 这里只读取不改写").arg(m_path, QString::number(version.toInt()));
        return State::Newer;
    }
    return State::Usable;
}

QJsonObject UserSettingsFile::read(QString* problem) const
{
    QJsonObject content;
    QString why;
    const State state = load(&content, &why);
    if (problem)
        *problem = why;
    // What a newer version wrote is read as far as this one understands it.
    return state == State::Usable || state == State::Newer ? content : QJsonObject();
}

// A damaged file is kept under another name for whoever wants to look at it.
bool UserSettingsFile::setAside(QString* error) const
{
    QString bad = m_path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(bad); ++n)
        bad = m_path + QStringLiteral(".bad.%1").arg(n);
    if (QFile::rename(m_path, bad))
        return true;
    *error = QStringLiteral("%1 已损坏且不能改名为 %2").arg(m_path, bad);
    return false;
}

bool UserSettingsFile::write(const QJsonObject& content, QString* error) const
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("不能创建文件夹 %1").arg(folder);
        return false;
    }
    QSaveFile file(m_path);
    file.setDirectWriteFallback(false);
    const QByteArray bytes = QJsonDocument(content).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(bytes) != bytes.size()) {
        *error = QStringLiteral("不能写入 %1: %2").arg(m_path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("不能写入 %1: %2").arg(m_path, file.errorString());
        return false;
    }
    return true;
}

bool UserSettingsFile::update(const std::function<void(QJsonObject&)>& change, QString* error) const
{
    QString why;
    QString* reason = error ? error : &why;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        *reason = QStringLiteral("不能创建文件夹 %1").arg(QFileInfo(m_path).absolutePath());
        return false;
    }
    const std::optional<FileLock> lock = FileLock::Acquire(FileLock::LockPathFor(m_path), reason);
    if (!lock)
        return false;
    QJsonObject content;
    QString problem;
    switch (load(&content, &problem)) {
    case State::Newer:
    case State::Unreadable:
        *reason = problem;
        return false;
    case State::Damaged:
        if (!setAside(reason))
            return false;
        content = QJsonObject();
        break;
    case State::Missing:
    case State::Usable:
        break;
    }
    change(content);
    content.insert(kVersionKey, kVersion);
    return write(content, reason);
}

} // namespace zq
