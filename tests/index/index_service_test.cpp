// zqpdm-index run as a service runs it, the index on SQLite or on PostgreSQL: a second run while
// one is at work does nothing, or waits with --wait; two runs started together lose no file and
// fail on nothing; a run stopped by SIGINT or SIGTERM, or killed outright, leaves no worker, no
// fetched copy (the next run sweeps up after a killed one) and an index the next run builds on;
// --time-limit N cuts a file at N seconds; a stored file larger than the read limit is not
// fetched whole; the index file is readable by no more users than the PDM database file.
#include "IndexRunLock.h"
#include "IndexTestKit.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <csignal>
#include <optional>
#include <sys/stat.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

// The processes whose parent is pid.
QList<qint64> ChildrenOf(qint64 pid)
{
    QList<qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces, so the fields after its ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            children.append(child);
    }
    return children;
}

// Alive and not a zombie waiting to be reaped.
bool Running(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype after = line.lastIndexOf(')') + 2;
    return after < line.size() && line.at(after) != 'Z' && line.at(after) != 'X';
}

// What SQLite's integrity check says of a database file: "ok" when nothing is wrong.
QString IntegrityOf(const QString& file)
{
    QString verdict;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("integrity"));
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
                verdict = query.lastError().text();
            while (query.next())
                verdict += query.value(0).toString();
        } else {
            verdict = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("integrity"));
    return verdict;
}

bool WaitFor(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

class IndexService : public test::IndexTest {
protected:
    void SetUp() override
    {
        IndexTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_indexFile = onPostgres() ? QString() : indexUrl.mid(7);
    }
    // The program on this installation and index, started; its arguments before --index.
    std::unique_ptr<QProcess> Start(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->start(test::IndexProgram(), arguments + QStringList{QStringLiteral("--index"), indexUrl});
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }
    using Ended = test::ProgramRun;
    static Ended Finish(QProcess& process, int ms = 60000) { return test::FinishProgram(process, ms); }
    Ended Run(const QStringList& arguments) { return Finish(*Start(arguments)); }
    // The folder a run fetches into, below the private temporary folder it shares with the test.
    static QString FetchFolderOf(qint64 pid) { return TempFolder() + QStringLiteral("zqpdm-index-%1").arg(pid); }
    // A run busy with the PDF that never ends, its copy fetched and its worker reading it.
    std::unique_ptr<QProcess> StartOnEndlessFile(qint64* worker)
    {
        auto process = Start({QStringLiteral("--time-limit"), QStringLiteral("120")});
        const QString copy = FetchFolderOf(process->processId()) + QStringLiteral("/endless.pdf");
        EXPECT_TRUE(WaitFor([&] { return QFile::exists(copy); }, 60000)) << "the run never fetched the endless file";
        const QList<qint64> workers = ChildrenOf(process->processId());
        EXPECT_EQ(workers.size(), 1);
        *worker = workers.value(0, -1);
        return process;
    }
    // The index as the next run finds it: sound, and a run with the endless file gone finishes.
    void ExpectTheIndexToCarryOn()
    {
        if (!onPostgres()) {
            EXPECT_EQ(IntegrityOf(m_indexFile), QStringLiteral("ok"));
        }
        ASSERT_EQ(PdmSql(QStringLiteral("DELETE FROM Documents WHERE FileName = ?"), {QStringLiteral("endless.pdf")}),
                  QString());
        const Ended next = Run({});
        EXPECT_EQ(next.exitCode, 0) << str(next.err);
        EXPECT_EQ(Find(QStringLiteral("氟橡胶密封圈")), QStringList{QStringLiteral("ZQ8700技术条件.pdf")});
        EXPECT_EQ(Find(QStringLiteral("镀锌钝化")), QStringList{QStringLiteral("ZQ8600标准件清单.csv")});
    }
    bool IndexWasTouched() const
    {
        if (!onPostgres())
            return QFileInfo::exists(m_indexFile);
        return test::ExecSql(indexUrl, QStringLiteral("SELECT 1 FROM ContentIndexInfo")).isEmpty();
    }

    QString m_indexFile;
};

TEST_P(IndexService, ASecondRunWhileOneIsAtWorkDoesNothingOrWaitsForIt)
{
    auto lock = std::make_unique<index::IndexRunLock>(indexUrl);
    QString error;
    ASSERT_EQ(lock->tryTake(&error), index::IndexRunLock::State::Held) << str(error);

    const Ended refused = Run({});
    EXPECT_EQ(refused.exitCode, 0) << str(refused.err);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("another indexing run is in progress"))) << str(refused.err);
    EXPECT_EQ(refused.out, QString());
    EXPECT_FALSE(IndexWasTouched());

    auto waiting = Start({QStringLiteral("--wait")});
    QString said;
    EXPECT_TRUE(WaitFor([&] {
        waiting->waitForReadyRead(50);
        said += QString::fromUtf8(waiting->readAllStandardError());
        return said.contains(QStringLiteral("waiting for it to end"));
    }, 20000)) << str(said);
    QThread::msleep(700);
    EXPECT_EQ(waiting->state(), QProcess::Running);
    lock.reset();
    const Ended waited = Finish(*waiting);
    EXPECT_EQ(waited.exitCode, 0) << str(said + waited.err);
    EXPECT_TRUE(waited.out.contains(QStringLiteral("24 added"))) << str(waited.out);
    EXPECT_EQ(Find(QStringLiteral("空载跑合试验")), QStringList{QStringLiteral("ZQ8600减速器技术条件.docx")});
}

