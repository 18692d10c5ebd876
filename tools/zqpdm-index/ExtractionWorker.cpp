#include "ExtractionWorker.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QIODevice>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <new>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zq::index {

namespace {

// AddressSanitizer reserves terabytes of address space for its shadow memory: a build with it
// cannot bound the worker's address space, and bounds its resident memory through the sanitizer.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Longer frames are nonsense: a request is a path, an answer at most a few MB of text.
constexpr quint32 kMaxFrame = 64u * 1024 * 1024;
constexpr int kStartMs = 10000;
constexpr auto kStreamVersion = QDataStream::Qt_6_4;

quint32 FrameLength(const QByteArray& header)
{
    const auto* b = reinterpret_cast<const unsigned char*>(header.constData());
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

// The worker's I/O on plain descriptors: all of it or nothing.
bool ReadAll(int fd, char* data, size_t size)
{
    while (size > 0) {
        const ssize_t got = ::read(fd, data, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= size_t(got);
    }
    return true;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= size_t(put);
    }
    return true;
}

// The CPU time one file may take, counted from now: the readers' own time limit and a second
// more. The wall-clock deadline of the indexer comes first for a reader of one thread; this one
// ends a reader that spins on several, or a worker whose indexer cannot watch it.
void LimitCpuForNextFile(int timeLimitMs)
{
    rusage used {};
    rlimit cpu {};
    if (getrusage(RUSAGE_SELF, &used) != 0 || getrlimit(RLIMIT_CPU, &cpu) != 0)
        return;
    const rlim_t spent = rlim_t(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 1);
    const rlim_t allowed = rlim_t(std::max(timeLimitMs, 0) / 1000 + 1);
    cpu.rlim_cur = spent + allowed;
    if (cpu.rlim_max != RLIM_INFINITY && cpu.rlim_cur > cpu.rlim_max)
        cpu.rlim_cur = cpu.rlim_max;
    setrlimit(RLIMIT_CPU, &cpu);
}

void LimitWorker(int memoryMb)
{
    // A crashing reader leaves no core file behind in the user's folder.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (memoryMb > 0 && !kAddressSanitizer) {
        const rlim_t bytes = rlim_t(memoryMb) * 1024 * 1024;
        const rlimit space{bytes, bytes};
        setrlimit(RLIMIT_AS, &space);
    }
}

} // namespace

QByteArray Frame(const QByteArray& payload)
{
    const quint32 n = quint32(payload.size());
    QByteArray frame;
    frame.reserve(payload.size() + 4);
    frame.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return frame + payload;
}

QByteArray EncodeRequest(const QString& path, const extract::ExtractLimits& limits)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << path << qint64(limits.maxReadBytes) << qint64(limits.maxTextChars) << qint32(limits.timeLimitMs);
    return payload;
}

bool DecodeRequest(const QByteArray& payload, QString* path, extract::ExtractLimits* limits)
{
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    qint64 maxRead = 0, maxText = 0;
    qint32 timeMs = 0;
    in >> *path >> maxRead >> maxText >> timeMs;
    if (in.status() != QDataStream::Ok)
        return false;
    limits->maxReadBytes = maxRead;
    limits->maxTextChars = qsizetype(maxText);
    limits->timeLimitMs = timeMs;
    return true;
}

QByteArray EncodeAnswer(const extract::Extraction& e, bool last)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << e.ok << e.truncated << e.textless << e.text << e.note << e.error << last;
    return payload;
}

bool DecodeAnswer(const QByteArray& payload, extract::Extraction* e, bool* last)
{
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    in >> e->ok >> e->truncated >> e->textless >> e->text >> e->note >> e->error >> *last;
    return in.status() == QDataStream::Ok && in.atEnd();
}

int RunExtractionWorker(int memoryMb)
{
    // The answers get a descriptor of their own; whatever a library prints goes to standard error.
    const int answers = ::dup(STDOUT_FILENO);
    if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 1;
    LimitWorker(memoryMb);
    for (;;) {
        char header[4];
        if (!ReadAll(STDIN_FILENO, header, sizeof header))
            return 0;   // the indexer is done
        const quint32 length = FrameLength(QByteArray::fromRawData(header, 4));
        if (length > kMaxFrame)
            return 1;
        QByteArray payload(qsizetype(length), Qt::Uninitialized);
        if (!ReadAll(STDIN_FILENO, payload.data(), length))
            return 1;
        QString path;
        extract::ExtractLimits limits;
        extract::Extraction extraction;
        bool exhausted = false;
        if (!DecodeRequest(payload, &path, &limits)) {
            extraction.error = QStringLiteral("提取请求无效");
        } else {
            LimitCpuForNextFile(limits.timeLimitMs);
            try {
                extraction = extract::ExtractText(path, limits);
            } catch (const std::bad_alloc&) {
                extraction = {};
                extraction.error = QStringLiteral("提取文本时内存超过 %1 MB 的上限, 已中止").arg(memoryMb);
                exhausted = true;
            }
        }
        const bool spent = exhausted || extraction.readerLeftRunning;
        const QByteArray frame = Frame(EncodeAnswer(extraction, spent));
        if (!WriteAll(answers, frame.constData(), size_t(frame.size())))
            return 1;
        // After running out of memory a reader may have left anything behind, and a reader left
        // running holds on to what it reads: a fresh worker follows. The running reader must not
        // see the process's objects go, so the worker ends at once.
        if (extraction.readerLeftRunning)
            ::_exit(3);
        if (exhausted)
            return 3;
    }
}

