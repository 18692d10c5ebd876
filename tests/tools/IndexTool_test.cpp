// zqpdm-index run as a user or a cron job runs it: its exit statuses, what it prints, and a store
// that cannot be reached; then zqpdm-search finding a word inside a stored file and opening the
// file from the hit.
#include "SearchToolFixture.h"

#include <QDirIterator>
#include <QTemporaryDir>

namespace {

using zq::test::SearchTool;
using zq::test::ToolRun;

class IndexTool : public SearchTool {
protected:
    void SetUp() override
    {
        SearchTool::SetUp();
        if (!IsSkipped() && !QFile::exists(indexProgram()))
            GTEST_SKIP() << "zqpdm-index is not built";
    }
};

TEST_F(IndexTool, UsageErrorsExitTwoAndSayWhatIsWrong)
{
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"--bogus", "unknown option --bogus"},
        {"--home", "--home needs a value"},
        {"--time-limit 0", "--time-limit must be a number of seconds from 1 to 86400, not \"0\""},
        {"--time-limit soon", "not \"soon\""},
        {"--quiet --quiet", "--quiet is given twice"},
        {"--retry-failed --retry-failed", "--retry-failed is given twice"},
    };
    for (const auto& c : cases) {
        const ToolRun r = runIndexer(QString::fromUtf8(c.arguments).split(u' '), {}, false);
        EXPECT_EQ(r.exitCode, 2) << c.arguments;
        EXPECT_TRUE(r.err.value(0).contains(QString::fromUtf8(c.message))) << c.arguments << ": " << r.dump();
        EXPECT_TRUE(r.err.value(1).startsWith(QStringLiteral("usage: zqpdm-index"))) << c.arguments;
    }
    const ToolRun help = runIndexer({QStringLiteral("--help")}, {}, false);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.value(0).startsWith(QStringLiteral("usage: zqpdm-index")));
}

TEST_F(IndexTool, AnUpToDateIndexIsLeftAsItIs)
{
    const ToolRun r = runIndexer({});
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    ASSERT_EQ(r.out.size(), 2) << r.dump();
    EXPECT_EQ(r.out.at(0).section(u';', 0, 0),
              QStringLiteral("zqpdm-index: 24 stored files: 0 added, 0 replaced, 0 removed, 24 unchanged, 0 failed"));
    EXPECT_EQ(r.out.at(1), QStringLiteral("  index: sqlite:%1/content-index.db (not changed)").arg(s_home->path()));
    // A run of a moment prints no progress when standard error is no terminal.
    EXPECT_EQ(r.err, QStringList());
    EXPECT_EQ(runIndexer({QStringLiteral("--quiet")}).output, QByteArray());
}

TEST_F(IndexTool, FilesTheStoreDoesNotGiveAreListedWithTheStoresReasonAndExitOne)
{
    QTemporaryDir scratch;
    const QString index = QStringLiteral("sqlite:") + scratch.filePath(QStringLiteral("ci.db"));
    // The design documents are in the file store, which is down; the resource files are in the database.
    const ToolRun r = runIndexer({QStringLiteral("--index"), index}, {QStringLiteral("ZQPDM_FTP=ftp://127.0.0.1:1/pdm")});
    EXPECT_EQ(r.exitCode, 1) << r.dump();
    EXPECT_TRUE(r.out.value(0).startsWith(
        QStringLiteral("zqpdm-index: 24 stored files: 18 added, 0 replaced, 0 removed, 0 unchanged, 6 failed;")))
        << r.out.join(u'\n').toStdString();
    const qsizetype listed = r.errIndex(QStringLiteral("zqpdm-index: 6 files could not be indexed:"));
    ASSERT_GE(listed, 0) << r.dump();
    EXPECT_EQ(r.err.size(), listed + 7) << r.dump();
    EXPECT_TRUE(r.err.contains(QStringLiteral("  Documents ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf: Failed to connect to "
                                              "127.0.0.1 port 1 after 0 ms: Couldn't connect to server")) ||
                r.err.join(u'\n').contains(QStringLiteral("ZQ8700技术条件.pdf: Failed to connect to 127.0.0.1 port 1")))
        << r.dump();
    // Drawings and older Office files are indexed by name and description, without the store.
    EXPECT_FALSE(r.err.join(u'\n').contains(QStringLiteral(".dwg:"))) << r.dump();
    // A store that is down says nothing of the files: they are tried again, not remembered.
    const ToolRun again = runIndexer({QStringLiteral("--index"), index}, {QStringLiteral("ZQPDM_FTP=ftp://127.0.0.1:1/pdm")});
    EXPECT_EQ(again.exitCode, 1) << again.dump();
    EXPECT_TRUE(again.out.value(0).contains(QStringLiteral(" 18 unchanged, 6 failed;"))) << again.dump();
    EXPECT_FALSE(again.out.value(0).contains(QStringLiteral("known"))) << again.dump();
}

