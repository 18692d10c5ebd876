// Every command example of the README and the man pages, run as a reader would run it: against a
// scratch demo installation, one for each document, in the order the document gives them. Each
// exits 0 and prints what a transcript beside it shows; a crontab line runs as cron runs it. Every
// option an example or a synopsis gives is one its program's --help lists. What is not run is
// listed below with the reason.
#include "DocExamples.h"
#include "ExampleSite.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using zq::docs::DocExample;

struct NotRun {
    QString prefix;   // the command, without leading assignments, starts with it
    QString reason;
};

// The commands the docs show that this test does not run.
const QList<NotRun>& NotRunHere()
{
    static const QList<NotRun> list = {
        {QStringLiteral("./zq run"), QStringLiteral("builds, then opens the client window and waits for its user")},
        {QStringLiteral("./zq test"), QStringLiteral("is the run these tests are part of")},
        {QStringLiteral("./zq bench"), QStringLiteral("loads every core for many minutes (--large: seeds ten million rows): a measurement, not a check")},
        {QStringLiteral("./zq fuzz"), QStringLiteral("runs every fuzz target for a minute or longer")},
        {QStringLiteral("./zq package"), QStringLiteral("installs packages and builds; ctest -L packaging makes and checks the same packages")},
        {QStringLiteral("./zq install"), QStringLiteral("writes below a system prefix; tests/facade/install_test.cpp installs into a scratch one")},
        {QStringLiteral("./zq build"), QStringLiteral("builds the tree these tests run from")},
        {QStringLiteral("./zq web"), QStringLiteral("builds, then serves the web search until it is stopped")},
        {QStringLiteral("curl"), QStringLiteral("asks a running zqpdm-web; tests/web/ makes the same requests")},
        {QStringLiteral("xvfb-run"), QStringLiteral("starts ./zq run under a virtual display")},
        {QStringLiteral("sudo apt"), QStringLiteral("installs system packages")},
        {QStringLiteral("cmake --install"), QStringLiteral("writes below a system prefix, as ./zq install")},
        {QStringLiteral("cd build && ctest"), QStringLiteral("runs tests of this suite")},
        {QStringLiteral("ctest"), QStringLiteral("runs tests of this suite")},
        {QStringLiteral("man "), QStringLiteral("pages through an installed manual")},
        {QStringLiteral("odbcinst"), QStringLiteral("the ODBC driver manager's own tool, on the machine's configuration")},
        {QStringLiteral("psql"), QStringLiteral("needs a customer's PostgreSQL database")},
    };
    return list;
}

const NotRun* NotRunEntry(const QString& command)
{
    const QString bare = zq::docs::WithoutAssignments(command);
    for (const NotRun& entry : NotRunHere())
        if (bare.startsWith(entry.prefix))
            return &entry;
    return nullptr;
}

// The documents whose examples run: the READMEs and the man page of every program built.
QStringList Documents(const zq::docs::BuildTree& tree)
{
    QStringList documents = {QStringLiteral("README.md"), QStringLiteral("tools/pdm-seed/README.md")};
    for (const QString& program : tree.programs)
        documents << QStringLiteral("docs/man/") + program + QStringLiteral(".1");
    return documents;
}

class DocExamples : public zq::docs::BuildTreeTest {
protected:
    QString zqHelp()
    {
        if (m_zqHelp.isEmpty()) {
            const zq::docs::ProgramRun help = zq::docs::RunProgram(m_tree.source + QStringLiteral("/zq"), {QStringLiteral("--help")});
            EXPECT_EQ(help.exitCode, 0) << "./zq --help\n" << help.dump();
            m_zqHelp = help.out;
        }
        return m_zqHelp;
    }

    QList<DocExample> examplesOf(const QString& document)
    {
        const QString text = zq::docs::ReadText(m_tree.source + u'/' + document);
        EXPECT_FALSE(text.isEmpty()) << document.toStdString() << " cannot be read";
        return document.endsWith(QStringLiteral(".1")) ? zq::docs::ManPageExamples(document, text)
                                                        : zq::docs::MarkdownExamples(document, text);
    }

