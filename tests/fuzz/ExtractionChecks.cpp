#include "ExtractionChecks.h"

namespace zqfuzz {

namespace {

bool IsBlank(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

} // namespace

void CheckExtraction(const zq::extract::Extraction& e, const zq::extract::ExtractLimits& limits, const char* reader)
{
    const QString where = QString::fromLatin1(reader) + QStringLiteral(": ") + e.error + QStringLiteral(" | ") + e.note;
    Check(e.ok == e.error.isEmpty(), "ok exactly when there is no error", where);
    Check(e.ok || e.text.isEmpty(), "no text from a file that could not be read", where);
    Check(e.text.size() <= std::max<qsizetype>(limits.maxTextChars, 0), "the text limit holds", where);
    Check(!e.truncated || !e.note.isEmpty(), "every cut is noted", where);
    if (limits.timeLimitMs == 0)
        Check(e.text.isEmpty(), "a time limit of 0 reads nothing", where);
    const QString& t = e.text;
    Check(t.isEmpty() || (!IsBlank(t.front()) && !IsBlank(t.back())), "no whitespace at either end", where);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (IsBlank(c)) {
            Check(c == u' ' || c == u'\n', "only a space or a newline between words", where);
            Check(!IsBlank(t[i + 1]), "whitespace is folded", where);
        }
        Check(c != QChar(0xFEFF), "no byte-order mark in the text", where);
        if (c.isHighSurrogate()) {
            Check(i + 1 < t.size() && t[i + 1].isLowSurrogate(), "no half of a pair", where);
            ++i;
        } else {
            Check(!c.isLowSurrogate(), "no half of a pair", where);
        }
    }
}

zq::extract::ExtractLimits PickLimits(FuzzedDataProvider& input, qsizetype fileSize)
{
    zq::extract::ExtractLimits limits;
    limits.maxTextChars = input.ConsumeIntegralInRange<qsizetype>(0, 4096);
    limits.maxReadBytes = input.ConsumeIntegralInRange<qint64>(0, fileSize + 16);
    limits.timeLimitMs = input.ConsumeIntegralInRange(0, 31) == 0 ? 0 : 60000;
    return limits;
}

QString Visible(const QString& text)
{
    QString visible;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            visible += c;
            visible += text[++i];
        } else if (c.isSurrogate()) {
            visible += QChar(QChar::ReplacementCharacter);
        } else if (!IsBlank(c) && c != QChar(0xFEFF)) {
            visible += c;
        }
    }
    return visible;
}

} // namespace zqfuzz
