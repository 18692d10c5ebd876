#pragma once
// Makes previews on a thread of its own, so the window stays responsive while a file is drawn:
// one request at a time, a newer one replacing one not started and stopping one under way.
// Answers arrive on the owner's thread through finished().
#include "PreviewMaker.h"

#include <QObject>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace zq::preview {

class PreviewRunner : public QObject {
    Q_OBJECT
public:
    // The maker is made on the runner's thread (a worker process belongs to the thread that starts it).
    // stop: set while a preview under way is to be given up.
    using MakerFactory = std::function<std::unique_ptr<PreviewMaker>(const std::atomic<bool>& stop)>;
    explicit PreviewRunner(MakerFactory factory, QObject* parent = nullptr);
    ~PreviewRunner() override;

    // Asks for a preview; the one asked for before, started or not, is given up.
    void submit(const PreviewRequest& request, int ticket);
    void cancel();

Q_SIGNALS:
    void finished(int ticket, const zq::preview::PreviewAnswer& answer);

private:
    void run();

    MakerFactory m_factory;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<PreviewRequest, int>> m_next;
    std::atomic<bool> m_stop{false};   // the preview under way is given up
    bool m_closing = false;
    std::thread m_thread;
};

} // namespace zq::preview
