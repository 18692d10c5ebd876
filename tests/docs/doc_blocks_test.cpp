// The figures a run measures are written by the run into marked blocks of the docs
// (<!-- NAME:begin --> ... <!-- NAME:end -->): docs/update-block.sh puts a block's new text in place,
// docs/record-figures.sh makes the text for ./zq test --update-docs and ./zq bench --update-docs.
// Every block they write is in its document, once.
#include "DocSources.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool Write(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

zq::docs::ProgramRun RunWithInput(const QString& program, const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    zq::docs::ProgramRun run;
    if (process.waitForFinished(60000)) {
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
    }
    return run;
}

class DocBlocks : public testing::Test {
protected:
    void SetUp() override
    {
        m_source = qEnvironmentVariable("ZQ_SOURCE_DIR");
        if (m_source.isEmpty())
            GTEST_SKIP() << "ZQ_SOURCE_DIR is not set (run through ctest)";
        ASSERT_TRUE(m_scratch.isValid());
    }
    QString m_source;
    QTemporaryDir m_scratch;
};

TEST_F(DocBlocks, UpdateBlockReplacesOnlyWhatStandsBetweenItsMarkers)
{
    struct Case {
        const char* name;
        QByteArray before;
        int exitCode;
        QByteArray after;   // the file afterwards
    };
    const QByteArray input = "new 1\nnew 2\n";
    const Case cases[] = {
        {"a block with old text", "a\n<!-- x:begin -->\nold\n<!-- x:end -->\nb\n", 0,
         "a\n<!-- x:begin -->\nnew 1\nnew 2\n<!-- x:end -->\nb\n"},
        {"an empty block", "<!-- x:begin -->\n<!-- x:end -->\n", 0, "<!-- x:begin -->\nnew 1\nnew 2\n<!-- x:end -->\n"},
        {"another block stays", "<!-- y:begin -->\nkept\n<!-- y:end -->\n<!-- x:begin -->\n<!-- x:end -->\n", 0,
         "<!-- y:begin -->\nkept\n<!-- y:end -->\n<!-- x:begin -->\nnew 1\nnew 2\n<!-- x:end -->\n"},
        {"no end marker", "<!-- x:begin -->\nold\n", 1, "<!-- x:begin -->\nold\n"},
        {"the markers twice", "<!-- x:begin -->\n<!-- x:end -->\n<!-- x:begin -->\n<!-- x:end -->\n", 1,
         "<!-- x:begin -->\n<!-- x:end -->\n<!-- x:begin -->\n<!-- x:end -->\n"},
        {"the markers the wrong way round", "<!-- x:end -->\n<!-- x:begin -->\n", 1, "<!-- x:end -->\n<!-- x:begin -->\n"},
        {"a marker inside a line is text", "see <!-- x:begin --> here\n", 1, "see <!-- x:begin --> here\n"},
    };
    const QString file = m_scratch.filePath(QStringLiteral("doc.md"));
    for (const Case& c : cases) {
        ASSERT_TRUE(Write(file, c.before));
        const zq::docs::ProgramRun run =
            RunWithInput(m_source + QStringLiteral("/docs/update-block.sh"), {file, QStringLiteral("x")}, input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << "\n" << run.dump();
        EXPECT_EQ(Read(file), c.after) << c.name;
    }
    EXPECT_TRUE(QDir(m_scratch.path()).entryList({QStringLiteral(".update-block.*")}, QDir::Hidden | QDir::Files).isEmpty())
        << "a temporary file was left beside the document";
}

TEST_F(DocBlocks, EveryBlockTheWritersFillIsInItsDocumentOnce)
{
    // "$UPDATE" "$ROOT/docs/performance.md" zq:bench, and the screenshots' "$README" tabs.
    const QString writer = zq::docs::ReadText(m_source + QStringLiteral("/docs/record-figures.sh"));
    static const QRegularExpression call(QStringLiteral("\"\\$UPDATE\" \"\\$ROOT/([^\"]+)\" ([a-z:-]+)"));
    QList<std::pair<QString, QString>> blocks = {{QStringLiteral("README.md"), QStringLiteral("tabs")}};
    for (auto it = call.globalMatch(writer); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        blocks.append({match.captured(1), match.captured(2)});
    }
    EXPECT_GE(blocks.size(), 6) << "the calls of docs/record-figures.sh were not found";
    for (const auto& [document, name] : blocks) {
        const QStringList lines = zq::docs::ReadText(m_source + u'/' + document).split(u'\n');
        const qsizetype begin = lines.indexOf(QStringLiteral("<!-- %1:begin -->").arg(name));
        const qsizetype end = lines.indexOf(QStringLiteral("<!-- %1:end -->").arg(name));
        EXPECT_TRUE(begin >= 0 && end > begin) << document.toStdString() << " has no block " << name.toStdString();
        EXPECT_EQ(lines.count(QStringLiteral("<!-- %1:begin -->").arg(name)), 1) << document.toStdString() << ": " << name.toStdString();
    }
}

// ./zq test --update-docs, on a build of two test programs and two fuzz runs: the README's
// paragraph and the record of docs/reliability.md carry the run's figures, the date and the cores.
TEST_F(DocBlocks, TheTestRecordCarriesTheRunsFiguresTheDateAndTheCores)
{
    const QString root = m_scratch.filePath(QStringLiteral("checkout"));
    for (const char* file : {"docs/update-block.sh", "docs/record-figures.sh", "tests/skipped-tests.sh"})
        ASSERT_TRUE(Write(root + u'/' + QLatin1String(file), Read(m_source + u'/' + QLatin1String(file)), true));
    ASSERT_TRUE(Write(root + QStringLiteral("/README.md"), "Intro.\n<!-- zq:test-times:begin -->\nold\n<!-- zq:test-times:end -->\nEnd.\n"));
    ASSERT_TRUE(Write(root + QStringLiteral("/docs/reliability.md"),
                      "<!-- zq:test-record:begin -->\n<!-- zq:test-record:end -->\n"));

    const QString build = m_scratch.filePath(QStringLiteral("build"));
    ASSERT_TRUE(Write(build + QStringLiteral("/zq-ctest.log"),
                      "100% tests passed, 0 tests failed out of 88\n\nThe following tests did not run:\n"
                      "\t 86 - packaging_lintian (Skipped)\n"));
    // The log of that run: the skipped CTest test's reason, and a test case skipped inside a test.
    ASSERT_TRUE(Write(build + QStringLiteral("/Testing/Temporary/LastTest.log"),
                      "86/88 Test: packaging_lintian\nOutput:\n----\nlintian is not installed\n<end of output>\n"
                      "3/88 Test: dbconnect_engines_test\nOutput:\n----\n[ RUN      ] E/T.R/sqlite\nx.cpp:1: Skipped\n"
                      "SQLite has no sessions\n[  SKIPPED ] E/T.R/sqlite (0 ms)\n<end of output>\n"));
    ASSERT_TRUE(Write(build + QStringLiteral("/bin/a_tests"), "#!/bin/sh\nprintf 'A.\\n  One\\n  Two\\n'\n", true));
    ASSERT_TRUE(Write(build + QStringLiteral("/bin/b_tests"), "#!/bin/sh\nprintf 'B.\\n  Three\\n'\n", true));
    const QString fuzz = m_scratch.filePath(QStringLiteral("build-fuzz"));
    ASSERT_TRUE(Write(fuzz + QStringLiteral("/fuzz-logs/sql.log"),
                      "INFO: x\nstat::number_of_executed_units: 21662\nstat::average_exec_per_sec:     1080\n"
                      "zq-fuzz: statements 21662\n"));
    ASSERT_TRUE(Write(fuzz + QStringLiteral("/fuzz-logs/gbk.log"), "stat::number_of_executed_units: 153380\n"));

    const zq::docs::ProgramRun run = zq::docs::RunProgram(
        root + QStringLiteral("/docs/record-figures.sh"),
        {QStringLiteral("test"), build, fuzz, QStringLiteral("fresh=1"), QStringLiteral("build=173"),
         QStringLiteral("fuzz_build=65"), QStringLiteral("tests=86"), QStringLiteral("fuzz=40")});
    ASSERT_EQ(run.exitCode, 0) << run.dump();

    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString cores = QString::number(QThread::idealThreadCount());
    const QString readme = QString::fromUtf8(Read(root + QStringLiteral("/README.md")));
    EXPECT_TRUE(readme.startsWith(QStringLiteral("Intro.\n<!-- zq:test-times:begin -->\nMeasured by `./zq test --update-docs` (") +
                                  today + QStringLiteral(", ") + cores + QStringLiteral(" cores")))
        << readme.toStdString();
    EXPECT_TRUE(readme.endsWith(QStringLiteral("<!-- zq:test-times:end -->\nEnd.\n"))) << readme.toStdString();
    const QString paragraph = QString(readme).replace(u'\n', u' ');
    for (const QString& expected :
         {QStringLiteral("364 s in all"), QStringLiteral("build 173 s, fuzz build 65 s, suite 86 s"),
          QStringLiteral("88 CTest tests from 2 test programs, 3 test cases; skipped where they do not apply: CTest tests 1, test cases 1"),
          QStringLiteral("fuzz 40 s (2 targets"),
          QStringLiteral("made from nothing")})
        EXPECT_TRUE(paragraph.contains(expected)) << expected.toStdString() << "\n--- README.md:\n" << readme.toStdString();
    const QString record = QString::fromUtf8(Read(root + QStringLiteral("/docs/reliability.md")));
    for (const QString& expected :
         {QStringLiteral("| `fuzz_sql` | inputs 21,662; inputs a second 1,080; statements 21,662 |"),
          QStringLiteral("| `fuzz_gbk` | inputs 153,380 |"), QStringLiteral("all passed in 86 s; skipped where they do not apply: CTest tests 1, test cases 1"), today})
        EXPECT_TRUE(record.contains(expected)) << expected.toStdString() << "\n--- reliability.md:\n" << record.toStdString();
}

} // namespace
