#include "WorkerProcess.h"
#include "WorkerFrames.h"
#include "WorkerLoop.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace zq::extract {

namespace {
constexpr int kStartMs = 10000;
}

WorkerProcess::WorkerProcess(Settings settings) : m_settings(std::move(settings)) {}

WorkerProcess::~WorkerProcess()
{
    if (!m_process)
        return;
    m_process->closeWriteChannel();
    if (!m_process->waitForFinished(2000)) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

bool WorkerProcess::start(QString* error)
{
    // Without its worker option the program would run as itself (the indexer indexing), not serve.
    if (m_settings.workerOption.isEmpty()) {
        *error = QStringLiteral("%1进程不能启动 (%2): 没有给出让它作为%1进程工作的选项").arg(m_settings.task, m_settings.program);
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(m_settings.program);
    m_process->setArguments({m_settings.workerOption, QString::number(m_settings.memoryMb)});
    // The readers' complaints about damaged files would only clutter the caller's output.
    m_process->setStandardErrorFile(QProcess::nullDevice());
    if (AddressSpaceLimitUnavailable() && m_settings.memoryMb > 0) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString options = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), (options.isEmpty() ? QString() : options + u':') +
                                                               QStringLiteral("hard_rss_limit_mb=%1").arg(m_settings.memoryMb));
        m_process->setProcessEnvironment(environment);
    }
    // The worker goes when its parent goes, even when the parent is killed outright. A parent
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
        *error = QStringLiteral("%1进程不能启动 (%2): %3").arg(m_settings.task, m_settings.program, m_process->errorString());
        discard();
        return false;
    }
    return true;
}

void WorkerProcess::discard()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    m_process.reset();
    m_pending.clear();
}

QString WorkerProcess::endedReason() const
{
    if (!m_process || m_process->state() != QProcess::NotRunning)
        return QStringLiteral("%1进程没有给出结果").arg(m_settings.task);
    if (m_process->exitStatus() == QProcess::CrashExit)
        return QStringLiteral("%1进程异常结束 (可能超过了 %2 MB 的内存上限或 CPU 时间上限, 或读到了损坏的文件)")
            .arg(m_settings.task).arg(m_settings.memoryMb);
    return QStringLiteral("%1进程异常结束 (退出码 %2)").arg(m_settings.task).arg(m_process->exitCode());
}

bool WorkerProcess::takeFrame(QByteArray* payload, QString* error)
{
    if (m_pending.size() < 4)
        return false;
    const quint32 length = FrameLength(m_pending.constData());
    if (length > kMaxFrame) {
        *error = QStringLiteral("%1进程的回答无效").arg(m_settings.task);
        return false;
    }
    if (m_pending.size() < qsizetype(length) + 4)
        return false;
    *payload = m_pending.mid(4, qsizetype(length));
    m_pending.remove(0, qsizetype(length) + 4);
    return true;
}

bool WorkerProcess::readFrame(QByteArray* payload, qint64 deadlineMs, QString* error)
{
    const QDeadlineTimer deadline(deadlineMs);
    for (;;) {
        if (takeFrame(payload, error))
            return true;
        if (!error->isEmpty())
            return false;
        if (m_settings.stop && m_settings.stop->load()) {
            *error = QStringLiteral("%1被要求停止").arg(m_settings.task);
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
        if (deadline.hasExpired())
            return false;
        m_process->waitForReadyRead(int(std::clamp<qint64>(deadline.remainingTime(), 1, 250)));
        m_pending += m_process->readAllStandardOutput();
    }
}

bool WorkerProcess::call(const QByteArray& request, qint64 deadlineMs, QByteArray* answer, QString* error,
                         bool* requestTaken)
{
    QElapsedTimer clock;
    clock.start();
    error->clear();
    if (requestTaken)
        *requestTaken = false;
    if (!m_process && !start(error))
        return false;
    const QByteArray frame = Frame(request);
    if (m_process->write(frame) != frame.size()) {
        *error = QStringLiteral("不能把请求交给%1进程: %2").arg(m_settings.task, m_process->errorString());
        discard();
        return false;
    }
    if (requestTaken)
        *requestTaken = true;
    if (!readFrame(answer, std::max<qint64>(1, deadlineMs - clock.elapsed()), error)) {
        if (error->isEmpty())
            *error = QStringLiteral("%1超时 (超过 %2 秒), 已中止").arg(m_settings.task).arg((deadlineMs + 999) / 1000);
        discard();
        return false;
    }
    return true;
}

} // namespace zq::extract
