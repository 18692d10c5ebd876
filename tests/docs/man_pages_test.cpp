// Each installed program's man page (docs/man/PROGRAM.1) against the program's --help, which is the
// source of truth: every option and action --help lists has its entry in the man page, the man page
// has no entry for one --help no longer lists, and every exit status --help gives is under EXIT
// STATUS. The programs are those the build installs (ZQ_PROGRAMS).
#include "DocSources.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using zq::docs::ReadHelp;

// The man page's option entries: the tags of its .TP paragraphs that start with "-", in any section
// but EXIT STATUS.
QStringList ManPageOptions(const QString& roff)
{
    QStringList options;
    for (const QString& section : zq::docs::ManPageSections(roff)) {
        if (section == u"EXIT STATUS")
            continue;
        for (const QString& tag : zq::docs::ManPageTags(roff, section))
            if (tag.startsWith(u'-') && !options.contains(tag))
                options << tag;
    }
    return options;
}

using ManPages = zq::docs::BuildTreeTest;

TEST_F(ManPages, HaveAnEntryForEveryOptionAndExitStatusTheirProgramsHelpGives)
{
    for (const QString& program : m_tree.programs) {
        SCOPED_TRACE(program.toStdString());
        const zq::docs::HelpContract promised = ReadHelp(helpText(program));
        ASSERT_FALSE(promised.options.isEmpty()) << "no options found in " << program.toStdString() << " --help";

        const QString pagePath = m_tree.manPage(program);
        const QString roff = zq::docs::ReadText(pagePath);
        ASSERT_FALSE(roff.isEmpty()) << pagePath.toStdString() << " is missing";
        const QStringList documented = ManPageOptions(roff);
        const QStringList statuses = zq::docs::ManPageTags(roff, QStringLiteral("EXIT STATUS"));

        EXPECT_TRUE(zq::docs::ManPageSections(roff).contains(QStringLiteral("EXIT STATUS")))
            << pagePath.toStdString() << " has no EXIT STATUS section";
        for (const QString& option : promised.options)
            EXPECT_TRUE(documented.contains(option))
                << pagePath.toStdString() << " has no entry \"" << option.toStdString() << "\", which "
                << program.toStdString() << " --help lists";
        for (const QString& option : documented)
            EXPECT_TRUE(promised.options.contains(option))
                << pagePath.toStdString() << " has an entry \"" << option.toStdString() << "\", which "
                << program.toStdString() << " --help does not list";
        for (const QString& status : promised.exitStatuses)
            EXPECT_TRUE(statuses.contains(status))
                << pagePath.toStdString() << " does not give exit status " << status.toStdString() << ", which "
                << program.toStdString() << " --help gives";
    }
}

// A file a man page names below /usr is one the install puts there (the packages install under
// /usr): no page sends its reader to a file no package has.
TEST_F(ManPages, NameOnlyInstalledFilesBelowUsr)
{
    const zq::test::ScratchInstall installed;
    ASSERT_TRUE(installed.error().isEmpty()) << installed.error().toStdString();
    static const QRegularExpression usrPath(QStringLiteral("/usr/([A-Za-z0-9_./+@-]*[A-Za-z0-9_+-])"));
    for (const QString& program : m_tree.programs) {
        const QString roff = zq::docs::ReadText(m_tree.manPage(program));
        for (const QString& line : roff.split(u'\n'))
            for (const QString& path : zq::docs::Captured(zq::docs::RoffPlainText(line), usrPath))
                EXPECT_TRUE(QFileInfo::exists(installed.path(path)))
                    << program.toStdString() << ".1 names /usr/" << path.toStdString() << ", which the install does not put there";
    }
}

// The readers themselves, on the shapes the programs' help texts use.
TEST(ManPage, ReadsOptionsAndExitStatusesFromHelpAndRoff)
{
    const zq::docs::HelpContract help = ReadHelp(QStringLiteral(
        "usage: p --a X\n\nOptions:\n  --a X          first\n                 more of it\n  --help, -h     this text\n"
        "  --format tsv|csv   how\n    p --a 1      an example, not an option\n  standard output  not an option\n"
        "\nExit status:\n  0  done\n  2  usage error: a malformed option or value\n     (a date that is none)\n"
        "  3  an action failed\n"));
    EXPECT_EQ(help.options, (QStringList{QStringLiteral("--a X"), QStringLiteral("--help, -h"),
                                         QStringLiteral("--format tsv|csv")}));
    EXPECT_EQ(help.exitStatuses, (QStringList{QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(help.optionNames(), (QStringList{QStringLiteral("--a"), QStringLiteral("--help"), QStringLiteral("-h"),
                                               QStringLiteral("--format")}));
    EXPECT_EQ(help.argumentCount(QStringLiteral("--a")), 1);
    EXPECT_EQ(help.argumentCount(QStringLiteral("-h")), 0);
    EXPECT_EQ(help.argumentCount(QStringLiteral("--b")), -1);
    EXPECT_EQ(ReadHelp(QStringLiteral("Exit codes: 0 done, 1 a picture could not be saved,\n2 usage error.\n"))
                  .exitStatuses,
              (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));

    const QString page = QStringLiteral(
        ".SH OPTIONS\n.TP\n\\fB\\-\\-set\\fR \\fIID\\fR=\\fIVALUE\\fR\ntext\n.TP\n\\fB\\-\\-help\\fR, \\fB\\-h\\fR\n"
        ".SH OUTPUT\n.TP\n.B tsv\ncells\n.SH EXIT STATUS\n.TP\n.B 0\nDone.\n.TP\n.B 2\nUsage.\n"
        ".SH ENVIRONMENT\n.TP\n.B ZQPDM_HOME\n.TP\n.BR XDG_RUNTIME_DIR \", \" TMPDIR\n");
    EXPECT_EQ(ManPageOptions(page), (QStringList{QStringLiteral("--set ID=VALUE"), QStringLiteral("--help, -h")}));
    EXPECT_EQ(zq::docs::ManPageTags(page, QStringLiteral("EXIT STATUS")),
              (QStringList{QStringLiteral("0"), QStringLiteral("2")}));
    EXPECT_EQ(zq::docs::ManPageTags(page, QStringLiteral("ENVIRONMENT")),
              (QStringList{QStringLiteral("ZQPDM_HOME"), QStringLiteral("XDG_RUNTIME_DIR, TMPDIR")}));
    EXPECT_EQ(zq::docs::ManPageSections(page),
              (QStringList{QStringLiteral("OPTIONS"), QStringLiteral("OUTPUT"), QStringLiteral("EXIT STATUS"),
                           QStringLiteral("ENVIRONMENT")}));
}

} // namespace
