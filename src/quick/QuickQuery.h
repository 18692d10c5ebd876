#pragma once
// The text typed into the quick search box as plain values: its words, each narrowed to a field
// by a prefix ("图号:", "名称:", "编号:", "内容:", "编制:", the full-width colon too) or typed in
// double quotes to match exactly as typed; and whether the text is a pasted list of codes (more
// than one line) rather than a search.
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::quick {

enum class Field {
    Any,        // no prefix: code, name or another searched text
    Drawing,    // 图号:
    Name,       // 名称:
    Code,       // 编号:
    Content,    // 内容: the text inside stored files
    Author,     // 编制:
};

struct QueryWord {
    QString text;           // without prefix and quotes
    Field field = Field::Any;
    bool exact = false;     // typed in double quotes
    bool operator==(const QueryWord& other) const = default;
};

struct QuickQuery {
    QList<QueryWord> words;
    // The words that compare with codes (no prefix, 图号:, 编号:), joined by a space: what a code
    // is ranked against, so "zq8600 01" ranks ZQ8600-01 as 编号相同.
    QString codeText() const;
    bool hasField(Field field) const;
    bool isEmpty() const { return words.isEmpty(); }
};

// Words are separated by white space; a double-quoted run is one word even with blanks in it
// (an unclosed quote runs to the end); a prefix applies to the word it starts, quoted or not.
// A prefix with nothing after it is dropped; so are control characters.
QuickQuery ParseQuickQuery(const QString& text);

// More than one line that holds something: a pasted list, one code a line.
bool IsPastedList(const QString& text);
// The lines of a pasted list that hold something, trimmed, in input order.
QStringList PastedCodes(const QString& text);

} // namespace zq::quick