ExtractionWorker::ExtractionWorker(Settings settings) : m_settings(std::move(settings)) {}

ExtractionWorker::~ExtractionWorker()
{
    if (!m_process)
        return;
    // Standard input closed: the worker ends on its own; one that does not is killed.
    m_process->closeWriteChannel();
    if (!m_process->waitForFinished(2000)) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

bool ExtractionWorker::start(QString* error)
{
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(m_settings.program);
    m_process->setArguments({QString::fromLatin1(kWorkerOption), QString::number(m_settings.memoryMb)});
    // The readers' complaints about damaged files would only clutter the indexer's output.
    m_process->setStandardErrorFile(QProcess::nullDevice());
    if (kAddressSanitizer && m_settings.memoryMb > 0) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString options = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), (options.isEmpty() ? QString() : options + u':') +
                                                               QStringLiteral("hard_rss_limit_mb=%1").arg(m_settings.memoryMb));
        m_process->setProcessEnvironment(environment);
    }
    // The worker goes when the indexer goes, even when the indexer is killed outright. A parent
    // gone before this line ran is seen by the worker's new parent id.
    m_process->setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
    });
    m_process->start();
    m_pending.clear();
    ++m_started;
    if (!m_process->waitForStarted(kStartMs)) {
        *error = QStringLiteral("提取进程不能启动 (%1): %2").arg(m_settings.program, m_process->errorString());
        discard();
        return false;
    }
    return true;
}

void ExtractionWorker::discard()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    m_process.reset();
    m_pending.clear();
}

QString ExtractionWorker::endedReason() const
{
    if (!m_process || m_process->state() != QProcess::NotRunning)
        return QStringLiteral("提取进程没有给出结果");
    if (m_process->exitStatus() == QProcess::CrashExit)
        return QStringLiteral("提取进程异常结束 (可能超过了 %1 MB 的内存上限或 CPU 时间上限, 或读到了损坏的文件)")
            .arg(m_settings.memoryMb);
    return QStringLiteral("提取进程异常结束 (退出码 %1)").arg(m_process->exitCode());
}

bool ExtractionWorker::takeFrame(QByteArray* payload, QString* error)
{
    if (m_pending.size() < 4)
        return false;
    const quint32 length = FrameLength(m_pending.left(4));
    if (length > kMaxFrame) {
        *error = QStringLiteral("提取进程的回答无效");
        return false;
    }
    if (m_pending.size() < qsizetype(length) + 4)
        return false;
    *payload = m_pending.mid(4, qsizetype(length));
    m_pending.remove(0, qsizetype(length) + 4);
    return true;
}

bool ExtractionWorker::readFrame(QByteArray* payload, qint64 deadlineMs, QString* error)
{
    const QDeadlineTimer deadline(deadlineMs);
    for (;;) {
        if (takeFrame(payload, error))
            return true;
        if (!error->isEmpty())
            return false;
        if (m_settings.stop && m_settings.stop->load()) {
            *error = QStringLiteral("提取被要求停止");
            return false;
        }
        if (m_process->state() == QProcess::NotRunning) {
            m_pending += m_process->readAllStandardOutput();
            if (takeFrame(payload, error))
                return true;
            if (error->isEmpty())
                *error = endedReason();
            return false;
        }
        if (deadline.hasExpired()) {
            *error = QStringLiteral("提取超时 (超过 %1 秒), 已中止").arg((m_settings.deadlineMs + 999) / 1000);
            return false;
        }
        m_process->waitForReadyRead(int(std::clamp<qint64>(deadline.remainingTime(), 1, 250)));
        m_pending += m_process->readAllStandardOutput();
    }
}

extract::Extraction ExtractionWorker::extract(const QString& path)
{
    extract::Extraction failed;
    QElapsedTimer clock;
    clock.start();
    // A worker that cannot start or take the request says nothing of the file.
    failed.transient = true;
    if (!m_process && !start(&failed.error))
        return failed;
    const QByteArray request = Frame(EncodeRequest(path, m_settings.limits));
    if (m_process->write(request) != request.size()) {
        failed.error = QStringLiteral("不能把请求交给提取进程: %1").arg(m_process->errorString());
        discard();
        return failed;
    }
    QByteArray payload;
    if (!readFrame(&payload, std::max<qint64>(1, m_settings.deadlineMs - clock.elapsed()), &failed.error)) {
        // Missed deadlines and crashes are the file's doing; a stop is not.
        failed.transient = m_settings.stop && m_settings.stop->load();
        discard();
        return failed;
    }
    failed.transient = false;
    extract::Extraction answer;
    bool last = false;
    if (!DecodeAnswer(payload, &answer, &last)) {
        failed.error = QStringLiteral("提取进程的回答无效");
        discard();
        return failed;
    }
    // A worker that ran out of memory answers once more and ends; the next file gets a new one.
    if (last)
        discard();
    return answer;
}

} // namespace zq::index
