#include "CodeMatch.h"

#include "SearchFolding.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace zq::quick {

namespace {

// A wildcard pattern as a regular expression over folded text: '*' any run, '?' one character.
QString GlobToRegex(const QString& pattern)
{
    QString regex;
    QString literal;
    const auto flush = [&] {
        regex += QRegularExpression::escape(literal);
        literal.clear();
    };
    for (const QChar c : pattern) {
        if (c == u'*' || c == u'?') {
            flush();
            regex += c == u'*' ? QStringLiteral(".*") : QStringLiteral(".");
        } else {
            literal += c;
        }
    }
    flush();
    return regex;
}

QRegularExpression Anchored(const QString& body, bool atStart, bool atEnd)
{
    return QRegularExpression((atStart ? QStringLiteral("\\A(?:") : QStringLiteral("(?:")) + body
                              + (atEnd ? QStringLiteral(")\\z") : QStringLiteral(")")),
                              QRegularExpression::DotMatchesEverythingOption);
}

QString WithoutSeparators(const QString& folded)
{
    QString bare;
    bare.reserve(folded.size());
    for (const QChar c : folded)
        if (!IsCodeSeparator(c))
            bare += c;
    return bare;
}

} // namespace

bool IsCodeSeparator(QChar c)
{
    return c == u' ' || c == u'-' || c == u'_' || c == u'.' || c == u'/' || c == u'\u00B7';
}

QString CodeKey(const QString& code)
{
    QString key = FoldForSearch(code);
    for (QChar& c : key)
        if (IsCodeSeparator(c))
            c = u'-';
    return key;
}

QString BareCode(const QString& code)
{
    return WithoutSeparators(FoldForSearch(code));
}

bool HasWildcard(const QString& text)
{
    return text.contains(u'*') || text.contains(u'?');
}

CodeMatcher::CodeMatcher(const QString& typed)
    : m_key(CodeKey(typed.trimmed())), m_bare(WithoutSeparators(m_key)), m_wildcard(HasWildcard(typed))
{
    if (!m_wildcard)
        return;
    const QString keyBody = GlobToRegex(m_key);
    const QString bareBody = GlobToRegex(m_bare);
    m_sameRegex = Anchored(keyBody, true, true);
    m_nearRegex = Anchored(bareBody, true, true);
    m_startRegex = Anchored(bareBody, true, false);
    m_containsRegex = Anchored(bareBody, false, false);
}

std::optional<MatchTier> CodeMatcher::tier(const QString& code) const
{
    if (m_bare.isEmpty() || m_bare == QStringLiteral("*"))
        return std::nullopt;
    const QString key = CodeKey(code);
    const QString bare = WithoutSeparators(key);
    if (m_wildcard) {
        if (m_sameRegex.match(key).hasMatch())
            return MatchTier::CodeSame;
        if (m_nearRegex.match(bare).hasMatch())
            return MatchTier::CodeNear;
        if (m_startRegex.match(bare).hasMatch())
            return MatchTier::CodeStart;
        if (m_containsRegex.match(bare).hasMatch())
            return MatchTier::CodeContains;
        return std::nullopt;
    }
    if (key == m_key)
        return MatchTier::CodeSame;
    if (bare == m_bare)
        return MatchTier::CodeNear;
    if (bare.startsWith(m_bare))
        return MatchTier::CodeStart;
    if (bare.contains(m_bare))
        return MatchTier::CodeContains;
    return std::nullopt;
}

TextMatcher::TextMatcher(const QString& typed, bool exact)
    : m_word(exact ? typed : FoldForSearch(typed)), m_exact(exact), m_wildcard(!exact && HasWildcard(typed))
{
    if (m_wildcard)
        m_regex = Anchored(GlobToRegex(m_word), false, false);
}

bool TextMatcher::matches(const QString& text) const
{
    if (m_word.isEmpty() || text.isEmpty())
        return false;
    if (m_exact)
        return text.contains(m_word);
    const QString folded = FoldForSearch(text);
    return m_wildcard ? m_regex.match(folded).hasMatch() : folded.contains(m_word);
}

std::optional<MatchTier> CodeTier(const QString& typed, const QString& code)
{
    return CodeMatcher(typed).tier(code);
}

bool TextContains(const QString& text, const QString& typed)
{
    return TextMatcher(typed, false).matches(text);
}

QString CodeLikePattern(const QString& typed)
{
    const QString bare = BareCode(SqlValueText(typed));
    QString pattern = QStringLiteral("%");
    for (qsizetype i = 0; i < bare.size(); ++i) {
        const QChar c = bare.at(i);
        if (c == u'*' || c == u'?')
            continue;
        if (c == u'\'')
            pattern += QStringLiteral("''");
        else if (c == u'[')   // a character class on SQL Server: one character of any kind instead
            pattern += u'_';
        else
            pattern += c;
        if (c.isHighSurrogate() && i + 1 < bare.size())
            pattern += bare.at(++i);
        pattern += u'%';
    }
    return pattern;
}

int CodeDistance(const QString& a, const QString& b)
{
    const QString x = BareCode(a);
    const QString y = BareCode(b);
    std::vector<int> previous(size_t(y.size()) + 1);
    std::vector<int> current(previous.size());
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= x.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= y.size(); ++j) {
            const int substitution = previous[size_t(j - 1)] + (x.at(i - 1) == y.at(j - 1) ? 0 : 1);
            current[size_t(j)] = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return previous[size_t(y.size())];
}

QString TierName(MatchTier tier)
{
    switch (tier) {
    case MatchTier::CodeSame:
        return QStringLiteral("编号相同");
    case MatchTier::CodeNear:
        return QStringLiteral("编号近似");
    case MatchTier::CodeStart:
        return QStringLiteral("编号开头");
    case MatchTier::CodeContains:
        return QStringLiteral("编号包含");
    case MatchTier::Name:
        return QStringLiteral("名称");
    case MatchTier::Other:
        return QStringLiteral("其他");
    case MatchTier::Content:
        return QStringLiteral("内容");
    }
    return {};
}

} // namespace zq::quick
