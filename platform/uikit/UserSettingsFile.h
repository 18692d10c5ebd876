#pragma once
// A small JSON file of one user's settings in $XDG_CONFIG_HOME/zqpdm/ (window.json: the search
// window's place, its columns, the preview pane), which every window and process of that user
// shares. A reader takes the keys it knows. A writer changes its own keys on the file as it is on
// disk at that moment, under the file's lock (read, merge, write to a temporary name, rename), so
// that one process never undoes what another wrote, and every key it does not know stays as it was.
// The file carries a "version": one written by a newer version is read but never written over; one
// that is damaged or foreign is set aside as "<name>.bad" before a writer starts it afresh.
#include <QJsonObject>
#include <QString>
#include <functional>

namespace zq {

class UserSettingsFile {
public:
    static constexpr int kVersion = 1;

    explicit UserSettingsFile(QString path);

    // $XDG_CONFIG_HOME/zqpdm (else ~/.config/zqpdm), without a trailing '/'.
    static QString UserFolder();
    // A file of that name in UserFolder().
    static QString InUserFolder(const QString& name);

    const QString& path() const { return m_path; }

    // The file's content; empty when there is none or it cannot be used (why in *problem).
    QJsonObject read(QString* problem = nullptr) const;
    // Lets change edit the content as it is on disk now and writes the result; false, with the
    // reason in *error, when nothing was written.
    bool update(const std::function<void(QJsonObject&)>& change, QString* error = nullptr) const;

private:
    enum class State { Missing, Usable, Newer, Damaged, Unreadable };
    State load(QJsonObject* content, QString* why) const;
    bool setAside(QString* error) const;
    bool write(const QJsonObject& content, QString* error) const;

    QString m_path;
};

} // namespace zq
