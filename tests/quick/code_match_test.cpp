// Codes as users type them: case, width and separators forgiven, the tiers told apart, the
// wildcards of the pages kept, and the engine's LIKE pattern never narrower than the exact test.
#include "CodeMatch.h"

#include <gtest/gtest.h>

using namespace zq::quick;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

struct TierCase {
    const char* typed;
    const char* code;
    std::optional<MatchTier> tier;
};

TEST(CodeMatch, TellsTheTiersApart)
{
    const TierCase cases[] = {
        {"zq8600 01", "ZQ8600-01", MatchTier::CodeSame},
        {"ZQ8600-01", "ZQ8600-01", MatchTier::CodeSame},
        {"ＺＱ８６００－０１", "ZQ8600-01", MatchTier::CodeSame},
        {"zq8600·01", "ZQ8600/01", MatchTier::CodeSame},
        {"zq8600 01", "ZQ860-001", MatchTier::CodeNear},
        {"ZQ860001", "ZQ8600-01", MatchTier::CodeNear},
        {"zq8600--01", "ZQ8600-01", MatchTier::CodeNear},
        {"ZQ8600-01", "ZQ8600-010", MatchTier::CodeStart},
        {"ZQ8600-01", "ZQ8600-01-02", MatchTier::CodeStart},
        {"8600-01", "ZQ8600-01-02", MatchTier::CodeContains},
        {"Φ40", "φ40-1", MatchTier::CodeStart},
        {"ZQ86*-01", "ZQ8600-01", MatchTier::CodeSame},
        {"ZQ8600-0?", "ZQ8600-01", MatchTier::CodeSame},
        {"ZQ8600-0?", "ZQ8600-012", MatchTier::CodeStart},
        {"8?00", "ZQ8600-01", MatchTier::CodeContains},
        {"ZQ8700", "ZQ8600-01", std::nullopt},
        {"ZQ8600-01", "ZQ8600", std::nullopt},
        {"--", "ZQ8600-01", std::nullopt},
        {"a.b", "A(B", std::nullopt},
    };
    for (const TierCase& c : cases) {
        const auto tier = CodeTier(QString::fromUtf8(c.typed), QString::fromUtf8(c.code));
        EXPECT_EQ(tier, c.tier) << c.typed << " vs " << c.code << ": "
                                << (tier ? str(TierName(*tier)) : std::string("none"));
    }
}

TEST(CodeMatch, TextsMatchFoldedOrExactlyWhenQuoted)
{
    struct Case {
        const char* text;
        const char* typed;
        bool exact;
        bool matches;
    } const cases[] = {
        {"箱体部件", "箱体", false, true},
        {"Gear BOX", "box", false, true},
        {"ＣＨ３２ 法兰", "ch32", false, true},
        {"Gear BOX", "box", true, false},
        {"Gear BOX", "BOX", true, true},
        {"视孔盖板", "视*板", false, true},
        {"视孔盖板", "视?板", false, false},
        {"a*b", "a*b", true, true},
        {"", "x", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextMatcher(QString::fromUtf8(c.typed), c.exact).matches(QString::fromUtf8(c.text)), c.matches)
            << c.text << " / " << c.typed << (c.exact ? " (quoted)" : "");
}

// What the engine narrows with must let through every code the exact test finds, and a typed
// quote never ends the literal.
TEST(CodeMatch, LikePatternKeepsEveryCodeItCouldFind)
{
    EXPECT_EQ(CodeLikePattern(QStringLiteral("ＺＱ８６００－０１")), QStringLiteral("%z%q%8%6%0%0%0%1%"));
    EXPECT_EQ(CodeLikePattern(QStringLiteral("ZQ8600 01")), CodeLikePattern(QStringLiteral("zq-86.00/01")));
    EXPECT_EQ(CodeLikePattern(QStringLiteral("O'R")), QStringLiteral("%o%''%r%"));
    EXPECT_EQ(CodeLikePattern(QStringLiteral("A*B?")), QStringLiteral("%a%b%"));
    EXPECT_EQ(CodeLikePattern(QStringLiteral("[x]")), QStringLiteral("%_%x%]%"));
    EXPECT_EQ(CodeLikePattern(QStringLiteral("x\u0000' OR 1=1")), QStringLiteral("%x%"));
}

TEST(CodeMatch, DistanceCountsEditsWithoutSeparators)
{
    EXPECT_EQ(CodeDistance(QStringLiteral("ZQ8600-01"), QStringLiteral("zq8600 01")), 0);
    EXPECT_EQ(CodeDistance(QStringLiteral("ZQ8600-09"), QStringLiteral("ZQ8600-01")), 1);
    EXPECT_EQ(CodeDistance(QStringLiteral("ZQ8600-01-0"), QStringLiteral("ZQ8600-01")), 1);
    EXPECT_EQ(CodeDistance(QString(), QStringLiteral("abc")), 3);
}

} // namespace
