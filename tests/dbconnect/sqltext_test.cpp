// Values and patterns as SQL text: quotes doubled, wildcards translated, and nothing a statement
// cannot carry (a NUL ends a text, a lone surrogate is no character).
#include "SqlText.h"
#include <gtest/gtest.h>

using namespace zq;

TEST(PatternConversion, WildcardsAndQuotes)
{
    struct Case { QString in, out; };
    const Case cases[] = {
        {"*GB*", "%GB%"},
        {"A?B", "A_B"},
        {"*O'Brien*", "%O''Brien%"},
        {"''", "''''"},
        {"零件*", "零件%"},
        {"", ""},
        {"plain", "plain"},
        {"100%", "100%"},
        {QString("A*") + QChar(0) + "'B", "A%"},   // a text ends at a NUL: SQL text cannot hold one
    };
    for (const Case& c : cases)
        EXPECT_EQ(PatternToSql(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(SqlQuote("it's"), "it''s");
    EXPECT_EQ(SqlQuote("*"), "*");
    EXPECT_EQ(SqlQuote(QString("it's") + QChar(0) + "'"), "it''s");
    // A lone surrogate is no character; the engines' text conversions would break the statement on it.
    EXPECT_EQ(SqlQuote(QString("a") + QChar(0xDC00) + "'"), QString("a") + QChar(0xFFFD) + "''");
    // A typed text is cut before it is trimmed: the blanks before a NUL go too.
    EXPECT_EQ(TypedSqlText(QString(" a ") + QChar(0) + "x"), "a");
}
