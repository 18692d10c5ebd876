#include "QuickPool.h"

#include <future>

namespace zq::web {

// One search handed to the pool; shared by the request, which may stop waiting, and the thread.
struct QuickPool::Task {
    enum State { Waiting, Running, Abandoned };
    QuickJob job;
    std::atomic<int> state{Waiting};
    std::atomic_bool cancel{false};
    std::promise<WorkerOutcome> done;
};

QuickPool::QuickPool(int threads)
{
    for (int i = 0; i < std::max(threads, 1); ++i)
        m_threads.emplace_back([this] { serve(); });
}

QuickPool::~QuickPool()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        // A request still waiting gets an answer (the search did not run), not a broken promise.
        for (const std::shared_ptr<Task>& task : m_tasks) {
            int waiting = Task::Waiting;
            if (task->state.compare_exchange_strong(waiting, Task::Abandoned))
                task->done.set_value(WorkerOutcome{});
        }
        m_tasks.clear();
    }
    m_queued.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

// A thread's life: its engine (and so its connections) is made, used and ended on this thread.
void QuickPool::serve()
{
    QuickEngine engine;
    for (;;) {
        std::shared_ptr<Task> task;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_stopping)
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        int waiting = Task::Waiting;
        if (!task->state.compare_exchange_strong(waiting, Task::Running))
            continue;   // its request stopped waiting
        task->done.set_value(engine.run(task->job, task->cancel));
    }
}

std::optional<WorkerOutcome> QuickPool::run(const QuickJob& job, std::chrono::milliseconds limit)
{
    auto task = std::make_shared<Task>();
    task->job = job;
    std::future<WorkerOutcome> done = task->done.get_future();
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(task);
    }
    m_queued.notify_one();
    if (done.wait_for(limit) == std::future_status::ready)
        return done.get();
    if (task->state.exchange(Task::Abandoned) == Task::Waiting)
        return std::nullopt;
    task->cancel = true;
    WorkerOutcome outcome;
    outcome.end = WorkerOutcome::End::TimedOut;
    return outcome;
}

} // namespace zq::web