// A damaged file is listed as failed once; later runs list it as a known failure, with a count,
// and exit 0 until --retry-failed reads it again.
TEST_F(IndexTool, AFileThatFailedIsAKnownFailureOnTheNextRuns)
{
    QTemporaryDir scratch;
    const QString store = scratch.filePath(QStringLiteral("store"));
    const QString from = s_home->path() + QStringLiteral("/ftpstore");
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString copy = store + path.mid(from.size());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).path()));
        ASSERT_TRUE(QFile::copy(path, copy)) << path.toStdString();
    }
    const QString damaged = store + QStringLiteral("/Zq/Proven/ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf");
    ASSERT_TRUE(QFile::remove(damaged));
    QFile garbage(damaged);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a PDF\n");
    garbage.close();
    const QStringList arguments{QStringLiteral("--index"), QStringLiteral("sqlite:") + scratch.filePath(QStringLiteral("ci.db"))};
    const QStringList environment{QStringLiteral("ZQPDM_FTP=file://") + store};
    const QString listed = QStringLiteral("  Documents ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf: PDF 文件已损坏");

    const ToolRun first = runIndexer(arguments, environment);
    EXPECT_EQ(first.exitCode, 1) << first.dump();
    EXPECT_GE(first.errIndex(QStringLiteral("zqpdm-index: 1 file could not be indexed:")), 0) << first.dump();
    EXPECT_FALSE(first.out.value(0).contains(QStringLiteral("known"))) << first.dump();

    for (const char* run : {"second", "third"}) {
        const ToolRun again = runIndexer(arguments, environment);
        EXPECT_EQ(again.exitCode, 0) << run << ": " << again.dump();
        EXPECT_TRUE(again.out.value(0).startsWith(
            QStringLiteral("zqpdm-index: 24 stored files: 0 added, 0 replaced, 0 removed, 23 unchanged, 0 failed; 0.0 MB read")))
            << run << ": " << again.dump();
        EXPECT_TRUE(again.out.value(0).endsWith(QStringLiteral(" s; 1 known failure not tried again"))) << run << ": " << again.dump();
        const qsizetype header = again.errIndex(QStringLiteral("zqpdm-index: 1 known failure was not tried again (unchanged since "
                                                               "it failed; --retry-failed tries again):"));
        ASSERT_GE(header, 0) << run << ": " << again.dump();
        EXPECT_TRUE(again.err.value(header + 1).startsWith(listed)) << run << ": " << again.dump();
        EXPECT_FALSE(again.err.join(u'\n').contains(QStringLiteral("could not be indexed"))) << run << ": " << again.dump();
    }

    const ToolRun retried = runIndexer(arguments + QStringList{QStringLiteral("--retry-failed")}, environment);
    EXPECT_EQ(retried.exitCode, 1) << retried.dump();
    const qsizetype failed = retried.errIndex(QStringLiteral("zqpdm-index: 1 file could not be indexed:"));
    ASSERT_GE(failed, 0) << retried.dump();
    EXPECT_TRUE(retried.err.value(failed + 1).startsWith(listed)) << retried.dump();
}

TEST_F(IndexTool, WithoutAnInstallationItSaysHowToNameOne)
{
    QTemporaryDir empty;
    const ToolRun r = runIndexer({}, {QStringLiteral("ZQPDM_HOME=") + empty.path()}, false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.value(0).startsWith(QStringLiteral("zqpdm-index: cannot connect to the database"))) << r.dump();
}

TEST_F(IndexTool, AWordInsideAStoredFileIsFoundAndTheFileOpensFromTheHit)
{
    const ToolRun r = run({QStringLiteral("--page"), QStringLiteral("文档内容"), QStringLiteral("--set"),
                           QStringLiteral("内容包含=空载跑合试验"), QStringLiteral("--dblclick"), QStringLiteral("0"),
                           QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    ASSERT_EQ(r.out.size(), 2) << r.dump();
    EXPECT_EQ(r.out.at(0), QStringLiteral("文件说明,文件名称,类型,日期,片段\r"));
    EXPECT_TRUE(r.out.at(1).startsWith(QStringLiteral("减速器技术条件,ZQ8600减速器技术条件.docx,设计文档,"))) << r.dump();
    EXPECT_TRUE(r.out.at(1).contains(QStringLiteral("空载跑合试验")));
    EXPECT_EQ(r.errStartingWith(QStringLiteral("OPEN\t")),
              QStringList{QStringLiteral("OPEN\t") + privateTempFolder() + QStringLiteral("/ZQ8600减速器技术条件.docx")}) << r.dump();
}

} // namespace
