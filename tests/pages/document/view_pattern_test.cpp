// The tree-item pattern of the "数据视图项" page: matched byte by byte on GBK (GB18030) texts.
#include "ViewPattern.h"

#include <gtest/gtest.h>

using zq::document::MatchViewPattern;

namespace {

struct Case {
    const char* name;
    QString pattern;
    QString text;
    bool match;
};

TEST(ViewPattern, Texts)
{
    const Case cases[] = {
        // The worked examples.
        {"no_star_other_length", "AB", "ABC", false},
        {"star_at_end", "A*", "ABC", true},
        {"text_after_last_literal", "A*B", "AXBY", true},
        {"leading_star", "*B", "ABC", true},
        {"question_and_case", "a?c", "ABC", true},
        {"empty_pattern_empty_text", "", "", true},
        {"empty_pattern", "", "A", false},
        {"star_alone", "*", "", true},
        {"literal_must_begin", "B*", "ABC", false},
        {"second_literal_missing", "A*D", "ABC", false},
        {"literal_after_star_keeps_what_follows", "*B*B", "ABC", false},
        {"two_occurrences", "*B*B", "ABBC", true},
        {"question_first", "?B", "AB", true},
        // "?" after "*" passes the star on: the literal is searched anywhere.
        {"star_question_literal", "*?C", "ABXC", true},
        // "?" after a literal passes the literal on: what follows must come next.
        {"literal_question_literal", "*A?C", "XXABC", true},
        {"literal_question_literal_apart", "*A?C", "XXABXC", false},
        // Double-byte characters: a "?" is one byte, lengths count bytes.
        {"one_question_one_character", "?", QStringLiteral("轴"), false},
        {"two_questions_one_character", "??", QStringLiteral("轴"), true},
        {"questions_then_characters", "A??承", QStringLiteral("A轴承"), true},
        {"star_question_character", QStringLiteral("*?座"), QStringLiteral("轴承座"), true},
        {"characters_anywhere", QStringLiteral("*轴*"), QStringLiteral("ZQ8600-02-01 输入轴"), true},
        {"character_length_differs", QStringLiteral("轴承"), QStringLiteral("轴承座"), false},
        {"case_in_ascii_around_characters", QStringLiteral("zq*输入?? *"), QStringLiteral("ZQ8600 输入轴 部件"), true},
        // The trail byte 0x61 of 乤 is not a letter to fold: 乤 (81 61) is not 丄 (81 41).
        {"trail_byte_not_folded", QStringLiteral("x乤"), QStringLiteral("X丄"), false},
        {"trail_byte_same", QStringLiteral("x乤"), QStringLiteral("X乤"), true},
        // A character GBK lacks is compared on its four GB18030 bytes.
        {"gb18030_four_questions", "????", QStringLiteral("😀"), true},
        {"gb18030_three_questions", "???", QStringLiteral("😀"), false},
        {"gb18030_literal", QStringLiteral("*😀"), QStringLiteral("A😀"), true},
        // Nothing is read past the end of the text.
        {"question_past_end", "*?", "", false},
        {"question_after_all", "A*?", "A", false},
        {"literal_past_end", "*ABC", "AB", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchViewPattern(c.pattern, c.text), c.match) << c.name;
}

TEST(ViewPattern, MalformedBytes)
{
    // A lead byte at the end of either text is one byte like any other.
    EXPECT_TRUE(MatchViewPattern(QByteArray("A?"), QByteArray("A\x81")));
    EXPECT_TRUE(MatchViewPattern(QByteArray("a\x81"), QByteArray("A\x81")));
    EXPECT_TRUE(MatchViewPattern(QByteArray("*\x81"), QByteArray("XY\x81")));
    EXPECT_FALSE(MatchViewPattern(QByteArray("\x81*"), QByteArray()));
}

} // namespace
