#pragma once
// The user's previews kept between sessions: $XDG_CACHE_HOME/zqpdm/previews/ (0700, files 0600),
// one file a preview, named by a digest of the database (installation and connection) and the
// file's identity (table, keys, revision, file name, size, date) and the picture's box and page.
// Bounded: past the limit the previews used longest ago go. Several processes may use it at once:
// a preview is written whole and renamed into place; trimming is done under a lock.
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::preview {

inline constexpr qint64 kDefaultCacheBytes = 200LL * 1024 * 1024;

class PreviewCache {
public:
    static QString DefaultFolder();

    explicit PreviewCache(QString folder = DefaultFolder(), qint64 limitBytes = kDefaultCacheBytes);

    // The key of a preview: database and file identity, the box and the page.
    static QString KeyOf(const QStringList& database, const QStringList& identity, QSize box, int page);
    // The database of this session: the installation folder and the connection URL.
    static QStringList SessionDatabase();

    // Why previews are not kept ("" when they are): the folder cannot be made or is not the user's alone.
    QString problem() const { return m_problem; }

    std::optional<QByteArray> get(const QString& key) const;
    bool put(const QString& key, const QByteArray& bytes, QString* error = nullptr) const;
    // Removes previews used longest ago until the rest fit the limit.
    void trim() const;

    const QString& folder() const { return m_folder; }

private:
    QString pathOf(const QString& key) const;

    QString m_folder;
    qint64 m_limit;
    QString m_problem;
};

} // namespace zq::preview
