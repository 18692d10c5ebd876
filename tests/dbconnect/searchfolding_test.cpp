// The one folding rule of the searches: letter case by Unicode's simple case folding, width of the
// full-width forms, one character for one, so positions in folded text hold in the original.
#include "SearchFolding.h"

#include <QChar>
#include <gtest/gtest.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

TEST(SearchFolding, FoldsCaseOfEveryScriptAndWidthOfFullWidthFormsOnly)
{
    const struct {
        const char* text;
        const char* forSearch;   // FoldForSearch
        const char* caseOnly;    // FoldCase
    } cases[] = {
        {"Φ40×320", "φ40×320", "φ40×320"},
        {"ÄÖÜ ÀÉ Ñ", "äöü àé ñ", "äöü àé ñ"},
        {"ЯБЛОКО Ёж", "яблоко ёж", "яблоко ёж"},
        {"ΣΟΦΟΣ σοφος", "σοφοσ σοφοσ", "σοφοσ σοφοσ"},              // final sigma folds to sigma
        {"ＣＨ３２Ｖ００３", "ch32v003", "ｃｈ３２ｖ００３"},            // width only for the search
        {"（Ａ－Ｂ）！＠＃", "(a-b)!@#", "（ａ－ｂ）！＠＃"},
        {"甲\u3000乙", "甲 乙", "甲\u3000乙"},                         // the ideographic space
        {"￥５　￡", "¥5 £", "￥５\u3000￡"},
        {"㎜ ① ½ ﬁ Ⅻ", "㎜ ① ½ ﬁ ⅻ", "㎜ ① ½ ﬁ ⅻ"},                  // no compatibility mapping
        {"İ ß ẞ", "İ ß ß", "İ ß ß"},                                   // no simple folding of İ; ẞ → ß
        {"\u00B5m \u212A \u212B", "\u03BCm k \u00E5", "\u03BCm k \u00E5"},     // micro, Kelvin and ångström signs
        {"𐐀𐐁 𝄞 😀", "𐐨𐐩 𝄞 😀", "𐐨𐐩 𝄞 😀"},                             // beyond the BMP: Deseret folds
        {"中文 ZQ8600-01 o'型", "中文 zq8600-01 o'型", "中文 zq8600-01 o'型"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(str(FoldForSearch(text)), c.forSearch) << c.text;
        EXPECT_EQ(str(FoldCase(text)), c.caseOnly) << c.text;
    }
}

TEST(SearchFolding, LoneSurrogatesStayAsTheyAre)
{
    const QString broken = QString(QChar(0xD800)) + u'A' + QChar(0xDC00) + QChar(0xD801);
    const QString expected = QString(QChar(0xD800)) + u'a' + QChar(0xDC00) + QChar(0xD801);
    EXPECT_EQ(FoldForSearch(broken), expected);
    EXPECT_EQ(FoldCase(broken), expected);
}

// Over every code point: a folded character stays in its plane (so UTF-16 positions hold too),
// folding twice changes nothing more, and the text functions agree with the character ones.
TEST(SearchFolding, EveryCodePointKeepsItsPlaneAndFoldsOnce)
{
    int folded = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        for (char32_t (*fold)(char32_t) : {static_cast<char32_t (*)(char32_t)>(&FoldCase),
                                           static_cast<char32_t (*)(char32_t)>(&FoldForSearch)}) {
            const char32_t once = fold(c);
            ASSERT_EQ(QChar::requiresSurrogates(once), QChar::requiresSurrogates(c)) << std::hex << unsigned(c);
            ASSERT_EQ(fold(once), once) << std::hex << unsigned(c);
        }
        if (FoldForSearch(c) != c)
            ++folded;
        const QString one = QString::fromUcs4(&c, 1);
        const char32_t expected = FoldForSearch(c);
        ASSERT_EQ(FoldForSearch(one), QString::fromUcs4(&expected, 1)) << std::hex << unsigned(c);
    }
    EXPECT_GT(folded, 1200);   // Latin, Greek, Cyrillic, Armenian, Georgian, Deseret, full-width, ...
}

} // namespace
