#include "PdfTextThread.h"

#include <QBuffer>
#include <QPdfDocument>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <new>
#include <thread>

namespace zq::extract {

namespace {

// Never destroyed: a thread left running may outlive main().
std::atomic<int>& RunningThreads()
{
    static auto* running = new std::atomic<int>(0);
    return *running;
}

// Qt PDF sets PDFium up with its first document and tears it down with its last; one document
// kept for the life of the process spares every file PDFium's set-up (fonts looked up again).
void KeepPdfiumSetUp()
{
    static std::once_flag once;
    // Never destroyed: PDFium may be in use until the process ends.
    [[maybe_unused]] static QPdfDocument* kept = nullptr;
    std::call_once(once, [] { kept = new QPdfDocument(); });
}

} // namespace

struct PdfTextThread::Shared {
    explicit Shared(const QByteArray& pdf) : bytes(pdf) {}

    // Changes what the reader waits for, and wakes it.
    void publish(const std::function<void()>& change)
    {
        {
            const std::lock_guard lock(mutex);
            change();
        }
        changed.notify_all();
    }

    QByteArray bytes;
    std::mutex mutex;
    std::condition_variable changed;
    Opening opening = Opening::NotFinished;
    QString damage;
    int pageCount = 0;
    std::deque<Page> pages;
    bool done = false;
    bool outOfMemory = false;
    std::atomic<bool> stop{false};
};

namespace {

using Opening = PdfTextThread::Opening;

void ReadPages(PdfTextThread::Shared& shared)
{
    QBuffer buffer(&shared.bytes);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    QString damage;
    const Opening opening = PdfOpening(document, &damage);
    const int pages = opening == Opening::Open ? document.pageCount() : 0;
    shared.publish([&] {
        shared.opening = opening;
        shared.damage = damage;
        shared.pageCount = pages;
    });
    for (int i = 0; i < pages && !shared.stop; ++i) {
        const QPdfSelection all = document.getAllText(i);
        // A page without text gives no selection; one PDFium cannot find has no size either.
        PdfTextThread::Page page{i, all.isValid() || document.pagePointSize(i).isValid(), all.text()};
        shared.publish([&] { shared.pages.push_back(std::move(page)); });
    }
}

void Run(const std::shared_ptr<PdfTextThread::Shared>& shared)
{
    try {
        ReadPages(*shared);
    } catch (const std::bad_alloc&) {
        shared->publish([&] { shared->outOfMemory = true; });
    }
    --RunningThreads();
    shared->publish([&] { shared->done = true; });
}

} // namespace

PdfTextThread::PdfTextThread(const QByteArray& bytes) : m_shared(std::make_shared<Shared>(bytes))
{
    KeepPdfiumSetUp();
    ++RunningThreads();
    std::thread(Run, m_shared).detach();
}

PdfTextThread::~PdfTextThread()
{
    if (!m_finished)
        finish(1000);
}

bool PdfTextThread::earlierThreadRunning()
{
    return RunningThreads() > 0;
}

PdfTextThread::Opening PdfTextThread::open(qint64 waitMs)
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait_for(lock, std::chrono::milliseconds(std::max<qint64>(waitMs, 0)), [&] {
        return m_shared->opening != Opening::NotFinished || m_shared->done;
    });
    if (m_shared->outOfMemory)
        throw std::bad_alloc();
    return m_shared->opening;
}

QString PdfTextThread::damage() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->damage;
}

bool PdfTextThread::allPagesRead() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->done && m_shared->pages.empty() && !m_shared->stop;
}

int PdfTextThread::pageCount() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->pageCount;
}

std::optional<PdfTextThread::Page> PdfTextThread::nextPage(qint64 waitMs)
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait_for(lock, std::chrono::milliseconds(std::max<qint64>(waitMs, 0)),
                               [&] { return !m_shared->pages.empty() || m_shared->done; });
    if (m_shared->outOfMemory)
        throw std::bad_alloc();
    if (m_shared->pages.empty())
        return std::nullopt;
    Page page = std::move(m_shared->pages.front());
    m_shared->pages.pop_front();
    return page;
}

bool PdfTextThread::finish(qint64 waitMs)
{
    m_finished = true;
    m_shared->stop = true;
    std::unique_lock lock(m_shared->mutex);
    return m_shared->changed.wait_for(lock, std::chrono::milliseconds(std::max<qint64>(waitMs, 0)),
                                      [&] { return m_shared->done; });
}

PdfTextThread::Opening PdfOpening(const QPdfDocument& document, QString* damage)
{
    switch (document.error()) {
    case QPdfDocument::Error::None:
        break;
    case QPdfDocument::Error::IncorrectPassword:
        return PdfTextThread::Opening::Encrypted;
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return PdfTextThread::Opening::UnsupportedEncryption;
    case QPdfDocument::Error::InvalidFileFormat:
        *damage = QStringLiteral("不是 PDF 文件, 或文件的结构已损坏");
        return PdfTextThread::Opening::NotPdf;
    default:
        *damage = QStringLiteral("PDFium 不能打开文件 (错误 %1)").arg(int(document.error()));
        return PdfTextThread::Opening::NotPdf;
    }
    if (document.status() == QPdfDocument::Status::Loading) {
        *damage = QStringLiteral("文件不完整");   // PDFium waits for bytes past the end
        return PdfTextThread::Opening::NotPdf;
    }
    if (document.pageCount() <= 0) {
        *damage = QStringLiteral("没有页面");
        return PdfTextThread::Opening::NotPdf;
    }
    // A document PDFium opened with some page it could not find is read for the others.
    return PdfTextThread::Opening::Open;
}

} // namespace zq::extract
