// The typed text read as words, prefixes and quoted words, and a pasted list told from a search.
#include "QuickQuery.h"

#include <gtest/gtest.h>

using namespace zq::quick;

namespace {

QueryWord W(const char* text, Field field = Field::Any, bool exact = false)
{
    return {QString::fromUtf8(text), field, exact};
}

TEST(QuickQuery, ReadsWordsPrefixesAndQuotes)
{
    struct Case {
        const char* typed;
        QList<QueryWord> words;
    } const cases[] = {
        {"zq8600 01", {W("zq8600"), W("01")}},
        {"  箱体\t部件　", {W("箱体"), W("部件")}},
        {"图号:ZQ8600 名称：箱体", {W("ZQ8600", Field::Drawing), W("箱体", Field::Name)}},
        {"编制:张伟 内容:法兰 编号:XG2026", {W("张伟", Field::Author), W("法兰", Field::Content), W("XG2026", Field::Code)}},
        {"\"ZQ 8600\" 编号:\"A-1\"", {W("ZQ 8600", Field::Any, true), W("A-1", Field::Code, true)}},
        {"“箱 体”", {W("箱 体", Field::Any, true)}},
        {"\"open quote", {W("open quote", Field::Any, true)}},
        {"名称: 箱体", {W("箱体")}},
        {"图号 x:y", {W("图号"), W("x:y")}},
        {"\"\" \"  \"", {}},
        {"a\u0001b", {W("a"), W("b")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseQuickQuery(QString::fromUtf8(c.typed)).words, c.words) << c.typed;
}

TEST(QuickQuery, CodeTextIsTheWordsThatCompareWithCodes)
{
    EXPECT_EQ(ParseQuickQuery(QStringLiteral("zq8600 01")).codeText(), QStringLiteral("zq8600 01"));
    EXPECT_EQ(ParseQuickQuery(QStringLiteral("图号:ZQ8600 名称:箱体 编号:01")).codeText(), QStringLiteral("ZQ8600 01"));
    EXPECT_TRUE(ParseQuickQuery(QStringLiteral("内容:法兰")).codeText().isEmpty());
}

TEST(QuickQuery, PastedListIsOneCodeALineInInputOrder)
{
    const QString pasted = QStringLiteral("ZQ8600-01\r\n\n  ZQ9999  \rZQ8700-01\t2\tpcs\n\t\n");
    EXPECT_EQ(PastedCodes(pasted), (QStringList{"ZQ8600-01", "ZQ9999", "ZQ8700-01"}));
    EXPECT_TRUE(IsPastedList(pasted));
    EXPECT_FALSE(IsPastedList(QStringLiteral("ZQ8600-01\n\n")));
    EXPECT_FALSE(IsPastedList(QStringLiteral("zq8600 01")));
}

} // namespace
