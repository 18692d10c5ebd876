// The server's kept worker processes, with a stand-in for zqpdm-search --serve (a shell script that
// answers each request line as the line asks), so each way a worker can end is shown on its own:
// answered, timed out, too large, died, gone while idle, worn out.
#include "KeptWorker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <signal.h>

namespace zq::web {
namespace {

class KeptWorkers : public testing::Test {
protected:
    void SetUp() override
    {
        std::signal(SIGPIPE, SIG_IGN);   // as the server does: a gone worker is an error, not the end
        ASSERT_TRUE(m_folder.isValid());
        QFile script(program());
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "[ \"$1\" = --serve ] || exit 9\n"
                     "echo $$ >> \"$PIDS\"\n"
                     "while read -r line; do\n"
                     "  case \"$line\" in\n"
                     "    *slow*) sleep 30 </dev/null >/dev/null 2>&1 ;;\n"
                     "    *big*) : > \"$BIG\"; sleep 30 </dev/null >/dev/null 2>&1 ;;\n"
                     "    *die*) exit 3 ;;\n"
                     "    *garble*) echo 'not an answer'; continue ;;\n"
                     "  esac\n"
                     "  case \"$line\" in *exit7*) echo '{\"exit\":7}' ;; *) echo '{\"exit\":0}' ;; esac\n"
                     "done\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }

    QString program() const { return m_folder.filePath(QStringLiteral("serve.sh")); }
    QString bigMarker() const { return m_folder.filePath(QStringLiteral("big")); }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PIDS"), m_folder.filePath(QStringLiteral("pids")));
        environment.insert(QStringLiteral("BIG"), bigMarker());
        return environment;
    }
    // The workers started so far, one process id a line.
    QList<QByteArray> started() const
    {
        QFile pids(m_folder.filePath(QStringLiteral("pids")));
        return pids.open(QIODevice::ReadOnly) ? pids.readAll().trimmed().split('\n') : QList<QByteArray>();
    }
    KeptWorker::Answer ask(KeptWorker& worker, const char* request, qint64 limitMs = 5000)
    {
        m_exit = -1;
        return worker.ask(QByteArray(request) + '\n', limitMs, [this] { return QFile::exists(bigMarker()); }, m_exit);
    }

    QTemporaryDir m_folder;
    int m_exit = -1;
};

TEST_F(KeptWorkers, EndEachWayAWorkerCanEnd)
{
    using Answer = KeptWorker::Answer;
    const struct {
        const char* request;
        Answer answer;
        int exit;
        bool alive;
    } cases[] = {
        {"plain", Answer::Exited, 0, true},     {"exit7", Answer::Exited, 7, true},
        {"slow", Answer::TimedOut, -1, false},  {"big", Answer::TooLarge, -1, false},
        {"die", Answer::Died, -1, false},       {"garble", Answer::Died, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        QFile::remove(bigMarker());
        const std::unique_ptr<KeptWorker> worker = KeptWorker::start(program(), environment());
        ASSERT_TRUE(worker);
        ASSERT_EQ(ask(*worker, "plain"), Answer::Exited);   // started and answering
        EXPECT_EQ(ask(*worker, c.request, 500), c.answer);
        EXPECT_EQ(m_exit, c.exit);
        EXPECT_EQ(worker->alive(), c.alive);
        EXPECT_EQ(worker->searches(), 2);
    }
}

TEST_F(KeptWorkers, KeepOneProcessForManySearchesUntilItWearsOut)
{
    zq::web::KeptWorkers pool(program(), environment(), 3);
    for (int i = 0; i < 7; ++i) {
        std::unique_ptr<KeptWorker> worker = pool.take();
        ASSERT_TRUE(worker);
        EXPECT_EQ(ask(*worker, "plain"), KeptWorker::Answer::Exited);
        pool.giveBack(std::move(worker));
    }
    // Three searches a worker: searches 1-3, 4-6 and 7.
    EXPECT_EQ(started().size(), 3);
    EXPECT_EQ(pool.idle(), 1u);
}

TEST_F(KeptWorkers, ReplaceOneThatIsKilledOrGoneWithoutSpoilingTheNextSearch)
{
    zq::web::KeptWorkers pool(program(), environment(), 100);
    std::unique_ptr<KeptWorker> worker = pool.take();
    ASSERT_EQ(ask(*worker, "slow", 200), KeptWorker::Answer::TimedOut);
    pool.giveBack(std::move(worker));
    EXPECT_EQ(pool.idle(), 0u);   // a killed worker does not go back

    worker = pool.take();
    ASSERT_EQ(ask(*worker, "plain"), KeptWorker::Answer::Exited);
    pool.giveBack(std::move(worker));
    // Killed from outside while idle: the next request never reached it, and says so.
    ASSERT_EQ(started().size(), 2);
    ::kill(started().last().toInt(), SIGKILL);
    QThread::msleep(100);
    worker = pool.take();
    EXPECT_EQ(ask(*worker, "plain"), KeptWorker::Answer::NotAsked);
    EXPECT_FALSE(worker->alive());
}

TEST_F(KeptWorkers, TellWhyAProgramCannotStart)
{
    QString why;
    EXPECT_FALSE(KeptWorker::start(m_folder.filePath(QStringLiteral("no-such-program")), environment(), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("No such file"))) << why.toStdString();
}

} // namespace
} // namespace zq::web
