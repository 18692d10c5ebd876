#pragma once
// The shared saved searches: one file a search in the installation's Support/Searches/, readable
// by everyone and written by whoever may write there. A file that is no saved search is set aside
// as ".bad"; one written by a newer version is told once and never replaced.
#include "SavedSearch.h"

#include <QList>
#include <QString>

namespace zq {

class SharedSearchFolder {
public:
    explicit SharedSearchFolder(QString folder) : m_folder(std::move(folder)) {}
    const QString& folder() const { return m_folder; }
    // The lock every writer of the folder takes.
    QString lockPath() const;

    // Every shared search this version can use, in file-name order.
    QList<SavedSearch> searches() const;

    // Where the search of that name and tab is, or would be, kept.
    struct Place {
        QString path;
        std::optional<SavedSearch> existing;   // the search of that name there now
        bool newer = false;                    // the file there is a newer version's: not to be replaced
    };
    Place placeOf(const QString& name, const QString& tab) const;

    bool write(const QString& path, const SavedSearch& search, QString* error) const;
    // Whether the folder can be written (or made) by this user.
    bool canWrite() const;

private:
    struct File {
        QString path;
        std::optional<SavedSearch> search;
        bool newer = false;
        QString name, tab;   // as the file says, whoever wrote it
    };
    QList<File> files() const;

    QString m_folder;
};

} // namespace zq
