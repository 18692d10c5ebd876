#include "SharedSearchFolder.h"

#include "SearchFiles.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace zq {

using namespace searchfiles;

QString SharedSearchFolder::lockPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("searches.lock"));
}

QList<SharedSearchFolder::File> SharedSearchFolder::files() const
{
    QList<File> found;
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        File file;
        file.path = folder.filePath(name);
        QString why;
        const std::optional<QJsonObject> object = ReadObject(file.path, &why);
        SavedSearch::Reading reading = SavedSearch::Reading::Damaged;
        if (object) {
            file.search = SavedSearch::fromJson(*object, &why, &reading);
            file.name = object->value(QStringLiteral("name")).toString();
            file.tab = object->value(QStringLiteral("tab")).toString();
        }
        if (reading == SavedSearch::Reading::Newer) {
            file.newer = true;
            TellOnce(file.path, QStringLiteral("%1 %2, 保持原样").arg(file.path, why));
        } else if (!file.search) {
            SetAside(file.path, why);
            continue;
        }
        if (file.search)
            file.search->shared = true;
        found.append(file);
    }
    return found;
}

QList<SavedSearch> SharedSearchFolder::searches() const
{
    QList<SavedSearch> shared;
    for (const File& file : files())
        if (file.search)
            shared.append(*file.search);
    return shared;
}

SharedSearchFolder::Place SharedSearchFolder::placeOf(const QString& name, const QString& tab) const
{
    const QList<File> all = files();
    for (const File& file : all)
        if (file.name == name && file.tab == tab)
            return {file.path, file.search, file.newer};
    // A new file, named after the tab and the search, numbered when another search has that name.
    const QDir folder(m_folder);
    const QString stem = CodeToPathSegment(tab + u'-' + name);
    QString path = folder.filePath(stem + QStringLiteral(".json"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1-%2.json").arg(stem, QString::number(n)));
    return {path, std::nullopt, false};
}

bool SharedSearchFolder::write(const QString& path, const SavedSearch& search, QString* error) const
{
    return WriteAtomically(path, QJsonDocument(search.toJson()).toJson(QJsonDocument::Indented),
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther,
                           error);
}

bool SharedSearchFolder::canWrite() const
{
    QFileInfo folder(m_folder);
    while (!folder.exists() && folder.absolutePath() != folder.absoluteFilePath())
        folder = QFileInfo(folder.absolutePath());
    return folder.isDir() && folder.isWritable();
}

} // namespace zq
