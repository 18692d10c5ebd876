#include "ExtractCases.h"

#include <gtest/gtest.h>

namespace zq::test {

using zq::extract::Extraction;
using zq::extract::ExtractTextFromBytes;

void ExpectTexts(const std::vector<TextCase>& cases)
{
    for (const TextCase& c : cases) {
        const Extraction e = ExtractTextFromBytes(c.type, c.bytes);
        EXPECT_TRUE(e.ok) << c.what << ": " << str(e.error);
        EXPECT_EQ(str(e.text), c.text) << c.what;
        EXPECT_FALSE(e.truncated) << c.what;
    }
}

void ExpectDamage(const std::vector<DamageCase>& cases)
{
    for (const DamageCase& c : cases) {
        const Extraction e = ExtractTextFromBytes(c.type, c.bytes);
        EXPECT_EQ(e.ok, c.ok) << c.what << ": " << str(e.error);
        const QString told = c.ok ? e.note : e.error;
        EXPECT_TRUE(told.startsWith(QString::fromUtf8(c.message))) << c.what << ": " << str(told);
        if (!c.ok) {
            EXPECT_TRUE(e.text.isEmpty()) << c.what;
        }
    }
}

} // namespace zq::test
