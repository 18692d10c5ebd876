#include "DocExamples.h"

#include <QRegularExpression>

namespace zq::docs {

namespace {

// The words a command example starts with: our programs, ./zq, and the system's tools the docs
// show.
const QRegularExpression& CommandStart()
{
    static const QRegularExpression start(QStringLiteral(
        "^(?:\\./zq|(?:build/bin/)?(?:zqpdm-[a-z]+|pdm-seed)|xvfb-run|sudo|apt|apt-get|cmake|cd|ctest|man|odbcinst|psql)"
        "(?:\\s|$)"));
    return start;
}

// A crontab line: five time fields, then the command.
const QRegularExpression& CronLine()
{
    static const QRegularExpression cron(QStringLiteral("^(?:[0-9*/,-]+\\s+){5}(\\S.*)$"));
    return cron;
}

bool StartsWithCommand(const QString& command) { return CommandStart().match(WithoutAssignments(command)).hasMatch(); }

// "cmd   # a comment" → "cmd"; a '#' inside quotes or a word stays.
QString WithoutComment(const QString& line)
{
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'#' && (i == 0 || line[i - 1].isSpace())) {
            return line.left(i).trimmed();
        }
    }
    return line.trimmed();
}

DocExample Example(const QString& file, int line, QString command, bool mustBeKnown)
{
    DocExample example;
    example.file = file;
    example.line = line;
    example.mustBeKnown = mustBeKnown;
    const QRegularExpressionMatch cron = CronLine().match(command);
    if (cron.hasMatch()) {
        example.cron = true;
        command = cron.captured(1);
    }
    example.command = command.trimmed();
    return example;
}

// The commands of a shell or console block, continued lines joined.
QList<DocExample> BlockExamples(const QString& file, const FencedBlock& block)
{
    QList<DocExample> examples;
    const bool console = block.language == u"console";
    bool continued = false;
    for (qsizetype i = 0; i < block.lines.size(); ++i) {
        const int lineNumber = block.firstLine + int(i);
        QString line = block.lines[i];
        if (continued) {
            QString more = WithoutComment(line);
            continued = more.endsWith(u'\\');
            if (continued)
                more.chop(1);
            examples.last().command = (examples.last().command + u' ' + more.trimmed()).trimmed();
            continue;
        }
        if (console && !line.startsWith(QStringLiteral("$ "))) {
            if (!examples.isEmpty())
                examples.last().expectedOutput << line;
            continue;
        }
        if (console)
            line = line.mid(2);
        QString command = WithoutComment(line);
        if (command.isEmpty())
            continue;
        continued = command.endsWith(u'\\');
        if (continued)
            command.chop(1);
        DocExample example = Example(file, lineNumber, command, true);
        example.transcript = console;
        examples << example;
    }
    return examples;
}

} // namespace

QString WithoutAssignments(const QString& command)
{
    static const QRegularExpression assignment(QStringLiteral("^(?:[A-Za-z_][A-Za-z0-9_]*=(?:'[^']*'|\"[^\"]*\"|\\S*)\\s+)+"));
    QString rest = command;
    return rest.remove(assignment);
}

QStringList ShellWords(const QString& command)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (const QChar c : command) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

QList<DocExample> MarkdownExamples(const QString& file, const QString& markdown)
{
    QList<DocExample> examples;
    static const QStringList shells = {QStringLiteral("sh"), QStringLiteral("bash"), QStringLiteral("shell"),
                                       QStringLiteral("console")};
    QList<DocExample> fromBlocks;
    for (const FencedBlock& block : FencedBlocks(markdown))
        if (shells.contains(block.language))
            fromBlocks << BlockExamples(file, block);
    QList<DocExample> fromSpans;
    for (const NumberedLine& span : InlineCodeSpans(markdown)) {
        const QString command = span.text.trimmed();
        if (StartsWithCommand(command) && ShellWords(WithoutAssignments(command)).size() > 1)
            fromSpans << Example(file, span.line, command, false);
    }
    // In the order of the file: an example may use what an earlier one made.
    qsizetype b = 0, s = 0;
    while (b < fromBlocks.size() || s < fromSpans.size()) {
        if (s >= fromSpans.size() || (b < fromBlocks.size() && fromBlocks[b].line <= fromSpans[s].line))
            examples << fromBlocks[b++];
        else
            examples << fromSpans[s++];
    }
    return examples;
}

QList<DocExample> ManPageExamples(const QString& file, const QString& roff)
{
    QList<DocExample> examples;
    for (const NumberedLine& line : ManPageExampleLines(roff)) {
        const DocExample example = Example(file, line.line, line.text, false);
        if (example.cron || StartsWithCommand(example.command))
            examples << example;
    }
    return examples;
}

