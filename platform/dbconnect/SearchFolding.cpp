#include "SearchFolding.h"

#include <QChar>

namespace zq {

namespace {

char32_t FoldWidth(char32_t c)
{
    if (c == 0x3000)
        return u' ';
    if (c >= 0xFF01 && c <= 0xFF5E)
        return c - 0xFEE0;
    switch (c) {
    case 0xFF5F: return 0x2985;   // ｟ → ⦅
    case 0xFF60: return 0x2986;   // ｠ → ⦆
    case 0xFFE0: return 0x00A2;   // ￠ → ¢
    case 0xFFE1: return 0x00A3;   // ￡ → £
    case 0xFFE2: return 0x00AC;   // ￢ → ¬
    case 0xFFE3: return 0x00AF;   // ￣ → ¯
    case 0xFFE4: return 0x00A6;   // ￤ → ¦
    case 0xFFE5: return 0x00A5;   // ￥ → ¥
    case 0xFFE6: return 0x20A9;   // ￦ → ₩
    default: return c;
    }
}

template <char32_t (*Fold)(char32_t)>
QString FoldText(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            *out++ = QChar(unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit);
            continue;
        }
        // A folding that would leave the character's plane is not taken, so that positions hold (no
        // simple folding does so). A lone surrogate is no character: it stays as it is.
        if (QChar::isHighSurrogate(unit) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            char32_t c = Fold(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            if (!QChar::requiresSurrogates(c))
                c = QChar::surrogateToUcs4(unit, text[i + 1].unicode());
            *out++ = QChar(QChar::highSurrogate(c));
            *out++ = QChar(QChar::lowSurrogate(c));
            ++i;
            continue;
        }
        const char32_t c = QChar::isSurrogate(unit) ? unit : Fold(unit);
        *out++ = QChar(QChar::requiresSurrogates(c) ? unit : char16_t(c));
    }
    return folded;
}

} // namespace

char32_t FoldCase(char32_t c)
{
    if (c < 0x80)
        return c >= U'A' && c <= U'Z' ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

char32_t FoldForSearch(char32_t c)
{
    return FoldCase(FoldWidth(c));
}

QString FoldCase(QStringView text)
{
    return FoldText<static_cast<char32_t (*)(char32_t)>(&FoldCase)>(text);
}

QString FoldForSearch(QStringView text)
{
    return FoldText<static_cast<char32_t (*)(char32_t)>(&FoldForSearch)>(text);
}

} // namespace zq
