#include "SavedSearchStore.h"

#include "ZQPDMFC.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>
#include <algorithm>

namespace zq {

namespace {

constexpr int kUserFileVersion = 1;

// What was found wrong with a file, told once a process: a file set aside is not met again, but
// one that cannot be moved (a shared folder the user may not write) would be met at every read.
QStringList& pendingProblems()
{
    static QStringList problems;
    return problems;
}

void tellOnce(const QString& path, const QString& what)
{
    static QSet<QString> told;
    if (told.contains(path))
        return;
    told.insert(path);
    pendingProblems().append(what);
}

std::optional<QJsonObject> readJsonObject(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        *why = parse.error != QJsonParseError::NoError ? parse.errorString() : QStringLiteral("不是 JSON 对象");
        return std::nullopt;
    }
    return document.object();
}

bool writeJson(const QString& path, const QJsonObject& object, QFileDevice::Permissions permissions, QString* error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("不能创建文件夹 %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
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

bool sameSearch(const SavedSearch& a, const SavedSearch& b)
{
    return a.name == b.name && a.tab == b.tab;
}

void sortByName(QList<SavedSearch>& searches)
{
    std::stable_sort(searches.begin(), searches.end(),
                     [](const SavedSearch& a, const SavedSearch& b) { return a.name.localeAwareCompare(b.name) < 0; });
}

QJsonArray toArray(const QList<SavedSearch>& searches)
{
    QJsonArray array;
    for (const SavedSearch& search : searches)
        array.append(search.toJson());
    return array;
}

} // namespace

SavedSearchStore::SavedSearchStore(QString userFile, QString sharedFolder)
    : m_userFile(std::move(userFile)), m_sharedFolder(std::move(sharedFolder))
{
}

QString SavedSearchStore::UserFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/zqpdm/searches.json");
}

QString SavedSearchStore::SharedFolder()
{
    return InstallDirectory() + QStringLiteral("/Support/Searches");
}

void SavedSearchStore::setAside(const QString& path, const QString& why) const
{
    QString bad = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(bad); ++n)
        bad = path + QStringLiteral(".bad.%1").arg(n);
    const bool moved = QFile::rename(path, bad);
    tellOnce(path, moved ? QStringLiteral("%1 不能读取 (%2), 已改名为 %3").arg(path, why, bad)
                         : QStringLiteral("%1 不能读取 (%2), 已跳过").arg(path, why));
}

SavedSearchStore::UserData SavedSearchStore::readUser() const
{
    UserData data;
    if (!QFileInfo::exists(m_userFile))
        return data;
    QString why;
    const std::optional<QJsonObject> object = readJsonObject(m_userFile, &why);
    if (!object) {
        setAside(m_userFile, why);
        return data;
    }
    const int version = object->value(QStringLiteral("version")).toInt(0);
    if (version > kUserFileVersion) {
        tellOnce(m_userFile, QStringLiteral("%1 由较新的版本保存 (版本 %2), 这里只读取不改写").arg(m_userFile).arg(version));
        data.writable = false;
    } else if (version < 1 || !object->value(QStringLiteral("searches")).isArray()) {
        setAside(m_userFile, QStringLiteral("不是保存的查询"));
        return data;
    }
    for (const QString& key : {QStringLiteral("searches"), QStringLiteral("recent")}) {
        QList<SavedSearch>& into = key == u"searches" ? data.own : data.recent;
        for (const QJsonValue& value : object->value(key).toArray()) {
            QString skipped;
            if (std::optional<SavedSearch> search = SavedSearch::fromJson(value.toObject(), &skipped))
                into.append(*search);
        }
    }
    return data;
}

bool SavedSearchStore::writeUser(const UserData& data, QString* error) const
{
    if (!data.writable) {
        *error = QStringLiteral("%1 由较新的版本保存, 不能改写").arg(m_userFile);
        return false;
    }
    const QJsonObject object{
        {QStringLiteral("version"), kUserFileVersion},
        {QStringLiteral("searches"), toArray(data.own)},
        {QStringLiteral("recent"), toArray(data.recent)},
    };
    // The folder is the user's alone, as the file is.
    const QString folder = QFileInfo(m_userFile).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return writeJson(m_userFile, object, QFileDevice::ReadOwner | QFileDevice::WriteOwner, error);
}

QList<SavedSearch> SavedSearchStore::readShared() const
{
    QList<SavedSearch> shared;
    const QDir folder(m_sharedFolder);
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        QString why;
        const std::optional<QJsonObject> object = readJsonObject(path, &why);
        std::optional<SavedSearch> search;
        if (object)
            search = SavedSearch::fromJson(*object, &why);
        if (!search) {
            if (object && object->value(QStringLiteral("version")).toInt() > SavedSearch::kVersion)
                tellOnce(path, QStringLiteral("%1 %2, 已跳过").arg(path, why));
            else
                setAside(path, why);
            continue;
        }
        search->shared = true;
        shared.append(*search);
    }
    return shared;
}

