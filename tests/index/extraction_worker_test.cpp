// Extraction in a worker process: a PDF whose forms draw each other for minutes is cut off at the
// file's deadline and the next file gets a new worker; a worker that runs out of memory or dies
// costs its file, not the run; the frames between the two sides hold any text.
#include "IndexTestKit.h"
#include "IndexWorker.h"
#include "WorkerFrames.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>

using namespace zq::extract;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

class Worker : public testing::Test {
protected:
    void SetUp() override
    {
        if (zq::test::IndexProgram().isEmpty())
            GTEST_SKIP() << "zqpdm-index is not built";
        ASSERT_TRUE(m_dir.isValid());
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // The readers' own time limit is far beyond the deadline unless given: the deadline is tried.
    static ExtractionWorker::Settings Settings(int deadlineMs, int memoryMb = 1024, int timeLimitMs = 0)
    {
        ExtractionWorker::Settings settings = zq::index::IndexWorkerSettings(zq::test::IndexProgram());
        settings.deadlineMs = deadlineMs;
        settings.memoryMb = memoryMb;
        settings.limits.timeLimitMs = timeLimitMs > 0 ? timeLimitMs : 100 * deadlineMs;
        return settings;
    }

    QTemporaryDir m_dir;
};

TEST_F(Worker, AFileThatNeverEndsIsCutOffAndTheNextFileGetsANewWorker)
{
    const QString endless = Write(QStringLiteral("endless.pdf"), zq::test::EndlessPdf());
    ASSERT_LT(QFile(endless).size(), 4096);
    const QString text = Write(QStringLiteral("after.txt"), QByteArray("读得到的文字 after"));
    ExtractionWorker worker(Settings(1500));

    QElapsedTimer clock;
    clock.start();
    const Extraction cut = worker.extract(endless);
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_FALSE(cut.ok);
    EXPECT_TRUE(cut.error.startsWith(QStringLiteral("提取超时"))) << str(cut.error);

    const Extraction next = worker.extract(text);
    EXPECT_TRUE(next.ok) << str(next.error);
    EXPECT_EQ(next.text, QStringLiteral("读得到的文字 after"));
    EXPECT_EQ(worker.workersStarted(), 2);
    // A worker that is fine stays for the files after it.
    EXPECT_TRUE(worker.extract(text).ok);
    EXPECT_EQ(worker.workersStarted(), 2);
}

TEST_F(Worker, APageTreeThatLoopsIsDamagedAndTheNextFileGetsANewWorker)
{
    // PDFium never finishes opening it and cannot be stopped: the reader tells so at its time
    // limit, before the deadline, and the worker that is left with PDFium busy ends.
    const QString looping = Write(QStringLiteral("looping.pdf"), zq::test::LoopingPdf());
    const QString text = Write(QStringLiteral("after.txt"), QByteArray("after the loop"));
    ExtractionWorker worker(Settings(20000, 1024, 1500));
    QElapsedTimer clock;
    clock.start();
    const Extraction damaged = worker.extract(looping);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(damaged.error, QStringLiteral("PDF 文件已损坏: 打开文件超过时间限制 1500 毫秒仍未完成 (页面树可能有循环)"));

    const Extraction next = worker.extract(text);
    EXPECT_TRUE(next.ok) << str(next.error);
    EXPECT_EQ(next.text, QStringLiteral("after the loop"));
    EXPECT_EQ(worker.workersStarted(), 2);
}

TEST_F(Worker, AWorkerOutOfMemoryCostsOnlyItsFile)
{
    // Little more than the program itself needs: the endless PDF runs into the limit long before
    // its deadline, whether the reader then fails an allocation or the worker dies of it.
    const QString endless = Write(QStringLiteral("endless.pdf"), zq::test::EndlessPdf());
    const QString text = Write(QStringLiteral("after.txt"), QByteArray("still read"));
    ExtractionWorker worker(Settings(60000, 160));
    QElapsedTimer clock;
    clock.start();
    const Extraction failed = worker.extract(endless);
    EXPECT_LT(clock.elapsed(), 50000);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.error.contains(QStringLiteral("内存")) || failed.error.contains(QStringLiteral("异常结束")))
        << str(failed.error);
    ExtractionWorker fresh(Settings(10000));
    const Extraction next = fresh.extract(text);
    EXPECT_TRUE(next.ok) << str(next.error);
}

