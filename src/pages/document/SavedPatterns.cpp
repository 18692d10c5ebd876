#include "SavedPatterns.h"

#include "GbkText.h"
#include "ZQPDMFC.h"

namespace zq::document {

namespace {

const QString kBlockStart = QStringLiteral("[查询名称]");
const QString kBlockEnd = QStringLiteral("[名称结束]");

// The lines of a text without their line ends (CR LF, LF or CR), as the line reader gives them.
QStringList Lines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QString SavedPatternsPath()
{
    return InstallPath(QStringLiteral("RNDS\\SPT\\search.ini"));
}

QStringList ReadSavedPatterns(const QString& path)
{
    bool ok = false;
    const QStringList lines = Lines(ReadTextFile(path, &ok));
    QStringList patterns;
    if (!ok)
        return patterns;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!EqualsNoCase(lines[i], kBlockStart))
            continue;
        // Every line up to the end line is a pattern, whatever it looks like.
        for (++i; i < lines.size() && lines[i] != kBlockEnd; ++i)
            patterns.append(lines[i]);
    }
    return patterns;
}

bool WriteSavedPatterns(const QString& path, const QStringList& patterns)
{
    QString text = kBlockStart + u'\n';
    for (const QString& pattern : patterns)
        text += pattern + u'\n';
    text += kBlockEnd + u'\n';
    return WriteGbkFile(path, text);
}

bool RememberPattern(QStringList& patterns, const QString& pattern)
{
    for (const QString& known : std::as_const(patterns))
        if (EqualsNoCase(known, pattern))
            return false;
    if (patterns.size() > kRecentPatternCount - 1)
        patterns.removeLast();
    patterns.prepend(pattern);
    return true;
}

} // namespace zq::document
