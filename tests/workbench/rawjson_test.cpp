// A JSON text cut into its parts as written: the cuts fall between values whatever the values
// hold (brackets and escaped quotes inside strings, nesting, numbers the parser would round), and
// a text that is no object or array gives nothing.
#include "RawJson.h"

#include <gtest/gtest.h>

namespace {

TEST(RawJson, ObjectMembersAreTheBytesAsWritten)
{
    const struct {
        const char* name;
        QByteArray text;
        QStringList keys;
        QByteArrayList values;
    } cases[] = {
        {"empty", " { } ", {}, {}},
        {"spacing kept inside, trimmed around", "{\n  \"a\" :  [1, 2 ] ,\"b\":true}\n", {"a", "b"}, {"[1, 2 ]", "true"}},
        {"brackets and quotes in strings", R"({"x": "]}\"{[", "y": {"z": "}"}})", {"x", "y"}, {R"("]}\"{[")", R"({"z": "}"})"}},
        {"escaped key", R"({"\u7532\"": 12345678901234567890})", {QStringLiteral("甲\"")}, {"12345678901234567890"}},
        {"numbers as written", R"({"n": -0.50e+3, "m": null})", {"n", "m"}, {"-0.50e+3", "null"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QList<zq::RawMember>> members = zq::RawObjectMembers(c.text);
        ASSERT_TRUE(members.has_value());
        QStringList keys;
        QByteArrayList values;
        for (const zq::RawMember& member : *members) {
            keys << member.key;
            values << member.value;
        }
        EXPECT_EQ(keys, c.keys);
        EXPECT_EQ(values, c.values);
    }
}

TEST(RawJson, ArrayElementsAreTheBytesAsWritten)
{
    EXPECT_EQ(zq::RawArrayElements("[]"), QList<QByteArray>());
    EXPECT_EQ(zq::RawArrayElements(R"([ {"a": "[,]"} , "\\" ,[[]],1.0])"),
              (QList<QByteArray>{R"({"a": "[,]"})", R"("\\")", "[[]]", "1.0"}));
}

TEST(RawJson, WhatIsNoObjectOrArrayGivesNothing)
{
    for (const QByteArray& text : QByteArrayList{"", "{", "{\"a\":1,}", "{\"a\" 1}", "[1,]", "\"s\"", "1", "{} x", "[1] [2]"}) {
        EXPECT_FALSE(zq::RawObjectMembers(text).has_value()) << text.toStdString();
        EXPECT_FALSE(zq::RawArrayElements(text).has_value()) << text.toStdString();
    }
    EXPECT_FALSE(zq::RawObjectMembers("[1]").has_value());
    EXPECT_FALSE(zq::RawArrayElements("{}").has_value());
}

} // namespace
