#include "TextExcerpts.h"
#include "SearchFolding.h"

#include <algorithm>

namespace zq::preview {

namespace {

const QString kEllipsis = QStringLiteral("…");

} // namespace

QList<TextRange> FindOccurrences(const QString& text, const QStringList& words)
{
    // Folding keeps every position where it was, so what is found in the folded text is there in the text.
    const QString folded = FoldForSearch(text);
    QList<TextRange> found;
    for (const QString& word : words) {
        const QString needle = FoldForSearch(word);
        if (needle.isEmpty())
            continue;
        for (qsizetype at = folded.indexOf(needle); at >= 0; at = folded.indexOf(needle, at + needle.size()))
            found.append({at, needle.size()});
    }
    std::sort(found.begin(), found.end(), [](const TextRange& a, const TextRange& b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    QList<TextRange> kept;
    for (const TextRange& range : found)
        if (kept.isEmpty() || range.start >= kept.last().start + kept.last().length)
            kept.append(range);
    return kept;
}

TextExcerpts ExcerptsAround(const QString& text, const QStringList& words, qsizetype context)
{
    TextExcerpts excerpts;
    const QList<TextRange> occurrences = FindOccurrences(text, words);
    qsizetype i = 0;
    while (i < occurrences.size()) {
        // One piece: this occurrence and those whose context touches it.
        const qsizetype from = std::max<qsizetype>(0, occurrences[i].start - context);
        qsizetype to = std::min(text.size(), occurrences[i].start + occurrences[i].length + context);
        qsizetype last = i;
        while (last + 1 < occurrences.size() && occurrences[last + 1].start - context <= to) {
            ++last;
            to = std::min(text.size(), occurrences[last].start + occurrences[last].length + context);
        }
        if (!excerpts.text.isEmpty())
            excerpts.text += QStringLiteral("\n\n");
        if (from > 0)
            excerpts.text += kEllipsis;
        const qsizetype pieceStart = excerpts.text.size();
        excerpts.text += text.mid(from, to - from);
        if (to < text.size())
            excerpts.text += kEllipsis;
        for (qsizetype k = i; k <= last; ++k)
            excerpts.hits.append({pieceStart + occurrences[k].start - from, occurrences[k].length});
        i = last + 1;
    }
    return excerpts;
}

} // namespace zq::preview
