#pragma once
// The server's worker processes as slots taken in the order the requests asked for them. A
// semaphore lets a request that has just arrived take a slot before those already waiting, so
// under steady load an unlucky request could wait past its limit (and be answered 503) while
// later ones were served.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

namespace zq::web {

class WorkerSlots {
public:
    explicit WorkerSlots(int count);

    // Waits for a free slot, after every request that asked before; false when none came within
    // `wait` (the caller then holds no slot).
    bool acquire(std::chrono::milliseconds wait);
    void release();
    // Requests waiting for a slot now.
    std::size_t waiting();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_free;
    std::uint64_t m_nextTicket = 0;
    std::deque<std::uint64_t> m_waiting;   // tickets in the order they were taken
};

} // namespace zq::web