// Runs one after another, as a script or a schedule makes them, each find the lock free: giving it
// back must not wait for the server to notice that the holder's session has gone.
TEST_P(IndexService, ALockGivenBackIsFreeAtOnceForTheNextRun)
{
    using State = index::IndexRunLock::State;
    for (int turn = 0; turn < 60; ++turn) {
        QString error;
        std::optional<index::IndexRunLock> held(std::in_place, indexUrl);
        ASSERT_EQ(held->tryTake(&error), State::Held) << turn << ' ' << str(error);
        ASSERT_EQ(index::IndexRunLock(indexUrl).tryTake(&error), State::Busy) << turn << ' ' << str(error);
        held.reset();
        // Held, and given back as the line ends: the next turn takes it again.
        ASSERT_EQ(index::IndexRunLock(indexUrl).tryTake(&error), State::Held) << turn << ' ' << str(error);
    }
}

TEST_P(IndexService, TwoRunsStartedTogetherLoseNoFileAndFailOnNothing)
{
    AddDocument(QStringLiteral("ZQ8600-08"), QStringLiteral("endless.pdf"), QStringLiteral("读不完的图纸"), test::EndlessPdf());
    auto first = Start({QStringLiteral("--time-limit"), QStringLiteral("4")});
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(FetchFolderOf(first->processId()) + QStringLiteral("/endless.pdf")); },
                        60000));
    const Ended second = Run({});
    const Ended firstEnded = Finish(*first);
    EXPECT_EQ(second.exitCode, 0) << str(second.err);
    EXPECT_TRUE(second.err.contains(QStringLiteral("another indexing run is in progress"))) << str(second.err);
    EXPECT_EQ(firstEnded.exitCode, 1) << str(firstEnded.err);
    EXPECT_TRUE(firstEnded.out.contains(QStringLiteral("25 stored files: 24 added"))) << str(firstEnded.out);
    // PDFium on that file reaches the time limit or the worker's memory limit first, as the machine goes.
    EXPECT_TRUE(firstEnded.err.contains(QStringLiteral("endless.pdf: 提取超时")) ||
                firstEnded.err.contains(QStringLiteral("endless.pdf: 提取进程异常结束")))
        << str(firstEnded.err);
    for (const QString& output : {second.err, firstEnded.err})
        EXPECT_FALSE(output.contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive)) << str(output);
    EXPECT_EQ(Find(QStringLiteral("读不完的图纸")), QStringList{QStringLiteral("endless.pdf")});
}

TEST_P(IndexService, AStoppedRunEndsItsWorkerRemovesItsCopyAndKeepsTheIndexSound)
{
    AddDocument(QStringLiteral("ZQ8600-08"), QStringLiteral("endless.pdf"), QStringLiteral("读不完的图纸"), test::EndlessPdf());
    const struct {
        int signal;
        int exitCode;
        const char* said;
    } cases[] = {
        {SIGTERM, 143, "stopped by SIGTERM"},
        {SIGINT, 130, "stopped by SIGINT"},
    };
    for (const auto& c : cases) {
        qint64 worker = -1;
        auto run = StartOnEndlessFile(&worker);
        ASSERT_GT(worker, 0);
        const qint64 pid = run->processId();
        ::kill(pid_t(pid), c.signal);
        const Ended stopped = Finish(*run, 20000);
        EXPECT_EQ(stopped.exitCode, c.exitCode) << c.said << ": " << str(stopped.err);
        EXPECT_TRUE(stopped.err.contains(QString::fromLatin1(c.said))) << str(stopped.err);
        EXPECT_FALSE(Running(worker)) << c.said;
        EXPECT_FALSE(QFileInfo::exists(FetchFolderOf(pid))) << c.said;
    }
    ExpectTheIndexToCarryOn();
}

