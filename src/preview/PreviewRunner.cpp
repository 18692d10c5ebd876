#include "PreviewRunner.h"

#include <QMetaObject>
#include <QPointer>

namespace zq::preview {

PreviewRunner::PreviewRunner(MakerFactory factory, QObject* parent)
    : QObject(parent), m_factory(std::move(factory)), m_thread([this] { run(); })
{
}

PreviewRunner::~PreviewRunner()
{
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
        m_next.reset();
    }
    m_stop = true;
    m_wake.notify_all();
    m_thread.join();
}

void PreviewRunner::submit(const PreviewRequest& request, int ticket)
{
    {
        std::lock_guard lock(m_mutex);
        m_next = std::make_pair(request, ticket);
    }
    m_stop = true;
    m_wake.notify_all();
}

void PreviewRunner::cancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_next.reset();
    }
    m_stop = true;
}

void PreviewRunner::run()
{
    std::unique_ptr<PreviewMaker> maker;
    for (;;) {
        std::pair<PreviewRequest, int> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_closing || m_next.has_value(); });
            if (m_closing)
                return;
            job = std::move(*m_next);
            m_next.reset();
            m_stop = false;
        }
        if (!maker)
            maker = m_factory(m_stop);
        PreviewAnswer answer = maker->make(job.first);
        if (m_stop)
            continue;   // given up for a newer one, or the runner closes
        QMetaObject::invokeMethod(this, [this, ticket = job.second, answer = std::move(answer)] {
            Q_EMIT finished(ticket, answer);
        }, Qt::QueuedConnection);
    }
}

} // namespace zq::preview
