#pragma once
// A process and the processes it started, as /proc shows them: their CPU fields and the memory
// they hold, and the peak of that memory while a measurement runs.
#include <QByteArray>
#include <QList>

#include <atomic>
#include <thread>

namespace zq::bench {

// Fields of /proc/PID/stat after the command: [0] state, [1] ppid, ... [11] utime, [12] stime,
// [13] cutime, [14] cstime. Empty when the process is gone.
QList<QByteArray> ProcessStatFields(qint64 pid);

// The process and every live process below it.
QList<qint64> ProcessTree(qint64 root);

// The resident memory of the process and every live process below it, in bytes.
qint64 TreeResidentBytes(qint64 root);

// The highest TreeResidentBytes seen, sampled every 50 ms from start() to stop().
class PeakMemory {
public:
    ~PeakMemory() { stop(); }
    void start(qint64 root);
    qint64 stop();   // the peak in bytes

private:
    std::atomic<bool> m_running{false};
    std::atomic<qint64> m_peak{0};
    std::thread m_sampler;
};

} // namespace zq::bench
