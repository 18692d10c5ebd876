#pragma once
// A few threads that run quick searches inside the server, each with its QuickEngine (its own
// long-lived connections), so a quick search costs its queries and not a process's start. At most
// one search a thread runs at once; the others wait their turn, in the order they came.
#include "QuickEngine.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zq::web {

class QuickPool {
public:
    explicit QuickPool(int threads);
    ~QuickPool();   // waits for the searches running to end; those waiting are not run (NotStarted)
    QuickPool(const QuickPool&) = delete;
    QuickPool& operator=(const QuickPool&) = delete;

    // Runs JOB on the first thread free. A search not ended within LIMIT (waiting included) is
    // cancelled: it stops at its next row, and the outcome is TimedOut. nullopt when no thread
    // was free within LIMIT (the search never ran).
    std::optional<WorkerOutcome> run(const QuickJob& job, std::chrono::milliseconds limit);

private:
    struct Task;
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::shared_ptr<Task>> m_tasks;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace zq::web
