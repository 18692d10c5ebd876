#include "WorkerLoop.h"
#include "WorkerFrames.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace zq::extract {

namespace {

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

bool AddressSpaceLimitUnavailable()
{
    return kAddressSanitizer;
}

void LimitCpuForNextRequest(int timeLimitMs)
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

int ServeWorkerRequests(int memoryMb, const std::function<WorkerReply(const QByteArray& request)>& answer)
{
    // The answers get a descriptor of their own; whatever a library prints goes to standard error.
    const int answers = ::dup(STDOUT_FILENO);
    if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 1;
    LimitWorker(memoryMb);
    for (;;) {
        char header[4];
        if (!ReadAll(STDIN_FILENO, header, sizeof header))
            return 0;   // the parent is done
        const quint32 length = FrameLength(header);
        if (length > kMaxFrame)
            return 1;
        QByteArray request(qsizetype(length), Qt::Uninitialized);
        if (!ReadAll(STDIN_FILENO, request.data(), length))
            return 1;
        const WorkerReply reply = answer(request);
        const QByteArray frame = Frame(reply.payload);
        if (!WriteAll(answers, frame.constData(), size_t(frame.size())))
            return 1;
        // A reader left running must not see the process's objects go: the worker ends at once.
        if (reply.exitAtOnce)
            ::_exit(3);
        if (reply.last)
            return 3;
    }
}

} // namespace zq::extract