QString SavedSearchStore::sharedPath(const SavedSearch& search) const
{
    const QDir folder(m_sharedFolder);
    const QString stem = CodeToPathSegment(search.tab + u'-' + search.name);
    QString path = folder.filePath(stem + QStringLiteral(".json"));
    for (int n = 2;; ++n) {
        QString why;
        const std::optional<QJsonObject> object = QFileInfo::exists(path) ? readJsonObject(path, &why) : std::nullopt;
        if (!QFileInfo::exists(path) || (object && object->value(QStringLiteral("name")).toString() == search.name
                                         && object->value(QStringLiteral("tab")).toString() == search.tab))
            return path;
        path = folder.filePath(QStringLiteral("%1-%2.json").arg(stem).arg(n));
    }
}

bool SavedSearchStore::writeShared(const SavedSearch& search, QString* error) const
{
    return writeJson(sharedPath(search), search.toJson(),
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther,
                     error);
}

QList<SavedSearch> SavedSearchStore::searches(const QString& tab) const
{
    QList<SavedSearch> own = readUser().own;
    QList<SavedSearch> shared = readShared();
    const auto other = [&tab](const SavedSearch& s) { return !tab.isEmpty() && s.tab != tab; };
    own.removeIf(other);
    shared.removeIf(other);
    sortByName(own);
    sortByName(shared);
    return own + shared;
}

std::optional<SavedSearch> SavedSearchStore::find(const QString& name, const QString& tab) const
{
    for (const SavedSearch& search : searches(tab))
        if (search.name == name)
            return search;
    return std::nullopt;
}

bool SavedSearchStore::canShare() const
{
    QFileInfo folder(m_sharedFolder);
    while (!folder.exists() && folder.absolutePath() != folder.absoluteFilePath())
        folder = QFileInfo(folder.absolutePath());
    return folder.isDir() && folder.isWritable();
}

bool SavedSearchStore::save(const SavedSearch& search, QString* error)
{
    if (search.shared) {
        if (!canShare()) {
            *error = QStringLiteral("不能写入共享查询的文件夹 %1").arg(m_sharedFolder);
            return false;
        }
        return writeShared(search, error);
    }
    UserData data = readUser();
    data.own.removeIf([&](const SavedSearch& s) { return sameSearch(s, search); });
    data.own.append(search);
    return writeUser(data, error);
}

bool SavedSearchStore::remove(const SavedSearch& search, QString* error)
{
    if (search.shared) {
        const QString path = sharedPath(search);
        if (!QFileInfo::exists(path) || !QFile::remove(path)) {
            *error = QStringLiteral("不能删除 %1").arg(path);
            return false;
        }
        return true;
    }
    UserData data = readUser();
    if (data.own.removeIf([&](const SavedSearch& s) { return sameSearch(s, search); }) == 0) {
        *error = QStringLiteral("没有名为 %1 的查询").arg(search.name);
        return false;
    }
    return writeUser(data, error);
}

bool SavedSearchStore::rename(const SavedSearch& search, const QString& newName, QString* error)
{
    SavedSearch renamed = search;
    renamed.name = newName.trimmed();
    if (renamed.name.isEmpty()) {
        *error = QStringLiteral("名称不能为空");
        return false;
    }
    if (renamed.name == search.name)
        return true;
    return save(renamed, error) && remove(search, error);
}

bool SavedSearchStore::setShared(const SavedSearch& search, bool shared, QString* error)
{
    if (search.shared == shared)
        return true;
    SavedSearch moved = search;
    moved.shared = shared;
    return save(moved, error) && remove(search, error);
}

QList<SavedSearch> SavedSearchStore::recent(const QString& tab) const
{
    QList<SavedSearch> ran = readUser().recent;
    ran.removeIf([&tab](const SavedSearch& s) { return s.tab != tab; });
    return ran;
}

bool SavedSearchStore::remember(const SavedSearch& ran, QString* error)
{
    UserData data = readUser();
    data.recent.removeIf([&ran](const SavedSearch& s) { return s.tab == ran.tab && s.conditions == ran.conditions; });
    data.recent.prepend(ran);
    int kept = 0;
    data.recent.removeIf([&ran, &kept](const SavedSearch& s) { return s.tab == ran.tab && ++kept > kRecentPerTab; });
    return writeUser(data, error);
}

QStringList SavedSearchStore::takeProblems() const
{
    QStringList problems;
    problems.swap(pendingProblems());
    return problems;
}

} // namespace zq
