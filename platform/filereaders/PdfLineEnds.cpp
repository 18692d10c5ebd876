#include "PdfLineEnds.h"

namespace zq::extract {

namespace {

constexpr char16_t kPdfiumLineEndHyphen = 0xFFFE;

bool IsLineEnd(char16_t c)
{
    return c == u'\n' || c == u'\r';
}

bool IsLineSpace(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool IsHyphen(char16_t c)
{
    return c == u'-' || c == 0x00AD || c == 0x2010;   // hyphen-minus, soft hyphen, hyphen
}

char32_t CodePointAt(QStringView text, qsizetype i)
{
    if (i >= text.size())
        return 0;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[i], text[i + 1]);
    return text[i].unicode();
}

char32_t LastCodePoint(const QString& text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return 0;
    if (n >= 2 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[n - 2], text[n - 1]);
    return text[n - 1].unicode();
}

bool IsLowerLatin(char32_t c)
{
    return QChar::isLower(c) && QChar::script(c) == QChar::Script_Latin;
}

bool IsCjk(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return true;
    default:
        // CJK punctuation (、。「」) and the full-width forms (，：Ａ１) set in the same lines
        return (c > 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFFEF);
    }
}

// The end of the blanks from `i` on: spaces, tabs and line ends.
qsizetype SkipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && (IsLineSpace(text[i].unicode()) || IsLineEnd(text[i].unicode())))
        ++i;
    return i;
}

// Whether the spaces and tabs from `i` on end in a line end.
bool LineEndFollows(QStringView text, qsizetype i)
{
    while (i < text.size() && IsLineSpace(text[i].unicode()))
        ++i;
    return i < text.size() && IsLineEnd(text[i].unicode());
}

// A hyphen at a line end, `asWritten` being the hyphen with its line end, before the text at `next`.
void JoinHyphen(QString& out, QStringView asWritten, char32_t next)
{
    const char32_t before = LastCodePoint(out);
    if (IsLowerLatin(before) && IsLowerLatin(next))
        return;   // a word hyphenated by the line's width
    if (QChar::isLetterOrNumber(before) && QChar::isLetterOrNumber(next))
        out += u'-';   // a code or a compound that holds its hyphen
    else
        out += asWritten;
}

} // namespace

QString JoinPdfLineEnds(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = text[i].unicode();
        if (c == kPdfiumLineEndHyphen) {
            const qsizetype next = SkipBlanks(text, i + 1);
            JoinHyphen(out, u"-\n", CodePointAt(text, next));
            i = next;
        } else if (IsHyphen(c) && LineEndFollows(text, i + 1) && SkipBlanks(text, i + 1) < n) {
            const qsizetype next = SkipBlanks(text, i + 1);
            JoinHyphen(out, text.sliced(i, next - i), CodePointAt(text, next));
            i = next;
        } else if (IsLineSpace(c) || IsLineEnd(c)) {
            qsizetype spaces = i;
            while (spaces < n && IsLineSpace(text[spaces].unicode()))
                ++spaces;
            const bool lineEnd = spaces < n && IsLineEnd(text[spaces].unicode());
            const qsizetype next = lineEnd ? SkipBlanks(text, spaces) : spaces;
            // A line end between two CJK characters goes with the blanks around it.
            if (!(lineEnd && IsCjk(LastCodePoint(out)) && IsCjk(CodePointAt(text, next))))
                out += text.sliced(i, next - i);
            i = next;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

} // namespace zq::extract
