#pragma once
// Where saved searches live. The user's own, with the last ten searches run on each tab, in one
// file of the user's ($XDG_CONFIG_HOME/zqpdm/searches.json, by default ~/.config/zqpdm/); the
// shared ones in the installation's Support/Searches/, one file a search, readable by everyone and
// written by whoever may write there. Every file is written whole to a temporary name and renamed,
// carries a "version", and is read defensively: a damaged or foreign file is set aside as ".bad"
// (never lost) and told once; one of a newer version is told and left untouched.
#include "SavedSearch.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zq {

class SavedSearchStore {
public:
    static constexpr int kRecentPerTab = 10;

    explicit SavedSearchStore(QString userFile = UserFile(), QString sharedFolder = SharedFolder());

    static QString UserFile();
    static QString SharedFolder();

    // The tab's saved searches (every tab's when tab is empty): the user's own by name, then the
    // shared ones by name.
    QList<SavedSearch> searches(const QString& tab = {}) const;
    // The search of that name on the tab (any tab when empty); the user's own before a shared one.
    std::optional<SavedSearch> find(const QString& name, const QString& tab = {}) const;

    // Saves the search where search.shared says, over one of the same name and tab there.
    bool save(const SavedSearch& search, QString* error);
    bool remove(const SavedSearch& search, QString* error);
    bool rename(const SavedSearch& search, const QString& newName, QString* error);
    // Moves the search between the user's own and the shared ones.
    bool setShared(const SavedSearch& search, bool shared, QString* error);
    // Whether the shared folder can be written (or made) by this user.
    bool canShare() const;

    // The searches last run on the tab, newest first; remember() puts one on top, keeps ten, and
    // drops an older one with the same conditions.
    QList<SavedSearch> recent(const QString& tab) const;
    bool remember(const SavedSearch& ran, QString* error);

    // The files found damaged, foreign or newer since the last call, each told once a process.
    QStringList takeProblems() const;

private:
    struct UserData {
        QList<SavedSearch> own;
        QList<SavedSearch> recent;   // every tab's
        bool writable = true;        // false: the file is of a newer version
    };
    UserData readUser() const;
    bool writeUser(const UserData& data, QString* error) const;
    QList<SavedSearch> readShared() const;
    QString sharedPath(const SavedSearch& search) const;
    bool writeShared(const SavedSearch& search, QString* error) const;
    void setAside(const QString& path, const QString& why) const;

    QString m_userFile;
    QString m_sharedFolder;
};

} // namespace zq
