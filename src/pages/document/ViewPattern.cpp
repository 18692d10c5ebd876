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

// Upper-cases ASCII letters into out; the two bytes of a double-byte character stay as they are.
void UpperAscii(QByteArrayView text, QByteArray& out)
{
    out.resize(text.size());
    char* write = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (IsLeadByte(byte) && i + 1 < text.size()) {
            write[i] = byte;
            ++i;   // the trail byte may look like a letter
            write[i] = text[i];
            continue;
        }
        write[i] = (byte >= 'a' && byte <= 'z') ? char(byte - 'a' + 'A') : byte;
    }
}

} // namespace

ViewPattern::ViewPattern(const QByteArray& pattern) : m_hasStar(pattern.contains(kStar))
{
    UpperAscii(pattern, m_upper);
    // "*" and "?" each a token of their own, every run of other bytes one token. Neither wildcard
    // byte can be part of a multi-byte character, so a byte-wise cut keeps characters whole.
    const QByteArrayView upper(m_upper);
    qsizetype start = 0;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        if (upper[i] != kStar && upper[i] != kQuestion)
            continue;
        if (i > start)
            m_tokens.append({Kind::Literal, upper.sliced(start, i - start)});
        m_tokens.append({upper[i] == kStar ? Kind::Star : Kind::Question, upper.sliced(i, 1)});
        start = i + 1;
    }
    if (start < upper.size())
        m_tokens.append({Kind::Literal, upper.sliced(start)});
}

bool ViewPattern::Matches(QByteArrayView text) const
{
    if (!m_hasStar && m_upper.size() != text.size())
        return false;
    UpperAscii(text, m_text);

    enum class Previous { None, Star, Question, Literal } previous = Previous::None;
    QByteArrayView rest(m_text);
    for (const Token& token : m_tokens) {
        switch (token.kind) {
        case Kind::Question:
            if (rest.isEmpty())
                return false;
            rest = rest.sliced(1);
            // After the first token a "?" passes the token before it on, so a run after "*?"
            // is still searched anywhere.
            if (previous == Previous::None)
                previous = Previous::Question;
            break;
        case Kind::Star:
            previous = Previous::Star;
            break;
        case Kind::Literal:
            if (previous == Previous::Star) {
                const qsizetype at = rest.indexOf(token.bytes);
                if (at < 0)
                    return false;
                rest = rest.sliced(at + token.bytes.size());
            } else {
                if (!rest.startsWith(token.bytes))
                    return false;
                rest = rest.sliced(token.bytes.size());
            }
            previous = Previous::Literal;
            break;
        }
    }
    return true;
}

bool MatchViewPattern(const QByteArray& pattern, const QByteArray& text)
{
    return ViewPattern(pattern).Matches(text);
}

bool MatchViewPattern(const QString& pattern, const QString& text)
{
    return MatchViewPattern(EncodeGbk(pattern), EncodeGbk(text));
}

} // namespace zq::document
