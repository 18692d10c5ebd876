#include "SavedSearchStore.h"

#include "Desktop.h"
#include "FileLock.h"
#include "SearchFiles.h"
#include "UserServices.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace zq {

namespace {

using Entry = UserSearchFile::Entry;

bool SameSearch(const SavedSearch& a, const SavedSearch& b)
{
    return a.name == b.name && a.tab == b.tab;
}

bool HoldsSame(const Entry& entry, const SavedSearch& search)
{
    return entry.search && SameSearch(*entry.search, search);
}

void SortByName(QList<SavedSearch>& searches)
{
    std::stable_sort(searches.begin(), searches.end(),
                     [](const SavedSearch& a, const SavedSearch& b) { return a.name.localeAwareCompare(b.name) < 0; });
}

QString NoSuchSearch(const SavedSearch& search)
{
    return QStringLiteral("没有名为 %1 的查询").arg(search.name);
}

QString SharedSearchGone(const SavedSearch& search)
{
    return QStringLiteral("共享查询“%1”已不在了 (可能刚被别人删除)").arg(search.name);
}

// Takes the lock of a folder's file, making the folder first (with the given permissions when it
// is new).
std::optional<FileLock> LockIn(const QString& folder, const QString& lockPath, std::optional<QFileDevice::Permissions> newFolder,
                               QString* error)
{
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder)) {
            *error = QStringLiteral("不能创建文件夹 %1").arg(folder);
            return std::nullopt;
        }
        if (newFolder)
            QFile::setPermissions(folder, *newFolder);
    }
    QString why;
    std::optional<FileLock> lock = FileLock::Acquire(lockPath, &why);
    if (!lock)
        *error = QStringLiteral("不能锁定 %1: %2").arg(lockPath, why);
    return lock;
}

} // namespace

SavedSearchStore::SavedSearchStore(QString userFile, QString sharedFolder)
    : m_user(std::move(userFile)), m_shared(std::move(sharedFolder))
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

SavedSearchStore::Outcome SavedSearchStore::changeUser(const UserChange& change)
{
    QString error;
    // The folder is the user's alone, as the file is.
    const std::optional<FileLock> lock =
        LockIn(QFileInfo(m_user.path()).absolutePath(), FileLock::LockPathFor(m_user.path()),
               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner, &error);
    if (!lock)
        return Outcome::Failure(error);
    UserSearchFile::Contents contents = m_user.read();
    const Outcome outcome = change(contents);
    if (outcome && !m_user.write(contents, &error))
        return Outcome::Failure(error);
    return outcome;
}

SavedSearchStore::Outcome SavedSearchStore::underSharedLock(const std::function<Outcome()>& change)
{
    if (!canShare())
        return Outcome::Failure(QStringLiteral("不能写入共享查询的文件夹 %1").arg(m_shared.folder()));
    QString error;
    const std::optional<FileLock> lock = LockIn(m_shared.folder(), m_shared.lockPath(), std::nullopt, &error);
    return lock ? change() : Outcome::Failure(error);
}

SavedSearch SavedSearchStore::stamped(SavedSearch search) const
{
    search.shared = true;
    search.savedBy = ZQCurrentLogName();
    search.savedAt = Desktop::current().now();
    return search;
}

QList<SavedSearch> SavedSearchStore::searches(const QString& tab) const
{
    QList<SavedSearch> own = UserSearchFile::Searches(m_user.read().own);
    QList<SavedSearch> shared = m_shared.searches();
    const auto other = [&tab](const SavedSearch& s) { return !tab.isEmpty() && s.tab != tab; };
    own.removeIf(other);
    shared.removeIf(other);
    SortByName(own);
    SortByName(shared);
    return own + shared;
}

std::optional<SavedSearch> SavedSearchStore::find(const QString& name, const QString& tab) const
{
    for (const SavedSearch& search : searches(tab))
        if (search.name == name)
            return search;
    return std::nullopt;
}

std::optional<SavedSearch> SavedSearchStore::findShared(const QString& name, const QString& tab) const
{
    for (const SavedSearch& search : searches(tab))
        if (search.shared && search.name == name)
            return search;
    return std::nullopt;
}

bool SavedSearchStore::canShare() const
{
    return m_shared.canWrite();
}

SavedSearchStore::Outcome SavedSearchStore::saveOwn(const SavedSearch& search, IfTaken ifTaken)
{
    return changeUser([&](UserSearchFile::Contents& contents) {
        for (const Entry& entry : std::as_const(contents.own))
            if (ifTaken == IfTaken::Refuse && HoldsSame(entry, search))
                return Outcome::NameTaken(*entry.search);
        contents.own.removeIf([&](const Entry& entry) { return HoldsSame(entry, search); });
        SavedSearch own = search;
        own.shared = false;
        own.savedBy.clear();
        contents.own.append({own, {}});
        return Outcome{};
    });
}

// With the shared folder's lock held.
SavedSearchStore::Outcome SavedSearchStore::saveShared(const SavedSearch& search, IfTaken ifTaken)
{
    const SharedSearchFolder::Place place = m_shared.placeOf(search.name, search.tab);
    if (place.newer)
        return Outcome::Failure(QStringLiteral("共享查询“%1”由较新的版本保存, 保持原样, 不能替换 (%2)").arg(search.name, place.path));
    if (place.existing && ifTaken == IfTaken::Refuse)
        return Outcome::NameTaken(*place.existing);
    QString error;
    return m_shared.write(place.path, stamped(search), &error) ? Outcome{} : Outcome::Failure(error);
}

SavedSearchStore::Outcome SavedSearchStore::save(const SavedSearch& search, IfTaken ifTaken)
{
    if (!search.shared)
        return saveOwn(search, ifTaken);
    return underSharedLock([&] { return saveShared(search, ifTaken); });
}

