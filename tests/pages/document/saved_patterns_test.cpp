// "search.ini" of the "数据视图项" page: blocks read in file order, one block written in GBK, and
// the list of ten recent patterns.
#include "GbkText.h"
#include "SavedPatterns.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq::document;

namespace {

TEST(SavedPatterns, Read)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QString text;
        QStringList patterns;
    } cases[] = {
        {"one_block", QStringLiteral("[查询名称]\r\n*轴*\r\nZQ86*\r\n[名称结束]\r\n"), {QStringLiteral("*轴*"), "ZQ86*"}},
        {"several_blocks", QStringLiteral("[查询名称]\nA\n[名称结束]\n[查询名称]\nB\nC\n[名称结束]\n"), {"A", "B", "C"}},
        {"empty_block", QStringLiteral("[查询名称]\n[名称结束]\n[查询名称]\nB\n[名称结束]\n"), {"B"}},
        {"lines_outside_blocks", QStringLiteral("注释\nX\n[查询名称]\nA\n[名称结束]\nY\n"), {"A"}},
        {"block_without_end", QStringLiteral("[查询名称]\nA\nB"), {"A", "B"}},
        {"header_line_inside_block", QStringLiteral("[查询名称]\n[查询名称]\n[名称结束]\n"), {QStringLiteral("[查询名称]")}},
        {"end_line_not_trimmed", QStringLiteral("[查询名称]\nA\n[名称结束] \n[名称结束]\n"), {"A", QStringLiteral("[名称结束] ")}},
        {"no_block", QStringLiteral("A\nB\n"), {}},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + ".ini");
        ASSERT_TRUE(zq::WriteGbkFile(path, c.text));
        EXPECT_EQ(ReadSavedPatterns(path), c.patterns) << c.name;
    }
    EXPECT_EQ(ReadSavedPatterns(dir.filePath("missing.ini")), QStringList());
}

TEST(SavedPatterns, WriteIsOneGbkBlock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("search.ini");
    ASSERT_TRUE(WriteSavedPatterns(path, {QStringLiteral("*轴*"), "A?"}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), zq::EncodeGbk(QStringLiteral("[查询名称]\n*轴*\nA?\n[名称结束]\n")));
    EXPECT_EQ(ReadSavedPatterns(path), (QStringList{QStringLiteral("*轴*"), "A?"}));
    EXPECT_FALSE(WriteSavedPatterns(dir.filePath("no/such/folder/search.ini"), {"A"}));
}

TEST(SavedPatterns, Remember)
{
    const QStringList ten{"P0", "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"};
    const struct {
        const char* name;
        QStringList list;
        QString pattern;
        bool changed;
        QStringList after;
    } cases[] = {
        {"empty_list", {}, "A*", true, {"A*"}},
        {"new_on_top", {"B", "C"}, "A*", true, {"A*", "B", "C"}},
        {"known_other_case", {"B", "zq*"}, "ZQ*", false, {"B", "zq*"}},
        {"eleventh_pushes_last_out", ten, "N", true, QStringList{"N"} + ten.mid(0, 9)},
        {"nine_keep_all", ten.mid(0, 9), "N", true, QStringList{"N"} + ten.mid(0, 9)},
        {"known_in_full_list", ten, "p9", false, ten},
    };
    for (const auto& c : cases) {
        QStringList list = c.list;
        EXPECT_EQ(RememberPattern(list, c.pattern), c.changed) << c.name;
        EXPECT_EQ(list, c.after) << c.name;
    }
}

} // namespace
