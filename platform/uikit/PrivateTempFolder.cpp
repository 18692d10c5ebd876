#include "PrivateTempFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zq {

namespace {

constexpr mode_t kPrivateMode = S_IRWXU;

QString withSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

// Makes the folder with mode 0700 unless something is there already.
void makeFolder(const QString& folder)
{
    ::mkdir(QFile::encodeName(folder).constData(), kPrivateMode);
}

// A new folder of a unique name below root, made 0700; "" when none can be made.
QString makeUniqueFolder(const QString& root, const QString& stem)
{
    QByteArray pattern = QFile::encodeName(withSlash(root) + stem + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        return {};
    return QFile::decodeName(pattern);
}

} // namespace

QString PrivateFolderProblem(const QString& folder)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return QStringLiteral("不能创建: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("是一个链接");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("不是文件夹");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("属于其他用户");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("其他用户也可以进入");
    return {};
}

PrivateFolderChoice ChoosePrivateTempFolder(const QString& runtimeDir, const QString& tempRoot)
{
    const QString root = QDir::cleanPath(tempRoot.isEmpty() ? QDir::tempPath() : tempRoot);
    const QString stem = QStringLiteral("zqpdm-%1").arg(::geteuid());
    const QString first = runtimeDir.isEmpty() ? root + u'/' + stem
                                               : QDir::cleanPath(runtimeDir) + QStringLiteral("/zqpdm");
    makeFolder(first);
    const QString problem = PrivateFolderProblem(first);
    if (problem.isEmpty())
        return {withSlash(first), {}};

    PrivateFolderChoice choice;
    choice.refused = QStringLiteral("%1 (%2)").arg(first, problem);
    const QString unique = makeUniqueFolder(root, stem);
    if (unique.isEmpty()) {
        // No folder of the user's own can be made: files go nowhere rather than to a folder
        // someone else may have prepared. Nothing can ever be made below /dev/null.
        choice.refused += QStringLiteral("; 在 %1 中也不能创建新的文件夹").arg(root);
        choice.path = QStringLiteral("/dev/null/zqpdm/");
        return choice;
    }
    choice.path = withSlash(unique);
    return choice;
}

} // namespace zq
