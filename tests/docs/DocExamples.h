#pragma once
// The command examples of the README and the man pages: where they are, what kind each is, and
// whether what a program printed is what a transcript in the docs shows.
#include "DocSources.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zq::docs {

struct DocExample {
    QString file;
    int line = 0;
    QString command;                 // continued lines joined; a cron line's time fields removed
    bool cron = false;               // a crontab line: runs as cron runs it
    bool mustBeKnown = false;        // from a shell block, where every line is a command
    bool transcript = false;         // from a console block: the output follows
    QStringList expectedOutput;      // the transcript's lines ("..." for lines left out)
    QString where() const { return file + u':' + QString::number(line); }
};

// Fenced blocks marked sh, bash, shell or console (a console block's commands start with "$ "),
// and code spans that start with a command.
QList<DocExample> MarkdownExamples(const QString& file, const QString& markdown);
// The lines of .EX blocks that start with a command, or are crontab lines.
QList<DocExample> ManPageExamples(const QString& file, const QString& roff);

// The command without leading VAR=value assignments.
QString WithoutAssignments(const QString& command);
// The shell words of a command, quotes kept out: "--set '1046=*轴*'" is {"--set", "1046=*轴*"}.
QStringList ShellWords(const QString& command);

// Which of our programs a command runs ("zqpdm-search" for "build/bin/zqpdm-search ..."), "" for none.
QString OurProgram(const QString& command, const QStringList& programs);

// A synopsis, not an example: it holds placeholders (DIR, [--scale N], tsv|csv, "…").
bool IsSynopsis(const QString& command);

// The options the command gives its program, up to the first redirect or shell operator.
QStringList OptionsGiven(const QString& command);
// The first option given without the words --help says it takes ("--tree" alone); "" when none.
QString OptionMissingItsArgument(const QString& command, const HelpContract& help);

// Whether the output shows what the transcript says: its lines in order, "..." alone for any
// number of lines and inside a line for any text, a date (yyyy-MM-dd) for any date; trailing
// blanks ignored. Returns "" when it does, else the first line that differs and why.
QString TranscriptMismatch(const QStringList& expected, const QString& output);

} // namespace zq::docs
