#pragma once
// One indexing run at a time for each content index. On SQLite the lock is an flock on a lock file
// beside the index ("content-index.db.lock"); on PostgreSQL an advisory lock of a session on the
// index's server, so that runs started on different machines keep out of each other as well.
// Either goes with the process that holds it: a run that was killed holds nothing.
#include "FileLock.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace zq::db { class Session; }

namespace zq::index {

class IndexRunLock {
public:
    enum class State { Held, Busy, Failed };

    explicit IndexRunLock(QString indexUrl);
    ~IndexRunLock();
    IndexRunLock(const IndexRunLock&) = delete;
    IndexRunLock& operator=(const IndexRunLock&) = delete;

    // One attempt: Held, Busy while another run holds it, or Failed with the reason. A URL that
    // cannot name an index (a folder, a missing folder, another engine) counts as held: opening
    // the index then says what is wrong with it, and no lock file is left beside it.
    State tryTake(QString* error);

    // Takes the lock. Without wait: tryTake. With wait: tries again twice a second until it is
    // held, `waiting` told once before the first pause; Busy when `stop` is set meanwhile.
    State take(bool wait, const std::atomic<bool>* stop, const std::function<void()>& waiting, QString* error);

private:
    State takeFile(const QString& path, QString* error);
    State takeAdvisory(QString* error);

    QString m_url;
    std::optional<FileLock> m_file;
    std::unique_ptr<db::Session> m_session;
    bool m_held = false;
};

} // namespace zq::index
