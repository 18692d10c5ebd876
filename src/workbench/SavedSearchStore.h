#pragma once
// Where saved searches live. The user's own, with the last ten searches run on each tab, in one
// file of the user's ($XDG_CONFIG_HOME/zqpdm/searches.json, by default ~/.config/zqpdm/); the
// shared ones in the installation's Support/Searches/, one file a search, readable by everyone and
// written by whoever may write there.
//
// Several windows and programs, of one user or of many, change these files at once. Every change
// is made under a lock (searches.json.lock beside the user's file, Support/Searches/searches.lock
// for the shared ones): the file is read as it is now, changed, and written whole to a temporary
// name and renamed, so nothing one writer does undoes another's. A name that is taken is replaced
// only when the caller says so. A damaged or foreign file is set aside as ".bad" (never lost) and
// told once; what a newer version wrote is told once and left as it is.
#include "SavedSearch.h"
#include "SharedSearchFolder.h"
#include "UserSearchFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace zq {

class SavedSearchStore {
public:
    static constexpr int kRecentPerTab = 10;

    explicit SavedSearchStore(QString userFile = UserFile(), QString sharedFolder = SharedFolder());

    static QString UserFile();
    static QString SharedFolder();

    // What to do when a search of the name is there already.
    enum class IfTaken { Replace, Refuse };
    struct Outcome {
        enum class Status { Done, Taken, Failed };
        Status status = Status::Done;
        QString error;                         // Failed: why
        std::optional<SavedSearch> existing;   // Taken: the search of that name that is there

        static Outcome Failure(QString why) { return {Status::Failed, std::move(why), std::nullopt}; }
        static Outcome NameTaken(SavedSearch there) { return {Status::Taken, QString(), std::move(there)}; }
        bool taken() const { return status == Status::Taken; }
        explicit operator bool() const { return status == Status::Done; }
    };

    // The tab's saved searches (every tab's when tab is empty): the user's own by name, then the
    // shared ones by name.
    QList<SavedSearch> searches(const QString& tab = {}) const;
    // The search of that name on the tab (any tab when empty); the user's own before a shared one.
    std::optional<SavedSearch> find(const QString& name, const QString& tab = {}) const;
    // The shared search of that name on the tab (any tab when empty).
    std::optional<SavedSearch> findShared(const QString& name, const QString& tab = {}) const;

    // Saves the search where search.shared says. A shared one is stamped with the login of the
    // user who saves it and the time.
    Outcome save(const SavedSearch& search, IfTaken ifTaken);
    // Saves over one of the same name and tab.
    bool save(const SavedSearch& search, QString* error);
    bool remove(const SavedSearch& search, QString* error);
    Outcome rename(const SavedSearch& search, const QString& newName, IfTaken ifTaken = IfTaken::Refuse);
    // Moves the search between the user's own and the shared ones.
    Outcome setShared(const SavedSearch& search, bool shared, IfTaken ifTaken = IfTaken::Refuse);
    // Whether the shared folder can be written (or made) by this user.
    bool canShare() const;

    // The searches last run on the tab, newest first; remember() puts one on top, keeps ten, and
    // drops an older one with the same conditions.
    QList<SavedSearch> recent(const QString& tab) const;
    bool remember(const SavedSearch& ran, QString* error);

    // The files found damaged, foreign or newer since the last call, each told once a process.
    QStringList takeProblems() const;

private:
    using UserChange = std::function<Outcome(UserSearchFile::Contents&)>;
    // Reads the user's file under its lock, changes it and writes it when the change is done.
    Outcome changeUser(const UserChange& change);
    // Runs the change under the shared folder's lock.
    Outcome underSharedLock(const std::function<Outcome()>& change);
    Outcome saveOwn(const SavedSearch& search, IfTaken ifTaken);
    Outcome saveShared(const SavedSearch& search, IfTaken ifTaken);
    Outcome removeShared(const SavedSearch& search);
    Outcome renameShared(const SavedSearch& search, const SavedSearch& renamed, IfTaken ifTaken);
    SavedSearch stamped(SavedSearch search) const;

    UserSearchFile m_user;
    SharedSearchFolder m_shared;
};

} // namespace zq