TEST_P(IndexService, AKilledRunLeavesNoWorkerAndTheNextRunSweepsUpItsCopy)
{
    AddDocument(QStringLiteral("ZQ8600-08"), QStringLiteral("endless.pdf"), QStringLiteral("读不完的图纸"), test::EndlessPdf());
    qint64 worker = -1;
    auto run = StartOnEndlessFile(&worker);
    ASSERT_GT(worker, 0);
    const qint64 pid = run->processId();
    run->kill();
    run->waitForFinished(10000);
    EXPECT_TRUE(WaitFor([&] { return !Running(worker); }, 10000)) << "the worker outlived its indexer";
    // What a killed process could not clean up goes with the next run.
    EXPECT_TRUE(QFileInfo::exists(FetchFolderOf(pid)));
    ExpectTheIndexToCarryOn();
    EXPECT_FALSE(QFileInfo::exists(FetchFolderOf(pid)));
}

TEST_P(IndexService, ATimeLimitOfNSecondsCutsAFileAtNSeconds)
{
    AddDocument(QStringLiteral("ZQ8600-08"), QStringLiteral("endless.pdf"), QStringLiteral("读不完的图纸"), test::EndlessPdf());
    QElapsedTimer clock;
    clock.start();
    const Ended run = Run({QStringLiteral("--time-limit"), QStringLiteral("2")});
    EXPECT_EQ(run.exitCode, 1);
    // Cut by the deadline, or, when its reader spins on several threads on a busy machine, by the
    // CPU time the same limit gives it a moment sooner: either way within seconds, not the default 30.
    EXPECT_TRUE(run.err.contains(QStringLiteral("endless.pdf: 提取超时 (超过 2 秒), 已中止"))
                || run.err.contains(QStringLiteral("endless.pdf: 提取进程异常结束")))
        << str(run.err);
    EXPECT_LT(clock.elapsed(), 15000);
}

