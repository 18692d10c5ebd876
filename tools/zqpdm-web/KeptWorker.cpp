#include "KeptWorker.h"
#include "ServeRequest.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zq::web {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    bool open() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        read = ends[0];
        write = ends[1];
        return true;
    }
    void close() {
        if (read >= 0)
            ::close(read);
        if (write >= 0)
            ::close(write);
        read = write = -1;
    }
};

QString systemError(const char* what, int error)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(error)));
}

// Waits up to MS for the process to end; true when it has (and it is reaped).
bool reaped(pid_t pid, int ms)
{
    for (int waited = 0;; waited += 5) {
        const pid_t ended = ::waitpid(pid, nullptr, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR))
            return true;
        if (waited >= ms)
            return false;
        ::usleep(5000);
    }
}

} // namespace

std::unique_ptr<KeptWorker> KeptWorker::start(const QString& program, const QProcessEnvironment& environment,
                                              QString* error)
{
    Pipe requests;
    Pipe answers;
    if (!requests.open() || !answers.open()) {
        if (error)
            *error = systemError("pipe", errno);
        requests.close();
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, requests.read, 0);
    posix_spawn_file_actions_adddup2(&actions, answers.write, 1);
    // The server's sockets and files are no business of the worker's.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    const QByteArray path = QFile::encodeName(program);
    const QByteArray serve = QByteArrayLiteral("--serve");
    char* argv[] = {const_cast<char*>(path.constData()), const_cast<char*>(serve.constData()), nullptr};
    std::vector<QByteArray> variables;
    for (const QString& variable : environment.toStringList())
        variables.push_back(variable.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    // The server blocks the signals that stop it (a thread of its own waits for them) and ignores
    // SIGPIPE; a worker starts with neither, so it can be stopped as any program.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, path.constData(), &actions, &attributes, argv, envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(requests.read);
    ::close(answers.write);
    if (spawned != 0) {
        if (error)
            *error = systemError("cannot start the search program", spawned);
        ::close(requests.write);
        ::close(answers.read);
        return nullptr;
    }
    return std::unique_ptr<KeptWorker>(new KeptWorker(pid, requests.write, answers.read));
}

KeptWorker::~KeptWorker()
{
    if (m_input >= 0)
        ::close(m_input);
    if (m_answers >= 0)
        ::close(m_answers);
    if (m_pid > 0 && !reaped(m_pid, 2000)) {
        ::kill(m_pid, SIGKILL);
        reaped(m_pid, 5000);
    }
}

void KeptWorker::kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    reaped(m_pid, 5000);
    m_pid = -1;
}

std::optional<QByteArray> KeptWorker::takeLine()
{
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0)
        return std::nullopt;
    const QByteArray line = m_pending.left(end);
    m_pending.remove(0, end + 1);
    return line;
}

KeptWorker::Answer KeptWorker::ask(const QByteArray& request, qint64 limitMs, const std::function<bool()>& tooLarge,
                                   int& exitCode)
{
    if (m_pid <= 0)
        return Answer::NotAsked;
    for (qsizetype done = 0; done < request.size();) {
        const ssize_t written = ::write(m_input, request.constData() + done, size_t(request.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // Gone while it was idle (killed from outside, out of memory): the search was never begun.
            kill();
            return Answer::NotAsked;
        }
        done += written;
    }
    ++m_searches;

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (const std::optional<QByteArray> line = takeLine()) {
            const std::optional<int> status = zq::tool::ParseServeAnswer(*line);
            if (!status) {
                kill();
                return Answer::Died;
            }
            exitCode = *status;
            return Answer::Exited;
        }
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0) {
            kill();
            return Answer::TimedOut;
        }
        if (tooLarge()) {
            kill();
            return Answer::TooLarge;
        }
        pollfd ready{m_answers, POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(std::min<qint64>(left, 20)));
        if (polled < 0 && errno != EINTR) {
            kill();
            return Answer::Died;
        }
        if (polled <= 0)
            continue;
        char buffer[256];
        const ssize_t got = ::read(m_answers, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            kill();
            return Answer::Died;
        }
        m_pending.append(buffer, got);
    }
}

std::unique_ptr<KeptWorker> KeptWorkers::take(QString* error)
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            std::unique_ptr<KeptWorker> worker = std::move(m_idle.back());
            m_idle.pop_back();
            return worker;
        }
    }
    return KeptWorker::start(m_program, m_environment, error);
}

void KeptWorkers::giveBack(std::unique_ptr<KeptWorker> worker)
{
    if (!worker || !worker->alive() || worker->searches() >= m_searchesAWorker)
        return;
    const std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(worker));
}

std::size_t KeptWorkers::idle()
{
    const std::lock_guard lock(m_mutex);
    return m_idle.size();
}

} // namespace zq::web