    // ./zq SUBCOMMAND [--option...]: the command and each option are in ./zq --help.
    void checkZqCommand(const DocExample& example)
    {
        const QStringList words = zq::docs::ShellWords(zq::docs::WithoutAssignments(example.command));
        const QString help = zqHelp();
        const qsizetype at = words.indexOf(QStringLiteral("./zq"));
        if (at < 0 || at + 1 >= words.size())
            return;
        EXPECT_TRUE(help.contains(QStringLiteral("./zq ") + words[at + 1]))
            << example.where().toStdString() << ": ./zq --help does not list the command " << words[at + 1].toStdString();
        for (const QString& word : words.mid(at + 2)) {
            if (!word.startsWith(QStringLiteral("--")))
                continue;
            EXPECT_TRUE(help.contains(word)) << example.where().toStdString() << ": ./zq --help does not list "
                                             << word.toStdString();
        }
    }

    void runOurs(zq::docs::ExampleSite& site, const DocExample& example, const QString& program)
    {
        const zq::docs::HelpContract help = zq::docs::ReadHelp(helpText(program));
        const QStringList options = zq::docs::OptionsGiven(example.command);
        for (const QString& option : options)
            EXPECT_TRUE(help.optionNames().contains(option))
                << example.where().toStdString() << ": " << program.toStdString() << " has no option " << option.toStdString()
                << " (" << example.command.toStdString() << ")";
        if (zq::docs::IsSynopsis(example.command) || !zq::docs::OptionMissingItsArgument(example.command, help).isEmpty())
            return;   // a synopsis or a fragment of a line: its options are all there is to check
        // A server runs until it is stopped: its options are checked, the serving is tests/web/'s.
        if (program == u"zqpdm-web" && !example.command.contains(QStringLiteral("--help"))) {
            m_notRun << example.where() + QStringLiteral(": ") + example.command
                    + QStringLiteral(" — serves until it is stopped; tests/web/ starts it on a free port and talks HTTP to it");
            return;
        }
        QString unavailable;
        QString command = site.withTestDatabases(example.command, &unavailable);
        if (!unavailable.isEmpty()) {
            m_notRun << example.where() + QStringLiteral(": ") + example.command + QStringLiteral(" — ") + unavailable;
            return;
        }
        // The client waits for its user: it takes a picture of its window and quits instead, so
        // that a message box or a bad option still fails the example.
        const QString picture = site.scratchFile(QStringLiteral("client.png"));
        const bool picturing = program == u"zqpdm-client" && !options.contains(QStringLiteral("--help")) &&
                               !options.contains(QStringLiteral("-h"));
        if (picturing) {
            QFile::remove(picture);
            command += QStringLiteral(" --window-screenshot ") + picture;
        }
        site.clearForSeed(command);
        const zq::docs::ProgramRun run = site.run(command, example.cron);
        if (run.exitCode == 0) {
            EXPECT_TRUE(site.indexAfterSeed(command)) << example.where().toStdString() << ": the new installation cannot be indexed";
        }
        EXPECT_EQ(run.exitCode, 0) << example.where().toStdString() << ": " << example.command.toStdString() << "\n"
                                   << (example.cron ? "(as cron runs it)\n" : "") << run.dump();
        if (picturing && run.exitCode == 0) {
            EXPECT_TRUE(QFileInfo(picture).size() > 0) << example.where().toStdString() << ": no picture of the window";
        }
        if (example.transcript) {
            const QString mismatch = zq::docs::TranscriptMismatch(example.expectedOutput, run.out);
            EXPECT_TRUE(mismatch.isEmpty()) << example.where().toStdString() << ": " << example.command.toStdString() << "\n"
                                            << mismatch.toStdString() << "\n--- printed:\n" << run.out.toStdString();
        }
        ++m_ran;
    }

