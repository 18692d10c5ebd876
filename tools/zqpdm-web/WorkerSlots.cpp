#include "WorkerSlots.h"

#include <algorithm>

namespace zq::web {

WorkerSlots::WorkerSlots(int count) : m_free(std::max(1, count)) {}

bool WorkerSlots::acquire(std::chrono::milliseconds wait)
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_waiting.push_back(ticket);
    const bool granted = m_changed.wait_for(lock, wait, [&] { return m_free > 0 && m_waiting.front() == ticket; });
    m_waiting.erase(std::find(m_waiting.begin(), m_waiting.end(), ticket));
    if (granted)
        --m_free;
    // The next in line may take a slot still free, or the one this request gave up waiting for.
    m_changed.notify_all();
    return granted;
}

void WorkerSlots::release()
{
    {
        const std::lock_guard lock(m_mutex);
        ++m_free;
    }
    m_changed.notify_all();
}

std::size_t WorkerSlots::waiting()
{
    const std::lock_guard lock(m_mutex);
    return m_waiting.size();
}

} // namespace zq::web
