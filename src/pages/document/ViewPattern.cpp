#include "ViewPattern.h"

#include "GbkText.h"

#include <QByteArrayView>
#include <QList>

namespace zq::document {

namespace {

constexpr char kStar = '*';
constexpr char kQuestion = '?';

// A GBK or GB18030 lead byte: it and the byte after it are one unit that case folding skips.
bool IsLeadByte(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x81 && value <= 0xFE;
}

QByteArray UpperAscii(const QByteArray& text)
{
    QByteArray upper = text;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        if (IsLeadByte(upper[i])) {
            ++i;   // the trail byte may look like a letter
            continue;
        }
        if (upper[i] >= 'a' && upper[i] <= 'z')
            upper[i] = char(upper[i] - 'a' + 'A');
    }
    return upper;
}

// "*" and "?" each a token of their own, every run of other bytes one token. Neither wildcard
// byte can be part of a multi-byte character, so a byte-wise cut keeps characters whole.
QList<QByteArrayView> Tokens(QByteArrayView pattern)
{
    QList<QByteArrayView> tokens;
    qsizetype start = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != kStar && pattern[i] != kQuestion)
            continue;
        if (i > start)
            tokens.append(pattern.sliced(start, i - start));
        tokens.append(pattern.sliced(i, 1));
        start = i + 1;
    }
    if (start < pattern.size())
        tokens.append(pattern.sliced(start));
    return tokens;
}

enum class TokenKind { None, Star, Question, Literal };

TokenKind KindOf(QByteArrayView token)
{
    if (token.size() == 1 && token[0] == kStar)
        return TokenKind::Star;
    if (token.size() == 1 && token[0] == kQuestion)
        return TokenKind::Question;
    return TokenKind::Literal;
}

} // namespace

bool MatchViewPattern(const QByteArray& pattern, const QByteArray& text)
{
    if (!pattern.contains(kStar) && pattern.size() != text.size())
        return false;
    const QByteArray upperPattern = UpperAscii(pattern);
    const QByteArray upperText = UpperAscii(text);

    QByteArrayView rest(upperText);
    TokenKind previous = TokenKind::None;
    for (const QByteArrayView token : Tokens(upperPattern)) {
        switch (KindOf(token)) {
        case TokenKind::Question:
            if (rest.isEmpty())
                return false;
            rest = rest.sliced(1);
            // After the first token a "?" passes the token before it on, so a run after "*?"
            // is still searched anywhere.
            if (previous == TokenKind::None)
                previous = TokenKind::Question;
            break;
        case TokenKind::Star:
            previous = TokenKind::Star;
            break;
        case TokenKind::Literal:
            if (previous == TokenKind::Star) {
                const qsizetype at = rest.indexOf(token);
                if (at < 0)
                    return false;
                rest = rest.sliced(at + token.size());
            } else {
                if (!rest.startsWith(token))
                    return false;
                rest = rest.sliced(token.size());
            }
            previous = TokenKind::Literal;
            break;
        case TokenKind::None:
            break;
        }
    }
    return true;
}

bool MatchViewPattern(const QString& pattern, const QString& text)
{
    return MatchViewPattern(EncodeGbk(pattern), EncodeGbk(text));
}

} // namespace zq::document