    QString m_zqHelp;
    QStringList m_notRun;
    int m_ran = 0;
};

TEST_F(DocExamples, EveryCommandOfTheReadmeAndTheManPagesRunsAsTheTextSays)
{
    for (const QString& document : Documents(m_tree)) {
        SCOPED_TRACE(document.toStdString());
        zq::docs::ExampleSite site(m_tree);
        ASSERT_TRUE(site.error().isEmpty()) << site.error().toStdString();
        for (const DocExample& example : examplesOf(document)) {
            const QString program = zq::docs::OurProgram(example.command, m_tree.programs);
            if (!program.isEmpty()) {
                runOurs(site, example, program);
                continue;
            }
            const QString bare = zq::docs::WithoutAssignments(example.command);
            if (bare.startsWith(QStringLiteral("./zq")) || example.command.contains(QStringLiteral(" ./zq ")))
                checkZqCommand(example);
            if (bare == u"./zq --help" || bare == u"./zq -h") {
                ++m_ran;   // zqHelp() ran it
                continue;
            }
            const NotRun* notRun = NotRunEntry(example.command);
            if (notRun)
                m_notRun << example.where() + QStringLiteral(": ") + example.command + QStringLiteral(" — ") + notRun->reason;
            else
                ADD_FAILURE() << example.where().toStdString() << ": \"" << example.command.toStdString()
                              << "\" is neither run by this test nor listed in NotRunHere() with the reason";
        }
    }
    EXPECT_GT(m_ran, 10) << "too few examples found: are the docs read?";
    std::cout << "Examples run: " << m_ran << "; not run:\n";
    for (const QString& line : m_notRun)
        std::cout << "  " << line.toStdString() << '\n';
}

// --- the readers, on the shapes the docs use ----------------------------------------------------

TEST(DocExampleReading, FindsCommandsInShellAndConsoleBlocksAndCodeSpans)
{
    const QString markdown = QStringLiteral(
        "Run `./zq run` or `build/bin/pdm-seed --home demo`; `zqpdm-search` alone is a name.\n"
        "```sh\n./zq test    # the suite\nbuild/bin/zqpdm-search --home demo --page 更改单 \\\n  --find   # joined\n"
        "0 2 * * * zqpdm-index --home ~/d --quiet\n```\n"
        "```ini\n[Database]\nUrl=x\n```\n"
        "```console\n$ zqpdm-search --page X --describe 2>/dev/null\nid\tkind\n...\n1300\tbutton\n```\n");
    const QList<DocExample> found = zq::docs::MarkdownExamples(QStringLiteral("R.md"), markdown);
    QStringList commands;
    for (const DocExample& example : found)
        commands << example.command;
    EXPECT_EQ(commands, (QStringList{QStringLiteral("./zq run"), QStringLiteral("build/bin/pdm-seed --home demo"),
                                     QStringLiteral("./zq test"),
                                     QStringLiteral("build/bin/zqpdm-search --home demo --page 更改单 --find"),
                                     QStringLiteral("zqpdm-index --home ~/d --quiet"),
                                     QStringLiteral("zqpdm-search --page X --describe 2>/dev/null")}));
    ASSERT_EQ(found.size(), 6);
    EXPECT_TRUE(found[4].cron);
    EXPECT_TRUE(found[5].transcript);
    EXPECT_EQ(found[5].expectedOutput, (QStringList{QStringLiteral("id\tkind"), QStringLiteral("..."), QStringLiteral("1300\tbutton")}));
    EXPECT_EQ(found[3].line, 4);

    const QString roff = QStringLiteral(
        ".SH EXAMPLES\n.EX\nzqpdm-search \\-\\-home demo \\e\n             \\-\\-format csv\nid  kind  label\n.EE\n"
        ".EX\n0 2 * * * zqpdm-index \\-\\-quiet\n.EE\n");
    const QList<DocExample> fromPage = zq::docs::ManPageExamples(QStringLiteral("p.1"), roff);
    ASSERT_EQ(fromPage.size(), 2);
    EXPECT_EQ(fromPage[0].command, QStringLiteral("zqpdm-search --home demo --format csv"));
    EXPECT_EQ(fromPage[1].command, QStringLiteral("zqpdm-index --quiet"));
    EXPECT_TRUE(fromPage[1].cron);
}