// The readers take at most 1 MB here: a PDF larger than that is not fetched at all, a text only as
// far as its reader goes, from the store and from the database alike.
TEST_P(IndexService, AFileLargerThanTheReadLimitIsNotFetchedWhole)
{
    constexpr qint64 kLimit = 1024 * 1024;
    QByteArray text = QByteArray("开头的字句 ").repeated(int(kLimit / 16));
    text += QByteArray("超出上限之后的字句");
    text += QByteArray(int(2 * kLimit - text.size()), ' ');
    QByteArray pdf = test::EndlessPdf();
    pdf.insert(pdf.indexOf("xref"), QByteArray(int(2 * kLimit), ' '));
    AddDocument(QStringLiteral("ZQ8600-08"), QStringLiteral("长文本.txt"), QStringLiteral("很长的文本"), text);
    AddDocument(QStringLiteral("ZQ8600-09"), QStringLiteral("大图纸.pdf"), QStringLiteral("很大的图纸"), pdf);
    const QString resource = QStringLiteral("INSERT INTO EngineerViewDoc (ItemCode, DocType, FileName, FileBulk, FileType, "
                                            "FileDate, DocRemark, DocSaved, DocContent) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    ASSERT_EQ(PdmSql(resource, {QStringLiteral("R-BIG-01"), QStringLiteral("长资料"), QStringLiteral("长资料.txt"), 2048,
                                QStringLiteral("文本"), QStringLiteral("2026-12-01 10:00:00"), QString(), 1, text}),
              QString());
    ASSERT_EQ(PdmSql(resource, {QStringLiteral("R-BIG-02"), QStringLiteral("大样本"), QStringLiteral("大样本.pdf"), 2048,
                                QStringLiteral("PDF"), QStringLiteral("2026-12-01 10:00:00"), QString(), 1, pdf}),
              QString());

    index::IndexRunOptions options = test::IndexOptions(indexUrl);
    options.worker.limits.maxReadBytes = kLimit;
    const index::IndexRunReport report = index::ContentIndexer(options).run();
    QStringList failures;
    for (const index::FileFailure& failure : report.failures)
        failures.append(failure.file + QStringLiteral(": ") + failure.reason);
    const QString listed = failures.join(u'\n');
    ASSERT_EQ(report.failures.size(), 2) << str(listed);
    EXPECT_TRUE(listed.contains(QStringLiteral("大图纸.pdf: 文件有 %1 字节, 超过 %2 字节的读取上限, 没有取出")
                                    .arg(QFile(home().storeDir() + QStringLiteral("/Zq/Proven/ZQ8600/ZQ8600-09/A/大图纸.pdf")).size())
                                    .arg(kLimit)))
        << str(listed);
    EXPECT_TRUE(listed.contains(QStringLiteral("大样本.pdf: 文件有 %1 字节, 超过 %2 字节的读取上限, 没有取出").arg(pdf.size()).arg(kLimit)))
        << str(listed);
    // Of every other file all of it, of the two long texts their first megabyte and a byte.
    qint64 others = 0;
    for (const QString& path : {QStringLiteral("Zq/Proven/ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf"),
                                QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-00-01/A/O型圈选型.txt"),
                                QStringLiteral("Zq/Resource/R-DJ-01/Y系列电机样本.pdf"),
                                QStringLiteral("Zq/Resource/R-ZC-01/深沟球轴承选型手册.pdf"),
                                QStringLiteral("Zq/Resource/R-BZ-01/GB5783螺栓标准.txt"),
                                QStringLiteral("Zq/Proven/ZQ8600/ZQ8600-01-01/A/ZQ8600-01-01.dxf"),
                                QStringLiteral("Zq/Proven/ZQ8600/ZQ8600/A/ZQ8600减速器技术条件.docx"),
                                QStringLiteral("Zq/Proven/ZQ8600/ZQ8600/A/ZQ8600零件明细.xlsx"),
                                QStringLiteral("Zq/Proven/ZQ8600/ZQ8600/A/ZQ8600标准件清单.csv")})
        others += QFileInfo(home().storeDir() + u'/' + path).size();
    EXPECT_EQ(report.bytesRead, others + 2 * (kLimit + 1));
    EXPECT_EQ(Find(QStringLiteral("开头的字句")), (QStringList{QStringLiteral("长文本.txt"), QStringLiteral("长资料.txt")}));
    EXPECT_EQ(Find(QStringLiteral("超出上限之后")), QStringList());
    // Too large stays too large: the next run fetches neither again (from the store or as a blob).
    const index::IndexRunReport next = index::ContentIndexer(options).run();
    EXPECT_TRUE(next.upToDate()) << str(next.fatal);
    EXPECT_EQ(next.knownFailures.size(), 2);
    EXPECT_EQ(next.bytesRead, 0);
}

TEST_P(IndexService, TheIndexFileIsReadableByNoMoreUsersThanTheDatabaseFile)
{
    if (onPostgres())
        GTEST_SKIP() << "an index on a PostgreSQL server has no file";
    const QString database = home().path(QStringLiteral("pdm.db"));
    const auto mode = [](const QString& path) {
        struct stat info {};
        ::stat(QFile::encodeName(path).constData(), &info);
        return int(info.st_mode & 0777);
    };
    const auto setMode = [](const QString& path, int value) { ::chmod(QFile::encodeName(path).constData(), mode_t(value)); };
    const struct {
        int database;
        int indexBefore;   // 0: no index yet
        int indexAfter;
    } cases[] = {
        {0640, 0, 0640},      // a new index: the database file's permissions
        {0600, 0, 0600},
        {0600, 0644, 0600},   // an existing one: narrowed to the database file's
        {0644, 0600, 0600},   // never widened
        {0664, 0644, 0644},
    };
    for (const auto& c : cases) {
        setMode(database, c.database);
        if (c.indexBefore == 0) {
            for (const QString& file : {m_indexFile, m_indexFile + QStringLiteral(".lock")})
                QFile::remove(file);
        } else {
            setMode(m_indexFile, c.indexBefore);
        }
        const index::IndexRunReport report = index::ContentIndexer(test::IndexOptions(indexUrl)).run();
        EXPECT_TRUE(report.upToDate()) << str(report.fatal);
        EXPECT_EQ(mode(m_indexFile), c.indexAfter) << std::oct << c.database << " " << c.indexBefore;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, IndexService, testing::ValuesIn(test::IndexEngines()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

} // namespace
