#include "FileLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace zq {

namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens the lock file without following a link: read-only when it is there, made otherwise.
int OpenLockFile(const QByteArray& path, QString* error)
{
    int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 && errno == ENOENT) {
        // Readable and writable by whoever may write the folder; the lock file holds nothing.
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno == EEXIST)
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd < 0 && error)
        *error = SystemReason(errno);
    return fd;
}

} // namespace

std::optional<FileLock> FileLock::Take(const QString& lockPath, bool wait, bool* busy, QString* error, Mode mode)
{
    if (busy)
        *busy = false;
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = OpenLockFile(path, error);
    if (fd < 0)
        return std::nullopt;
    const int operation = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | (wait ? 0 : LOCK_NB);
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int reason = errno;
        ::close(fd);
        if (reason == EWOULDBLOCK && busy)
            *busy = true;
        else if (error)
            *error = SystemReason(reason);
        return std::nullopt;
    }
    return FileLock(fd);
}

std::optional<FileLock> FileLock::Acquire(const QString& lockPath, QString* error, Mode mode)
{
    return Take(lockPath, true, nullptr, error, mode);
}

std::optional<FileLock> FileLock::TryAcquire(const QString& lockPath, bool* busy, QString* error, Mode mode)
{
    return Take(lockPath, false, busy, error, mode);
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileLock::~FileLock()
{
    // Closing the last descriptor of the open file releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

QString FileLock::LockPathFor(const QString& dataFile)
{
    return dataFile + QStringLiteral(".lock");
}

} // namespace zq
