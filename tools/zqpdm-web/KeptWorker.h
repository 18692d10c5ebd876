#pragma once
// A zqpdm-search --serve process kept from one search to the next, so a search costs the search
// and not the start of a program (Qt, the libraries, the pages' resources). One thread uses a
// worker at a time; KeptWorkers hands them out. A worker that runs past its time or writes past
// its limit is killed, and a fresh one takes its place at the next search.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace zq::web {

class KeptWorker {
public:
    // Starts PROGRAM --serve with ENVIRONMENT; null (and why in ERROR) when it cannot be started.
    static std::unique_ptr<KeptWorker> start(const QString& program, const QProcessEnvironment& environment,
                                             QString* error = nullptr);
    ~KeptWorker();   // its input closed, the worker ends; one that does not is killed
    KeptWorker(const KeptWorker&) = delete;
    KeptWorker& operator=(const KeptWorker&) = delete;

    enum class Answer {
        Exited,     // the search ended; its exit status is in exitCode (its output may still be too large)
        NotAsked,   // the worker had gone before the request reached it: ask another
        TimedOut,   // killed at the limit
        TooLarge,   // killed while at work: tooLarge() said so
        Died,       // ended in the middle of the search
    };
    // Sends REQUEST (one line) and waits for the answer, at most LIMITMS; TOOLARGE is asked every
    // few milliseconds while it waits.
    Answer ask(const QByteArray& request, qint64 limitMs, const std::function<bool()>& tooLarge, int& exitCode);

    bool alive() const { return m_pid > 0; }
    int searches() const { return m_searches; }

private:
    KeptWorker(pid_t pid, int input, int answers) : m_pid(pid), m_input(input), m_answers(answers) {}
    void kill();
    // Reads what has come; the answer line once it is whole.
    std::optional<QByteArray> takeLine();

    pid_t m_pid;
    int m_input;
    int m_answers;
    QByteArray m_pending;
    int m_searches = 0;
};

// The idle kept workers. A worker goes back after its search unless it was killed or has served
// `searchesAWorker` searches (a fresh process then keeps the memory a long life gathers in check).
class KeptWorkers {
public:
    KeptWorkers(QString program, QProcessEnvironment environment, int searchesAWorker)
        : m_program(std::move(program)), m_environment(std::move(environment)), m_searchesAWorker(searchesAWorker) {}

    // An idle worker, or a new one; null (and why in ERROR) when none could be started.
    std::unique_ptr<KeptWorker> take(QString* error = nullptr);
    void giveBack(std::unique_ptr<KeptWorker> worker);
    // Idle workers now.
    std::size_t idle();

private:
    QString m_program;
    QProcessEnvironment m_environment;
    int m_searchesAWorker;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<KeptWorker>> m_idle;
};

} // namespace zq::web