TEST(DocExampleReading, TellsSynopsesFragmentsAndOptions)
{
    struct Case {
        const char* command;
        bool synopsis;
        const char* missing;   // the option given without its argument
    };
    const zq::docs::HelpContract help = zq::docs::ReadHelp(QStringLiteral(
        "Options:\n  --home DIR   x\n  --tree PATH  x\n  --find       x\n  --set ID=VALUE  x\n  --help, -h   x\n"));
    const Case cases[] = {
        {"zqpdm-search --home DIR", true, ""},
        {"pdm-seed --home demo [--scale N]", true, ""},
        {"zqpdm-search --format tsv|csv", true, ""},
        {"pdm-seed --db odbc:…", true, ""},
        {"zqpdm-search --tree", false, "--tree"},
        {"zqpdm-search --tree --find", false, "--tree"},
        {"zqpdm-search --home demo --tree ZQ8600 --set '1046=*轴*' --find", false, ""},
        {"ZQPDM_USER=zhangwei zqpdm-search --home demo 2>/dev/null | head", false, ""},
        {"zqpdm-search --set 编制人=张伟 --cell 1318:图号=ZQ8600-01-02", false, ""},
    };
    for (const Case& c : cases) {
        const QString command = QString::fromUtf8(c.command);
        EXPECT_EQ(zq::docs::IsSynopsis(command), c.synopsis) << c.command;
        EXPECT_EQ(zq::docs::OptionMissingItsArgument(command, help), QString::fromUtf8(c.missing)) << c.command;
    }
    EXPECT_EQ(zq::docs::OptionsGiven(QStringLiteral("X=1 zqpdm-search --home demo --set '1046=*轴*' 2>/dev/null --nope")),
              (QStringList{QStringLiteral("--home"), QStringLiteral("--set")}));
    EXPECT_EQ(zq::docs::OurProgram(QStringLiteral("build/bin/zqpdm-index --quiet"), {QStringLiteral("zqpdm-index")}),
              QStringLiteral("zqpdm-index"));
    EXPECT_EQ(zq::docs::OurProgram(QStringLiteral("./zq run"), {QStringLiteral("zqpdm-index")}), QString());
}

TEST(DocExampleReading, ComparesATranscriptWithWhatWasPrinted)
{
    struct Case {
        const char* name;
        QStringList expected;
        bool matches;
    };
    const QString printed = QStringLiteral("id\tkind\t\n1204\tdate\t2026-12-09\n1256\tcombo\t0 标题 | 1 明细\n1300\tbutton\n");
    const Case cases[] = {
        {"every line, dates any", {"id\tkind", "1204\tdate\t2025-03-06", "1256\tcombo\t0 标题 | 1 明细", "1300\tbutton"}, true},
        {"lines left out", {"id\tkind", "...", "1300\tbutton"}, true},
        {"text left out in a line", {"id\tkind", "1204\tdate\t2025-03-06", "1256\tcombo\t0 标题 | ...", "..."}, true},
        {"a first line that is not the first printed", {"1204\tdate\t2025-03-06", "..."}, false},
        {"a line that differs", {"id\tkind", "...", "1256\tcombo\t0 标题 | 1 附加"}, false},
        {"more printed than shown", {"id\tkind", "1204\tdate\t2025-03-06"}, false},
        {"a line never printed", {"...", "1400\tbutton"}, false},
        {"regex characters are text", {"...", "1256\tcombo\t0 标题 . 1 明细", "..."}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zq::docs::TranscriptMismatch(c.expected, printed).isEmpty(), c.matches)
            << c.name << ": " << zq::docs::TranscriptMismatch(c.expected, printed).toStdString();
}

} // namespace