QString OurProgram(const QString& command, const QStringList& programs)
{
    const QStringList words = ShellWords(WithoutAssignments(command));
    if (words.isEmpty())
        return {};
    QString first = words.first();
    if (first.startsWith(QStringLiteral("build/bin/")))
        first = first.mid(10);
    return programs.contains(first) ? first : QString();
}

bool IsSynopsis(const QString& command)
{
    static const QRegularExpression placeholder(QStringLiteral("^\\[?-*[A-Z][A-Z_]*\\]*$"));
    for (const QString& word : ShellWords(WithoutAssignments(command))) {
        if (word.contains(u'[') || word.contains(u'…') || word.contains(QStringLiteral("...")) ||
            (word.contains(u'|') && word != u"|" && word != u"||") || placeholder.match(word).hasMatch())
            return true;
    }
    return false;
}

namespace {

bool EndsTheArguments(const QString& word)
{
    static const QRegularExpression redirect(QStringLiteral("^[0-9]*[<>]"));
    return word == u"|" || word == u"||" || word == u"&&" || word == u";" || word == u"&" || redirect.match(word).hasMatch();
}

} // namespace

QStringList OptionsGiven(const QString& command)
{
    QStringList options;
    const QStringList words = ShellWords(WithoutAssignments(command));
    for (qsizetype i = 1; i < words.size() && !EndsTheArguments(words[i]); ++i)
        if (words[i].startsWith(u'-') && words[i].size() > 1) {
            QString option = words[i];
            options << option.remove(QRegularExpression(QStringLiteral("\\[.*$")));
        }
    return options;
}

QString OptionMissingItsArgument(const QString& command, const HelpContract& help)
{
    const QStringList words = ShellWords(WithoutAssignments(command));
    for (qsizetype i = 1; i < words.size() && !EndsTheArguments(words[i]); ++i) {
        if (!words[i].startsWith(u'-'))
            continue;
        const int needed = help.argumentCount(words[i]);
        for (int k = 1; k <= needed; ++k)
            if (i + k >= words.size() || EndsTheArguments(words[i + k]) || words[i + k].startsWith(QStringLiteral("--")))
                return words[i];
    }
    return {};
}

namespace {

// One expected line as a pattern: "..." any text, a date any date, the rest as written.
QRegularExpression LinePattern(const QString& expected)
{
    static const QRegularExpression date(QStringLiteral("\\d{4}-\\d{2}-\\d{2}"));
    QString pattern;
    const QStringList parts = expected.split(QStringLiteral("..."));
    for (qsizetype p = 0; p < parts.size(); ++p) {
        if (p > 0)
            pattern += QStringLiteral(".*");
        qsizetype at = 0;
        for (auto it = date.globalMatch(parts[p]); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            pattern += QRegularExpression::escape(parts[p].mid(at, match.capturedStart() - at)) + QStringLiteral("\\d{4}-\\d{2}-\\d{2}");
            at = match.capturedEnd();
        }
        pattern += QRegularExpression::escape(parts[p].mid(at));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

QString TrimEnd(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

QString TranscriptMismatch(const QStringList& expected, const QString& output)
{
    QStringList actual = output.split(u'\n');
    if (!actual.isEmpty() && actual.last().isEmpty())
        actual.removeLast();
    QStringList shown = expected;
    while (!shown.isEmpty() && shown.last().trimmed().isEmpty())
        shown.removeLast();
    qsizetype next = 0;
    bool gap = false;
    for (const QString& rawLine : std::as_const(shown)) {
        const QString line = TrimEnd(rawLine);
        if (line == u"...") {
            gap = true;
            continue;
        }
        const QRegularExpression pattern = LinePattern(line);
        if (gap) {
            while (next < actual.size() && !pattern.match(TrimEnd(actual[next])).hasMatch())
                ++next;
        }
        if (next >= actual.size())
            return QStringLiteral("\"%1\" was not printed%2").arg(line, gap ? QString() : QStringLiteral(" (the output ended)"));
        if (!pattern.match(TrimEnd(actual[next])).hasMatch())
            return QStringLiteral("line %1 of the output is \"%2\", the docs show \"%3\"").arg(next + 1).arg(TrimEnd(actual[next]), line);
        ++next;
        gap = false;
    }
    if (!gap && next < actual.size())
        return QStringLiteral("the output goes on after the last line the docs show: \"%1\"").arg(TrimEnd(actual[next]));
    return {};
}

} // namespace zq::docs
