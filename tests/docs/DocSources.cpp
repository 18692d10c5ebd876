#include "DocSources.h"

#include <QFile>
#include <QRegularExpression>

namespace zq::docs {

QString BuildTree::missing() const
{
    QStringList names;
    if (source.isEmpty())
        names << QStringLiteral("ZQ_SOURCE_DIR");
    if (binary.isEmpty())
        names << QStringLiteral("ZQ_BINARY_DIR");
    if (programs.isEmpty())
        names << QStringLiteral("ZQ_PROGRAMS");
    return names.isEmpty() ? QString() : names.join(QStringLiteral(", ")) + QStringLiteral(" not set (run through ctest)");
}

BuildTree TheBuildTree()
{
    return {qEnvironmentVariable("ZQ_SOURCE_DIR"), qEnvironmentVariable("ZQ_BINARY_DIR"),
            qEnvironmentVariable("ZQ_PROGRAMS").split(u',', Qt::SkipEmptyParts)};
}

void BuildTreeTest::SetUp()
{
    m_tree = TheBuildTree();
    if (!m_tree.missing().isEmpty())
        GTEST_SKIP() << m_tree.missing().toStdString();
}

const QString& BuildTreeTest::helpText(const QString& program)
{
    if (!m_help.contains(program)) {
        const ProgramRun help = RunProgram(m_tree.program(program), {QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << program.toStdString() << " --help failed\n" << help.dump();
        m_help.insert(program, help.out);
    }
    return m_help[program];
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Captured(const QString& text, const QRegularExpression& pattern)
{
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

QString TableAfter(const QString& text, const QString& header)
{
    return text.section(header, 1).section(QStringLiteral("\n\n"), 0, 0);
}

// --- roff ---------------------------------------------------------------------------------------

namespace {

// The arguments of a macro line, a quoted one as one: .BR XDG_RUNTIME_DIR ", " TMPDIR.
QStringList MacroArguments(const QString& text)
{
    QStringList arguments;
    static const QRegularExpression argument(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
    for (auto it = argument.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        arguments << (match.capturedStart(1) >= 0 ? match.captured(1) : match.captured(2));
    }
    return arguments;
}

} // namespace

QString RoffPlainText(QString line)
{
    // .B and .I set their words in one font; .BR and its kin alternate two fonts, word against
    // word, with nothing between them.
    static const QRegularExpression fontMacro(QStringLiteral("^\\.(B|I|BR|IR|RB|RI|BI|IB) (.*)$"));
    static const QRegularExpression fontEscape(QStringLiteral("\\\\f[BIRP]"));
    if (const QRegularExpressionMatch macro = fontMacro.match(line); macro.hasMatch())
        line = MacroArguments(macro.captured(2)).join(macro.captured(1).size() == 1 ? QStringLiteral(" ") : QString());
    line.remove(fontEscape).remove(QStringLiteral("\\&"));
    return line.replace(QStringLiteral("\\-"), QStringLiteral("-")).replace(QStringLiteral("\\e"), QStringLiteral("\\"));
}

namespace {

bool IsSectionLine(const QString& line) { return line.startsWith(QStringLiteral(".SH ")); }

QString SectionName(const QString& line) { return RoffPlainText(line.mid(4)).remove(u'"').trimmed(); }

} // namespace

QStringList ManPageSections(const QString& roff)
{
    QStringList sections;
    for (const QString& line : roff.split(u'\n'))
        if (IsSectionLine(line))
            sections << SectionName(line);
    return sections;
}

QStringList ManPageTags(const QString& roff, const QString& section)
{
    QStringList tags;
    QString current;
    const QStringList lines = roff.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsSectionLine(lines[i]))
            current = SectionName(lines[i]);
        if (current == section && lines[i] == u".TP" && i + 1 < lines.size())
            tags << RoffPlainText(lines[i + 1]).trimmed();
    }
    return tags;
}

QList<NumberedLine> ManPageExampleLines(const QString& roff)
{
    QList<NumberedLine> found;
    bool inExample = false;
    bool continued = false;
    const QStringList lines = roff.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line == u".EX") {
            inExample = true;
            continued = false;
            continue;
        }
        if (line == u".EE") {
            inExample = false;
            continue;
        }
        if (!inExample || line.startsWith(u'.'))
            continue;
        QString text = RoffPlainText(line);
        const bool continues = text.endsWith(u'\\');
        if (continues)
            text.chop(1);
        if (continued)
            found.last().text += u' ' + text.trimmed();
        else
            found.append({int(i + 1), text.trimmed()});
        continued = continues;
    }
    return found;
}

// --- Markdown -----------------------------------------------------------------------------------

QList<FencedBlock> FencedBlocks(const QString& markdown)
{
    QList<FencedBlock> blocks;
    const QStringList lines = markdown.split(u'\n');
    bool open = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QStringLiteral("```"))) {
            if (!open)
                blocks.append({line.mid(3).trimmed(), int(i + 2), {}});
            open = !open;
            continue;
        }
        if (open)
            blocks.last().lines << line;
    }
    return blocks;
}

QList<NumberedLine> InlineCodeSpans(const QString& markdown)
{
    QList<NumberedLine> spans;
    static const QRegularExpression span(QStringLiteral("`([^`\\n]+)`"));
    const QStringList lines = markdown.split(u'\n');
    bool fenced = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QStringLiteral("```"))) {
            fenced = !fenced;
            continue;
        }
        if (fenced)
            continue;
        for (auto it = span.globalMatch(lines[i]); it.hasNext();)
            spans.append({int(i + 1), it.next().captured(1)});
    }
    return spans;
}

// --- --help ---------------------------------------------------------------------------------------

namespace {

// "--help, -h" → {"--help", "-h"} and 0 words after them; "--set ID=VALUE" → {"--set"} and 1.
struct OptionEntry {
    QStringList names;
    int arguments = 0;
};

OptionEntry SplitEntry(const QString& entry)
{
    OptionEntry split;
    bool aliases = true;
    for (QString word : entry.split(u' ', Qt::SkipEmptyParts)) {
        const bool alias = aliases && word.startsWith(u'-');
        if (alias) {
            const bool more = word.endsWith(u',');
            if (more)
                word.chop(1);
            split.names << word;
            aliases = more;
        } else {
            aliases = false;
            ++split.arguments;
        }
    }
    return split;
}

} // namespace

QStringList HelpContract::optionNames() const
{
    QStringList names;
    for (const QString& option : options)
        names << SplitEntry(option).names;
    return names;
}

int HelpContract::argumentCount(const QString& name) const
{
    for (const QString& option : options) {
        const OptionEntry entry = SplitEntry(option);
        if (entry.names.contains(name))
            return entry.arguments;
    }
    return -1;
}

HelpContract ReadHelp(const QString& help)
{
    HelpContract contract;
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

QStringList HelpEnvironment(const QString& help)
{
    QStringList names;
    bool inSection = false;
    static const QRegularExpression entry(QStringLiteral("^  ([A-Z][A-Z0-9_]*(?:, [A-Z][A-Z0-9_]*)*)(?:  |$)"));
    for (const QString& line : help.split(u'\n')) {
        if (!line.startsWith(u' ') && !line.isEmpty()) {
            inSection = line == u"Environment:";
            continue;
        }
        if (!inSection)
            continue;
        const QRegularExpressionMatch match = entry.match(line);
        if (match.hasMatch())
            names << match.captured(1).split(QStringLiteral(", "));
    }
    return names;
}

} // namespace zq::docs