TEST_F(Worker, AWorkerThatCannotStartOrDiesIsAFailureOfItsFileWithTheReason)
{
    const QString text = Write(QStringLiteral("a.txt"), QByteArray("x"));
    const struct {
        const char* program;
        const char* reason;
    } cases[] = {
        {"/nonexistent/zqpdm-index", "提取进程不能启动"},
        {"/bin/false", "提取进程异常结束"},
        {"/bin/true", "提取进程异常结束"},
    };
    for (const auto& c : cases) {
        ExtractionWorker::Settings settings = Settings(5000);
        settings.program = QString::fromLatin1(c.program);
        ExtractionWorker worker(settings);
        QElapsedTimer clock;
        clock.start();
        const Extraction result = worker.extract(text);
        EXPECT_FALSE(result.ok) << c.program;
        EXPECT_TRUE(result.error.startsWith(QString::fromUtf8(c.reason))) << c.program << ": " << str(result.error);
        EXPECT_LT(clock.elapsed(), 5000) << c.program;
    }
}

TEST_F(Worker, AReaderThatSpinsPastItsCpuTimeIsEndedBeforeTheDeadline)
{
    // The wall-clock deadline is a minute away; the CPU limit of the readers' one second (and one
    // more) ends the worker long before it.
    const QString endless = Write(QStringLiteral("endless.pdf"), zq::test::EndlessPdf());
    ExtractionWorker::Settings settings = Settings(60000);
    settings.limits.timeLimitMs = 1000;
    ExtractionWorker worker(settings);
    QElapsedTimer clock;
    clock.start();
    const Extraction ended = worker.extract(endless);
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_FALSE(ended.ok);
    EXPECT_TRUE(ended.error.contains(QStringLiteral("CPU"))) << str(ended.error);
}

TEST_F(Worker, AStopEndsTheFileUnderWayAtOnce)
{
    const QString endless = Write(QStringLiteral("endless.pdf"), zq::test::EndlessPdf());
    std::atomic<bool> stop{false};
    ExtractionWorker::Settings settings = Settings(60000);
    settings.stop = &stop;
    ExtractionWorker worker(settings);
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        stop = true;
    });
    QElapsedTimer clock;
    clock.start();
    const Extraction stopped = worker.extract(endless);
    stopper.join();
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_FALSE(stopped.ok);
    EXPECT_EQ(stopped.error, QStringLiteral("提取被要求停止"));
}

TEST(WorkerFrames, CarryAnyTextBothWays)
{
    Extraction sent;
    sent.ok = true;
    sent.truncated = true;
    sent.text = QStringLiteral("文字\n") + QString(QChar(0)) + QStringLiteral("\U0001F600") + QString(70000, u'长');
    sent.note = QStringLiteral("文本超过上限");
    sent.textless = true;
    Extraction got;
    bool last = false;
    ASSERT_TRUE(DecodeAnswer(EncodeAnswer(sent, true), &got, &last));
    EXPECT_EQ(got.text, sent.text);
    EXPECT_EQ(got.note, sent.note);
    EXPECT_TRUE(got.ok && got.truncated && got.textless && last);
    EXPECT_FALSE(DecodeAnswer(EncodeAnswer(sent, false).chopped(3), &got, &last));

    QString path;
    zq::extract::ExtractLimits limits;
    limits.maxReadBytes = 7;
    ASSERT_TRUE(DecodeRequest(EncodeRequest(QStringLiteral("/临时/a b.pdf"), limits), &path, &limits));
    EXPECT_EQ(path, QStringLiteral("/临时/a b.pdf"));
    EXPECT_EQ(limits.maxReadBytes, 7);
    EXPECT_EQ(Frame("abc").toHex(), QByteArray("00000003616263"));
}

} // namespace
