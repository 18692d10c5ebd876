#include "LocalTarget.h"
#include "ZQPDMFC.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zq::svc {

namespace {

bool isInside(const QString& cleanDir, const QString& folder)
{
    const QString root = QDir::cleanPath(folder);
    return cleanDir == root || cleanDir.startsWith(root + QLatin1Char('/'));
}

} // namespace

QString PlainFileName(const QString& path)
{
    QString unified = path;
    unified.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString name = unified.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

QString SafeLocalPath(const QString& requested)
{
    const QString name = PlainFileName(requested);
    if (name.isEmpty())
        return {};
    QString unified = requested;
    unified.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool climbs = unified.split(QLatin1Char('/')).contains(QStringLiteral(".."));
    if (QDir::isAbsolutePath(unified) && !climbs) {
        const QString dir = QDir::cleanPath(QFileInfo(unified).absolutePath());
        if (isInside(dir, TempFolder()) || isInside(dir, WorkingFolder()))
            return dir + QLatin1Char('/') + name;
    }
    return TempFolder() + name;
}

bool OpenPrivateFile(QSaveFile& file, QString* error)
{
    const QString path = file.fileName();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("不能创建文件夹: ") + QFileInfo(path).absolutePath();
        return false;
    }
    file.setDirectWriteFallback(false);
    // QSaveFile writes through a link at the target's name; the link itself goes first.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path)) {
        *error = QStringLiteral("不能替换链接: ") + path;
        return false;
    }
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *error = QStringLiteral("不能写入文件 %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!OpenPrivateFile(file, error))
        return false;
    if (file.write(bytes) != bytes.size())
        file.cancelWriting();
    if (!file.commit()) {
        *error = QStringLiteral("不能写入文件 %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace zq::svc
