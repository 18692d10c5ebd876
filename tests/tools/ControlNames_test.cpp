// Naming controls and grid rows on the command line: exact labels first, a trailing colon (ASCII
// or full-width) optional, several matches narrowed to the kinds the action takes.
#include "ControlNames.h"

#include <gtest/gtest.h>

using zq::tool::ControlNames;
using zq::tool::NamedControl;
using zq::tool::NameLookup;

namespace {

const QList<NamedControl> kControls{
    {1204, "date", "日期:"}, {1258, "date", "到:"}, {1256, "combo", "条件:"},
    {1318, "grid", ""}, {1041, "check", "从："}, {1042, "date", "从"},
    {1309, "button", "..."}, {1310, "button", "增加"}, {1311, "text", "增加"},
    {1320, "edit", "名称:"}, {1321, "edit", "名称："},
};

struct ControlCase {
    const char* name;
    QStringList kinds;
    NameLookup::Result result;
    QList<int> ids;   // Found: the id; Ambiguous and Unknown: the candidates' ids
};

class ControlLookup : public testing::TestWithParam<ControlCase> {};

TEST_P(ControlLookup, FindsTheControlOrListsTheCandidates)
{
    const ControlCase& c = GetParam();
    const NameLookup lookup = ControlNames::findControl(kControls, QString::fromUtf8(c.name), c.kinds);
    EXPECT_EQ(lookup.result, c.result) << c.name;
    QList<int> ids;
    if (lookup.result == NameLookup::Result::Found)
        ids.append(kControls[lookup.found].id);
    for (qsizetype i : lookup.candidates)
        ids.append(kControls[i].id);
    EXPECT_EQ(ids, c.ids) << c.name;
}

using R = NameLookup::Result;
const QStringList kSet{"edit", "combo", "check", "radio", "date"};
const QStringList kClick{"button", "check", "radio"};

INSTANTIATE_TEST_SUITE_P(Cases, ControlLookup, testing::Values(
    ControlCase{"条件:", kSet, R::Found, {1256}},
    ControlCase{"条件", kSet, R::Found, {1256}},
    ControlCase{"条件：", kSet, R::Found, {1256}},
    ControlCase{" 条件 ", kSet, R::Found, {1256}},
    ControlCase{"...", kClick, R::Found, {1309}},
    // Exact wins: "从" is the date picker's label, "从：" the check box's.
    ControlCase{"从", kSet, R::Found, {1042}},
    ControlCase{"从：", kSet, R::Found, {1041}},
    ControlCase{"从:", kSet, R::Ambiguous, {1041, 1042}},
    // Two matches, one of the kind the action takes.
    ControlCase{"增加", kClick, R::Found, {1310}},
    ControlCase{"增加", kSet, R::Ambiguous, {1310, 1311}},
    ControlCase{"名称", kSet, R::Ambiguous, {1320, 1321}},
    ControlCase{"名称:", kSet, R::Found, {1320}},
    // A name of the wrong kind still names its control: the action then says what it cannot do.
    ControlCase{"条件", kClick, R::Found, {1256}},
    ControlCase{"条", kClick, R::Unknown, {1041, 1309, 1310}},
    ControlCase{":", kSet, R::Unknown, {1204, 1258, 1256, 1041, 1042, 1320, 1321}},
    ControlCase{"", {}, R::Unknown, {1204, 1258, 1256, 1041, 1042, 1309, 1310, 1311, 1320, 1321}}));

TEST(ControlNames, RowsByNameAndTheCandidatesListed)
{
    const QStringList rows{"图号", "图名", "处理意见", "处理意见"};
    NameLookup lookup = ControlNames::findRow(rows, "图名");
    EXPECT_EQ(lookup.result, R::Found);
    EXPECT_EQ(lookup.found, 1);
    lookup = ControlNames::findRow(rows, "处理意见：");
    EXPECT_EQ(lookup.result, R::Ambiguous);
    EXPECT_EQ(ControlNames::listRows(rows, lookup.candidates), "2 处理意见, 3 处理意见");
    lookup = ControlNames::findRow(rows, "材料");
    EXPECT_EQ(lookup.result, R::Unknown);
    EXPECT_EQ(ControlNames::listRows(rows, lookup.candidates), "0 图号, 1 图名, 2 处理意见, 3 处理意见");
    EXPECT_EQ(ControlNames::listRows({}, ControlNames::findRow({}, "x").candidates), "(none)");
    EXPECT_EQ(ControlNames::listControls(kControls, {2, 6}), "1256 条件:, 1309 ...");
}

} // namespace
