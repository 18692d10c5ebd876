#pragma once
// What the documentation tests read: the checkout and build ctest names, the man pages (roff), the
// Markdown files, and the programs' --help. Each reader returns plain text as a reader sees it.
#include "ProgramRun.h"

#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace zq::docs {

// The source and build folders and the installed programs, from ctest's environment
// (ZQ_SOURCE_DIR, ZQ_BINARY_DIR, ZQ_PROGRAMS). missing() says what is not set.
struct BuildTree {
    QString source;
    QString binary;
    QStringList programs;
    QString missing() const;
    QString program(const QString& name) const { return binary + QStringLiteral("/bin/") + name; }
    QString manPage(const QString& name) const { return source + QStringLiteral("/docs/man/") + name + QStringLiteral(".1"); }
};
BuildTree TheBuildTree();

// A test that reads the checkout and runs the build's programs; outside ctest it is skipped and
// says why.
class BuildTreeTest : public testing::Test {
protected:
    void SetUp() override;
    // What `PROGRAM --help` printed (run once a test); a --help that fails fails the test.
    const QString& helpText(const QString& program);

    BuildTree m_tree;

private:
    QMap<QString, QString> m_help;
};

// The file's text as UTF-8; an empty string when it cannot be read.
QString ReadText(const QString& path);

// The first group of every match of the pattern in the text, in order.
QStringList Captured(const QString& text, const QRegularExpression& pattern);
// A Markdown table of the text: the lines after its header line, up to the first blank line.
QString TableAfter(const QString& text, const QString& header);

// --- roff ---------------------------------------------------------------------------------------

// A roff line as the reader sees it: "\fB\-\-set\fR \fIID\fR=\fIVALUE\fR" is "--set ID=VALUE".
QString RoffPlainText(QString line);

// The tags of the .TP paragraphs of one section (.SH NAME), as plain text.
QStringList ManPageTags(const QString& roff, const QString& section);
// The names of the page's sections, in order.
QStringList ManPageSections(const QString& roff);

// The lines of the .EX/.EE blocks, as plain text, a line continued with a trailing "\" joined with
// the next; each with the number of its first line in the file.
struct NumberedLine {
    int line = 0;
    QString text;
};
QList<NumberedLine> ManPageExampleLines(const QString& roff);

// --- Markdown -----------------------------------------------------------------------------------

struct FencedBlock {
    QString language;   // the word after the opening fence ("sh", "console", "" for none)
    int firstLine = 0;  // the line after the opening fence
    QStringList lines;
};
QList<FencedBlock> FencedBlocks(const QString& markdown);

// The `code spans` outside fenced blocks, in order, each with its line.
QList<NumberedLine> InlineCodeSpans(const QString& markdown);

// --- --help ---------------------------------------------------------------------------------------

// What --help promises: its options ("--set ID=VALUE", "--help, -h"), as it lists them under a
// line ending in ":" with two spaces before each, and the exit statuses after "Exit status:" or
// "Exit codes:".
struct HelpContract {
    QStringList options;
    QStringList exitStatuses;
    // The option names alone ("--set", "--help", "-h").
    QStringList optionNames() const;
    // How many words follow the option in its entry ("--set ID=VALUE": 1, "--help, -h": 0); -1
    // when --help does not list it.
    int argumentCount(const QString& name) const;
};
HelpContract ReadHelp(const QString& help);

// The names the help's "Environment:" section lists, one entry a line ("  ZQPDM_HOME  ...",
// "  XDG_RUNTIME_DIR, TMPDIR  ...").
QStringList HelpEnvironment(const QString& help);

// --- programs -------------------------------------------------------------------------------------

using zq::test::ProgramRun;
using zq::test::RunProgram;

} // namespace zq::docs
