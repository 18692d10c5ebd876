#pragma once
// An advisory lock (flock) that several processes and users take before they change a file they
// share: saved searches, the recent lists, settings, the content index. The lock is held on a lock
// file of its own beside the data (the data file itself is replaced by rename, so it cannot carry
// the lock), for as long as the FileLock object lives. A lock file that is not there is made, open
// to every user who may write the folder; one that is there is opened for reading only, which is
// all flock needs, so a user who may not write the folder can still take the lock on a lock file
// someone else made.
#include <QString>

#include <optional>

namespace zq {

class FileLock {
public:
    enum class Mode { Exclusive, Shared };

    // Waits until the lock is held. Fails, with the system's reason in error, when the lock file
    // can neither be opened nor made, or is a link.
    static std::optional<FileLock> Acquire(const QString& lockPath, QString* error, Mode mode = Mode::Exclusive);
    // Takes the lock only when nobody holds it; *busy tells that somebody did.
    static std::optional<FileLock> TryAcquire(const QString& lockPath, bool* busy, QString* error,
                                              Mode mode = Mode::Exclusive);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // The lock file beside a data file: "searches.json" → "searches.json.lock".
    static QString LockPathFor(const QString& dataFile);

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    static std::optional<FileLock> Take(const QString& lockPath, bool wait, bool* busy, QString* error, Mode mode);
    int m_fd = -1;
};

} // namespace zq
