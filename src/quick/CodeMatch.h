#pragma once
// Codes (drawing numbers, document and order numbers) compared as users type them: letter case
// and character width folded by the one rule every search uses (SearchFolding.h), and the
// separators space, '-', '_', '.', '/' and '·' forgiven, so "zq8600 01", "ZQ8600-01" and
// "ＺＱ８６００－０１" all name drawing ZQ8600-01. The pages' wildcards keep their meaning:
// '*' any run of characters, '?' one character.
#include "MatchTier.h"

#include <QRegularExpression>
#include <QString>
#include <optional>

namespace zq::quick {

bool IsCodeSeparator(QChar c);

// Folded for search, each separator as '-': equal keys are codes that differ only in case,
// width, or which separator stands at a place.
QString CodeKey(const QString& code);
// Folded for search, without separators.
QString BareCode(const QString& code);

bool HasWildcard(const QString& text);

// One typed code, prepared once and compared with many stored codes.
class CodeMatcher {
public:
    explicit CodeMatcher(const QString& typed);
    std::optional<MatchTier> tier(const QString& code) const;
private:
    QString m_key;
    QString m_bare;
    bool m_wildcard = false;
    QRegularExpression m_sameRegex, m_nearRegex, m_startRegex, m_containsRegex;
};

// One typed word against names and other texts: somewhere in the text, folded, with the
// wildcards; or, for a word typed in double quotes, exactly as typed.
class TextMatcher {
public:
    TextMatcher(const QString& typed, bool exact);
    bool matches(const QString& text) const;
private:
    QString m_word;
    bool m_exact = false;
    bool m_wildcard = false;
    QRegularExpression m_regex;
};

// The code tier of a code against the typed code: 编号相同, 编号近似, 编号开头, 编号包含, or
// nothing when the typed code is not in it at all.
std::optional<MatchTier> CodeTier(const QString& typed, const QString& code);

// Text matching as the quick search does it for names and other texts: the typed word somewhere
// in the text, folded, with the wildcards '*' and '?'.
bool TextContains(const QString& text, const QString& typed);

// A LIKE pattern (for the database's case-blind LIKE) that every code CodeTier finds matches:
// the typed code's characters without separators, in order, anything between them. The engine
// narrows, CodeTier decides.
QString CodeLikePattern(const QString& typed);

// The distance in edits between two codes without separators, folded; to name the nearest code.
int CodeDistance(const QString& a, const QString& b);

} // namespace zq::quick