bool SavedSearchStore::save(const SavedSearch& search, QString* error)
{
    const Outcome outcome = save(search, IfTaken::Replace);
    *error = outcome.error;
    return bool(outcome);
}

// With the shared folder's lock held.
SavedSearchStore::Outcome SavedSearchStore::removeShared(const SavedSearch& search)
{
    const SharedSearchFolder::Place place = m_shared.placeOf(search.name, search.tab);
    if (!place.existing)
        return Outcome::Failure(SharedSearchGone(search));
    if (!QFile::remove(place.path))
        return Outcome::Failure(QStringLiteral("不能删除 %1").arg(place.path));
    return Outcome{};
}

bool SavedSearchStore::remove(const SavedSearch& search, QString* error)
{
    const Outcome outcome = search.shared ? underSharedLock([&] { return removeShared(search); })
                                          : changeUser([&](UserSearchFile::Contents& contents) {
                                                if (contents.own.removeIf([&](const Entry& e) { return HoldsSame(e, search); }) == 0)
                                                    return Outcome::Failure(NoSuchSearch(search));
                                                return Outcome{};
                                            });
    *error = outcome.error;
    return bool(outcome);
}

// With the shared folder's lock held: the search as it is there now goes under the new name.
SavedSearchStore::Outcome SavedSearchStore::renameShared(const SavedSearch& search, const SavedSearch& renamed, IfTaken ifTaken)
{
    const SharedSearchFolder::Place from = m_shared.placeOf(search.name, search.tab);
    if (!from.existing)
        return Outcome::Failure(SharedSearchGone(search));
    SavedSearch moved = *from.existing;
    moved.name = renamed.name;
    if (const Outcome saved = saveShared(moved, ifTaken); !saved)
        return saved;
    if (!QFile::remove(from.path))
        return Outcome::Failure(QStringLiteral("已保存为“%1”, 但不能删除 %2").arg(renamed.name, from.path));
    return Outcome{};
}

SavedSearchStore::Outcome SavedSearchStore::rename(const SavedSearch& search, const QString& newName, IfTaken ifTaken)
{
    SavedSearch renamed = search;
    renamed.name = newName.trimmed();
    if (renamed.name.isEmpty())
        return Outcome::Failure(QStringLiteral("名称不能为空"));
    if (renamed.name == search.name)
        return Outcome{};
    if (search.shared)
        return underSharedLock([&] { return renameShared(search, renamed, ifTaken); });
    return changeUser([&](UserSearchFile::Contents& contents) {
        const auto source = std::find_if(contents.own.begin(), contents.own.end(),
                                         [&](const Entry& e) { return HoldsSame(e, search); });
        if (source == contents.own.end())
            return Outcome::Failure(NoSuchSearch(search));
        const auto target = std::find_if(contents.own.begin(), contents.own.end(),
                                         [&](const Entry& e) { return HoldsSame(e, renamed); });
        if (target != contents.own.end()) {
            if (ifTaken == IfTaken::Refuse)
                return Outcome::NameTaken(*target->search);
            source->search->name = renamed.name;
            contents.own.erase(target);
        } else {
            source->search->name = renamed.name;
        }
        return Outcome{};
    });
}

SavedSearchStore::Outcome SavedSearchStore::setShared(const SavedSearch& search, bool shared, IfTaken ifTaken)
{
    if (search.shared == shared)
        return Outcome{};
    // The shared folder's lock first, then the user's: every change that takes both takes them
    // in this order.
    return underSharedLock([&] {
        if (shared) {
            // The user's search as the file holds it now.
            const QList<SavedSearch> own = UserSearchFile::Searches(m_user.read().own);
            const auto current = std::find_if(own.begin(), own.end(), [&](const SavedSearch& s) { return SameSearch(s, search); });
            if (current == own.end())
                return Outcome::Failure(NoSuchSearch(search));
            if (const Outcome saved = saveShared(*current, ifTaken); !saved)
                return saved;
            return changeUser([&](UserSearchFile::Contents& contents) {
                contents.own.removeIf([&](const Entry& e) { return HoldsSame(e, search); });
                return Outcome{};
            });
        }
        const SharedSearchFolder::Place place = m_shared.placeOf(search.name, search.tab);
        if (!place.existing)
            return Outcome::Failure(SharedSearchGone(search));
        if (const Outcome saved = saveOwn(*place.existing, ifTaken); !saved)
            return saved;
        if (!QFile::remove(place.path))
            return Outcome::Failure(QStringLiteral("已存为自己的查询, 但不能删除 %1").arg(place.path));
        return Outcome{};
    });
}

QList<SavedSearch> SavedSearchStore::recent(const QString& tab) const
{
    QList<SavedSearch> ran = UserSearchFile::Searches(m_user.read().recent);
    ran.removeIf([&tab](const SavedSearch& s) { return s.tab != tab; });
    return ran;
}

bool SavedSearchStore::remember(const SavedSearch& ran, QString* error)
{
    const Outcome outcome = changeUser([&](UserSearchFile::Contents& contents) {
        contents.recent.removeIf(
            [&ran](const Entry& e) { return e.search && e.search->tab == ran.tab && e.search->conditions == ran.conditions; });
        contents.recent.prepend({ran, {}});
        int kept = 0;
        contents.recent.removeIf([&ran, &kept](const Entry& e) { return e.search && e.search->tab == ran.tab && ++kept > kRecentPerTab; });
        return Outcome{};
    });
    *error = outcome.error;
    return bool(outcome);
}

QStringList SavedSearchStore::takeProblems() const
{
    return searchfiles::TakeProblems();
}

} // namespace zq
