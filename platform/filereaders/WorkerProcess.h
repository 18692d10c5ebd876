#pragma once
// The parent's side of a worker process that runs a reader on an untrusted file. A reader fed
// crafted bytes can run for minutes (or for ever) and take gigabytes; the caller must survive that.
// The worker is a program started as `program workerOption MEMORY_MB`; it serves one request after
// another (ServeWorkerRequests) under an address-space limit, and the system kills it when its
// parent ends, however that ends. The parent keeps it alive across requests, gives each answer a
// deadline, and kills a worker that misses it; the next request starts a new one.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>

class QProcess;

namespace zq::extract {

class WorkerProcess {
public:
    struct Settings {
        QString program;           // the program that serves requests
        QString workerOption;      // the option that makes it a worker (the memory limit follows)
        int memoryMb = 1024;       // the worker's address-space limit (0: none)
        const std::atomic<bool>* stop = nullptr;   // once set, a request under way is given up at once
        QString task = QStringLiteral("提取");     // what the worker does, as its messages name it
    };

    explicit WorkerProcess(Settings settings);
    // Standard input closed: the worker ends on its own; one that does not is killed.
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // Sends one request and waits at most deadlineMs for its answer (a worker's start included).
    // False with *error when the worker could not start, missed the deadline, died, answered
    // nonsense or was stopped; that worker is gone then.
    // requestTaken, when given, tells whether the worker had the request when the call failed: a
    // worker that could not start or take it says nothing of the request.
    bool call(const QByteArray& request, qint64 deadlineMs, QByteArray* answer, QString* error,
              bool* requestTaken = nullptr);
    // Ends the worker (the next call starts a new one).
    void discard();
    // Workers started so far.
    int started() const { return m_started; }

private:
    bool start(QString* error);
    // A whole answer frame from what was read so far; *error set when it cannot be one.
    bool takeFrame(QByteArray* payload, QString* error);
    bool readFrame(QByteArray* payload, qint64 deadlineMs, QString* error);
    QString endedReason() const;

    Settings m_settings;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_pending;
    int m_started = 0;
};

} // namespace zq::extract
