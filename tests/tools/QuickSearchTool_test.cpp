// zqpdm-search --quick and --quick-list end to end on the seeded installation with its content
// index: the columns, the counts, the exit statuses, a word only a stored PDF holds, and a
// pasted list checked in its own order.
#include "SearchToolFixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using zq::test::SearchTool;
using zq::test::ToolRun;

using QuickSearchTool = SearchTool;

TEST_F(QuickSearchTool, ExitStatusTellsHowTheRunWent)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* errorPart;
    } const cases[] = {
        {{"--quick", "ZQ8600-01", "--page", "设计零部件"}, 2, "does not go with --page"},
        {{"--quick", "ZQ8600-01", "--kind", "零件"}, 2, "\"零件\" is not a kind the quick search knows"},
        {{"--page", "更改单", "--kind", "更改单"}, 2, "--kind goes with --quick"},
        {{"--quick", "A", "--quick-list", "-"}, 2, "one at a time"},
        {{"--quick", "A", "--set", "1256=明细"}, 2, "does not go with page actions"},
        {{"--quick", " "}, 2, "a text to search for is needed"},
        {{"--quick-list", "/nonexistent-folder/codes.txt"}, 1, "ERROR\t/nonexistent-folder/codes.txt"},
        {{"--quick", "ZQ8600-01", "--db", "sqlite:/nonexistent-folder/x.db"}, 1, "ERROR\tdatabase"},
        {{"--quick", "无此编号"}, 0, "STATUS\t未找到"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments.join(u' ').toStdString() << "\n" << r.dump();
        EXPECT_TRUE(r.err.join(u'\n').contains(QString::fromUtf8(c.errorPart))) << r.dump();
    }
}

TEST_F(QuickSearchTool, ListsTheDrawingFirstWithItsTierAndCountsByKind)
{
    const ToolRun r = run(QStringList{"--quick", "ＺＱ８６００－０１"});
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    ASSERT_GE(r.out.size(), 2);
    EXPECT_EQ(r.out[0], QStringLiteral("类别\t编号\t名称\t日期\t匹配\t说明"));
    EXPECT_TRUE(r.out[1].startsWith(QStringLiteral("设计零部件\tZQ8600-01\t箱体部件\t"))) << r.out[1].toStdString();
    EXPECT_EQ(r.out[1].split(u'\t').value(4), QStringLiteral("编号相同"));
    const QStringList status = r.errStartingWith(QStringLiteral("STATUS\t"));
    ASSERT_EQ(status.size(), 1) << r.dump();
    EXPECT_TRUE(status[0].startsWith(QStringLiteral("STATUS\t设计零部件 "))) << status[0].toStdString();

    const ToolRun json = run(QStringList{"--quick", "ZQ8600-01", "--kind", "设计零部件,更改单", "--events", "json",
                                   "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.dump();
    const QStringList jsonStatus = json.errStartingWith(QStringLiteral("{\"event\":\"STATUS\""));
    ASSERT_EQ(jsonStatus.size(), 1) << json.dump();
    EXPECT_TRUE(jsonStatus[0].contains(QStringLiteral("\"counts\":{\"设计零部件\":"))) << jsonStatus[0].toStdString();
    EXPECT_TRUE(jsonStatus[0].contains(QStringLiteral(",\"更改单\":0}"))) << jsonStatus[0].toStdString();
    EXPECT_TRUE(json.output.contains("\"匹配\":\"编号相同\""));
}

TEST_F(QuickSearchTool, AWordOnlyAStoredPdfHoldsComesOutUnderItsContent)
{
    if (!QFile::exists(indexProgram()))
        GTEST_SKIP() << "zqpdm-index is not built";
    const ToolRun r = run(QStringList{"--quick", "鼠笼转子"});
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    ASSERT_EQ(r.out.size(), 2) << r.out.join(u'\n').toStdString();
    const QStringList hit = r.out[1].split(u'\t');
    EXPECT_EQ(hit.value(0), QStringLiteral("文档内容"));
    EXPECT_EQ(hit.value(4), QStringLiteral("内容"));
    EXPECT_TRUE(hit.value(5).contains(QStringLiteral("鼠笼转子"))) << r.out[1].toStdString();
    EXPECT_EQ(r.errStartingWith(QStringLiteral("STATUS\t")).value(0), QStringLiteral("STATUS\t文档内容 1"));
}

TEST_F(QuickSearchTool, PastedListKeepsItsOrderAndTellsWhatIsNotThere)
{
    QTemporaryDir dir;
    QFile list(dir.filePath(QStringLiteral("codes.txt")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("ZQ8600-01\r\nZQ9999-99\r\nzq8700 01\r\n\r\nNOPE-1\r\nXG2026-001\t2\r\n");
    list.close();
    const ToolRun r = run(QStringList{"--quick-list", list.fileName(), "--kind", "设计零部件,更改单"});
    ASSERT_EQ(r.exitCode, 0) << r.dump();
    ASSERT_EQ(r.out.size(), 6) << r.out.join(u'\n').toStdString();
    EXPECT_EQ(r.out[0], QStringLiteral("输入\t类别\t编号\t名称\t匹配\t说明"));
    const QStringList expected[] = {
        {"ZQ8600-01", "设计零部件", "ZQ8600-01", "箱体部件", "编号相同"},
        {"ZQ9999-99", "未找到"},
        {"zq8700 01", "设计零部件", "ZQ8700-01", "泵体", "编号相同"},
        {"NOPE-1", "未找到"},
        {"XG2026-001", "更改单", "XG2026-001"},
    };
    for (int i = 0; i < 5; ++i) {
        const QStringList cells = r.out[i + 1].split(u'\t');
        for (int c = 0; c < expected[i].size(); ++c)
            EXPECT_EQ(cells.value(c), expected[i][c]) << r.out[i + 1].toStdString();
    }
    EXPECT_EQ(r.errStartingWith(QStringLiteral("STATUS\t")).value(0), QStringLiteral("STATUS\t找到 3 · 未找到 2"));
}

} // namespace
