#include "IndexFileMode.h"

#include "ConnectionUrl.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zq::index {

namespace {

constexpr mode_t kReadWrite = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;

QString SystemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString SqliteFileOf(const QString& url)
{
    QString ignored;
    const auto parsed = db::ParseConnectionUrl(url, &ignored);
    return parsed && parsed->driver == u"QSQLITE" ? parsed->database : QString();
}

QString MatchDatabaseFileMode(const QString& indexPath, const QString& databasePath, bool made)
{
    struct stat database {};
    struct stat index {};
    const QByteArray indexFile = QFile::encodeName(indexPath);
    if (databasePath.isEmpty() || ::stat(QFile::encodeName(databasePath).constData(), &database) != 0 ||
        ::stat(indexFile.constData(), &index) != 0)
        return {};
    mode_t mode = index.st_mode & kReadWrite & database.st_mode;
    if (made) {
        mode = database.st_mode & kReadWrite;
        // The group's permissions are for the database's group: without it, none.
        if (index.st_gid != database.st_gid && ::chown(indexFile.constData(), uid_t(-1), database.st_gid) != 0)
            mode &= ~mode_t(S_IRGRP | S_IWGRP);
    }
    if (mode == (index.st_mode & kReadWrite))
        return {};
    if (::chmod(indexFile.constData(), mode) != 0)
        return QStringLiteral("不能设置内容索引文件的权限 (%1): %2").arg(indexPath, SystemReason());
    return {};
}

} // namespace zq::index
