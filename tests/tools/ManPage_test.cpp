// Each installed program's man page (docs/man/PROGRAM.1) against the program's --help, which is the
// source of truth: every option and action --help lists has its entry in the man page, the man page
// has no entry for one --help no longer lists, and every exit status --help gives is under EXIT
// STATUS. The programs are those the build installs (ZQ_PROGRAMS).
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// What a user is promised: the options ("--set ID=VALUE", "--help, -h") and the exit statuses.
struct Contract {
    QStringList options;
    QStringList exitStatuses;
};

// --help lists an option as "  --name ARGUMENT   what it does" and the exit statuses after a line
// starting "Exit status:" or "Exit codes:", each as "N text" at a line's start or after ":" or ",".
Contract ReadHelp(const QString& help)
{
    Contract contract;
    static const QRegularExpression option(QStringLiteral("^  (-{1,2}[A-Za-z][^ ]*(?: [^ ]+)*?)(?:  |$)"));
    for (const QString& line : help.split(u'\n')) {
        const QRegularExpressionMatch match = option.match(line);
        if (match.hasMatch())
            contract.options.append(match.captured(1));
    }
    static const QRegularExpression exitSection(QStringLiteral("^Exit (?:status|codes):(.*?)(?:\\n[ \\t]*\\n|\\z)"),
                                                QRegularExpression::MultilineOption |
                                                    QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression status(QStringLiteral("(?:^|[:,])\\s*(\\d+) +[a-z]"),
                                           QRegularExpression::MultilineOption);
    const QRegularExpressionMatch section = exitSection.match(help);
    for (auto it = status.globalMatch(section.captured(1)); it.hasNext();)
        contract.exitStatuses.append(it.next().captured(1));
    return contract;
}

// A roff line as the reader sees it: "\fB\-\-set\fR \fIID\fR=\fIVALUE\fR" is "--set ID=VALUE".
QString PlainText(QString line)
{
    static const QRegularExpression fontMacro(QStringLiteral("^\\.(?:B|I|BR|IR|RB|RI|BI|IB) "));
    static const QRegularExpression fontEscape(QStringLiteral("\\\\f[BIRP]"));
    line.remove(fontMacro).remove(fontEscape).remove(QStringLiteral("\\&"));
    return line.replace(QStringLiteral("\\-"), QStringLiteral("-")).replace(QStringLiteral("\\e"), QStringLiteral("\\"));
}

// The man page's entries are the tags of its .TP paragraphs: those starting with "-" are options
// and actions, those under EXIT STATUS the exit statuses.
Contract ReadManPage(const QString& roff, bool* hasExitStatus)
{
    Contract contract;
    *hasExitStatus = false;
    QString section;
    const QStringList lines = roff.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QStringLiteral(".SH "))) {
            section = PlainText(lines[i].mid(4)).remove(u'"');
            *hasExitStatus = *hasExitStatus || section == u"EXIT STATUS";
        }
        if (lines[i] != u".TP" || i + 1 >= lines.size())
            continue;
        const QString tag = PlainText(lines[i + 1]);
        if (section == u"EXIT STATUS")
            contract.exitStatuses.append(tag);
        else if (tag.startsWith(u'-'))
            contract.options.append(tag);
    }
    return contract;
}

QString HelpOf(const QString& program, int* exitCode)
{
    QProcess process;
    process.start(program, {QStringLiteral("--help")});
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(ManPage, HasAnEntryForEveryOptionAndExitStatusItsProgramsHelpGives)
{
    const QString source = qEnvironmentVariable("ZQ_SOURCE_DIR");
    const QString build = qEnvironmentVariable("ZQ_BINARY_DIR");
    const QStringList programs = qEnvironmentVariable("ZQ_PROGRAMS").split(u',', Qt::SkipEmptyParts);
    if (source.isEmpty() || build.isEmpty() || programs.isEmpty())
        GTEST_SKIP() << "ZQ_SOURCE_DIR, ZQ_BINARY_DIR and ZQ_PROGRAMS are not set (run through ctest)";
    for (const QString& program : programs) {
        SCOPED_TRACE(program.toStdString());
        int exitCode = -1;
        const QString help = HelpOf(build + QStringLiteral("/bin/") + program, &exitCode);
        ASSERT_EQ(exitCode, 0) << program.toStdString() << " --help failed";
        const Contract promised = ReadHelp(help);
        ASSERT_FALSE(promised.options.isEmpty()) << "no options found in " << program.toStdString() << " --help";

        const QString pagePath = source + QStringLiteral("/docs/man/") + program + QStringLiteral(".1");
        QFile page(pagePath);
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << pagePath.toStdString() << " is missing";
        bool hasExitStatus = false;
        const Contract documented = ReadManPage(QString::fromUtf8(page.readAll()), &hasExitStatus);

        EXPECT_TRUE(hasExitStatus) << pagePath.toStdString() << " has no EXIT STATUS section";
        for (const QString& option : promised.options)
            EXPECT_TRUE(documented.options.contains(option))
                << pagePath.toStdString() << " has no entry \"" << option.toStdString() << "\", which "
                << program.toStdString() << " --help lists";
        for (const QString& option : documented.options)
            EXPECT_TRUE(promised.options.contains(option))
                << pagePath.toStdString() << " has an entry \"" << option.toStdString() << "\", which "
                << program.toStdString() << " --help does not list";
        for (const QString& status : promised.exitStatuses)
            EXPECT_TRUE(documented.exitStatuses.contains(status))
                << pagePath.toStdString() << " does not give exit status " << status.toStdString() << ", which "
                << program.toStdString() << " --help gives";
    }
}

// The readers themselves, on the shapes the programs' help texts use.
TEST(ManPage, ReadsOptionsAndExitStatusesFromHelpAndRoff)
{
    const Contract help = ReadHelp(QStringLiteral(
        "usage: p --a X\n\nOptions:\n  --a X          first\n                 more of it\n  --help, -h     this text\n"
        "  --format tsv|csv   how\n    p --a 1      an example, not an option\n  standard output  not an option\n"
        "\nExit status:\n  0  done\n  2  usage error: a malformed option or value\n     (a date that is none)\n"
        "  3  an action failed\n"));
    EXPECT_EQ(help.options, (QStringList{QStringLiteral("--a X"), QStringLiteral("--help, -h"),
                                         QStringLiteral("--format tsv|csv")}));
    EXPECT_EQ(help.exitStatuses, (QStringList{QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(ReadHelp(QStringLiteral("Exit codes: 0 done, 1 a picture could not be saved,\n2 usage error.\n"))
                  .exitStatuses,
              (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));

    bool hasExitStatus = false;
    const Contract page = ReadManPage(QStringLiteral(
        ".SH OPTIONS\n.TP\n\\fB\\-\\-set\\fR \\fIID\\fR=\\fIVALUE\\fR\ntext\n.TP\n\\fB\\-\\-help\\fR, \\fB\\-h\\fR\n"
        ".SH OUTPUT\n.TP\n.B tsv\ncells\n.SH EXIT STATUS\n.TP\n.B 0\nDone.\n.TP\n.B 2\nUsage.\n"
        ".SH ENVIRONMENT\n.TP\n.B ZQPDM_HOME\n"), &hasExitStatus);
    EXPECT_TRUE(hasExitStatus);
    EXPECT_EQ(page.options, (QStringList{QStringLiteral("--set ID=VALUE"), QStringLiteral("--help, -h")}));
    EXPECT_EQ(page.exitStatuses, (QStringList{QStringLiteral("0"), QStringLiteral("2")}));
}

} // namespace
