#pragma once
// The user's own file of saved searches, with the searches last run on each tab:
//   {"version": 1, "searches": [...], "recent": [...]}
// Read and written whole. An entry this version cannot use (written by a newer version, or
// damaged) is kept exactly as it was written, in its place, through every later write, and told
// once; so are members of the file a newer version added. A file of a newer version as a whole is
// read but never written, and one that is no such file is set aside.
#include "RawJson.h"
#include "SavedSearch.h"

#include <QList>
#include <QString>

namespace zq {

class UserSearchFile {
public:
    static constexpr int kVersion = 1;

    // One entry of a list: a search this version uses, or the bytes of one it leaves as it is.
    struct Entry {
        std::optional<SavedSearch> search;
        QByteArray written;
    };
    struct Contents {
        QList<Entry> own;
        QList<Entry> recent;          // every tab's
        QList<RawMember> others;      // the file's members this version does not know
        bool writable = true;         // false: the file is of a newer version
    };

    explicit UserSearchFile(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // What the file holds (nothing when it is missing); problems are told through searchfiles.
    Contents read() const;
    bool write(const Contents& contents, QString* error) const;

    // The searches among the entries.
    static QList<SavedSearch> Searches(const QList<Entry>& entries);

private:
    // An entry left as it is, told once a process under its key.
    struct Problem {
        QString key;
        QString text;
    };
    std::optional<QList<Entry>> readEntries(const QByteArray& written, QList<Problem>* leftAsTheyAre) const;

    QString m_path;
};

} // namespace zq
