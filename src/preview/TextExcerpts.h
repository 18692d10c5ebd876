#pragma once
// The text around every occurrence of the searched words in a file's text, as the preview of a
// 文档内容 hit shows it: each occurrence with some text before and after, pieces that touch joined,
// the words found the way the content search finds them (letter case and width folded).
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::preview {

struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// Every occurrence of any of the words, in order, none inside another.
QList<TextRange> FindOccurrences(const QString& text, const QStringList& words);

struct TextExcerpts {
    QString text;              // the pieces, "…" where text was left out, a blank line between pieces
    QList<TextRange> hits;     // the occurrences, in text
};

TextExcerpts ExcerptsAround(const QString& text, const QStringList& words, qsizetype context = 60);

} // namespace zq::preview
