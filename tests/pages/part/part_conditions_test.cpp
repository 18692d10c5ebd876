// Row names of the condition kinds from the configuration file, and values kept per kind.
#include "GbkText.h"
#include "PartConditions.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq::part;

namespace {

QString Write(const QTemporaryDir& dir, const QString& text)
{
    const QString path = dir.filePath("zqpdmcad.ini");
    EXPECT_TRUE(zq::WriteGbkFile(path, text));
    return path;
}

TEST(ConditionNames, FromTheConfiguration)
{
    QTemporaryDir dir;
    const QString longName = QString(60, QChar(0x91CD));   // 120 GBK bytes
    const struct {
        const char* name;
        QString file;   // empty: no file
        QStringList title10to13, detail3to7, attribute7to11;
    } cases[] = {
        {"no_file", QString(),
         {"其他1", "其他3", "其他4", "其他5"}, {"规格", "备注", "类型", "其他1", "其他2"},
         {"其他1", "其他2", "其他3", "其他4", "其他5"}},
        {"other_names",
         QStringLiteral("[产品属性]\r\n标题其他1=重量\r\n标题其他2=审核\r\n标题其他3=工艺\r\n标题其他4=旧图号\r\n"
                        "标题其他5=批准\r\n明细备注=附注\r\n明细类型=种类\r\n明细规格=规格型号\r\n明细其他1=单重\r\n"
                        "明细其他2=旧图号\r\n[零部件附加信息]\r\n附加其他1=表面处理\r\n附加其他2=热处理\r\n"
                        "附加其他3=颜色\r\n附加其他4=质量等级\r\n附加其他5=备件\r\n"),
         {"重量", "工艺", "旧图号", "批准"}, {"规格型号", "附注", "种类", "单重", "旧图号"},
         {"表面处理", "热处理", "颜色", "质量等级", "备件"}},
        {"keys_missing",
         QStringLiteral("[产品属性]\r\n标题其他3=工艺\r\n明细类型=种类\r\n[零部件附加信息]\r\n附加其他5=备件\r\n"
                        "[别的]\r\n标题其他1=不是这里\r\n"),
         {"其他1", "工艺", "其他4", "其他5"}, {"规格", "备注", "种类", "其他1", "其他2"},
         {"其他1", "其他2", "其他3", "其他4", "备件"}},
        {"keys_in_wrong_section", QStringLiteral("[零部件附加信息]\r\n标题其他1=重量\r\n[产品属性]\r\n附加其他1=错\r\n"),
         {"其他1", "其他3", "其他4", "其他5"}, {"规格", "备注", "类型", "其他1", "其他2"},
         {"其他1", "其他2", "其他3", "其他4", "其他5"}},
        {"buffer_sizes",
         QStringLiteral("[产品属性]\r\n标题其他1=") + longName + QStringLiteral("\r\n[零部件附加信息]\r\n附加其他1=") +
             longName + QStringLiteral("\r\n"),
         {longName.left(49), "其他3", "其他4", "其他5"}, {"规格", "备注", "类型", "其他1", "其他2"},
         {longName, "其他2", "其他3", "其他4", "其他5"}},
    };
    for (const auto& c : cases) {
        const QString path = c.file.isEmpty() ? dir.filePath("missing.ini") : Write(dir, c.file);
        const ConditionNames names = ReadConditionNames(path);
        ASSERT_EQ(names.title.size(), 16) << c.name;
        ASSERT_EQ(names.detail.size(), 8) << c.name;
        ASSERT_EQ(names.attribute.size(), 12) << c.name;
        EXPECT_EQ(names.title.mid(10, 4), c.title10to13) << c.name;
        EXPECT_EQ(names.detail.mid(3, 5), c.detail3to7) << c.name;
        EXPECT_EQ(names.attribute.mid(7, 5), c.attribute7to11) << c.name;
    }
}

TEST(ConditionNames, FixedNames)
{
    const ConditionNames names = ReadConditionNames(QStringLiteral("/nonexistent/zqpdmcad.ini"));
    EXPECT_EQ(names.title.mid(0, 10), (QStringList{"图号", "图名", "材料", "比例", "图幅", "类型", "标准", "布局", "装订线", "设计者"}));
    EXPECT_EQ(names.title.mid(14), (QStringList{"负责人", "状态"}));
    EXPECT_EQ(names.detail.mid(0, 3), (QStringList{"图号", "图名", "材料"}));
    EXPECT_EQ(names.attribute.mid(0, 7),
              (QStringList{"分类码", "关键件标志", "物料标志", "装箱长(mm)", "装箱宽(mm)", "装箱高(mm)", "供应商"}));
}

TEST(ConditionRows, ValuesKeptPerKind)
{
    ConditionRows rows(ReadConditionNames(QStringLiteral("/nonexistent")));
    EXPECT_EQ(rows.Values(0), QStringList(16));
    rows.Keep(0, {"A1", "", "45"});
    rows.Keep(1, QStringList(8, "d"));
    EXPECT_EQ(rows.Values(0).mid(0, 4), (QStringList{"A1", "", "45", ""}));
    EXPECT_EQ(rows.Values(0).size(), 16);
    EXPECT_EQ(rows.Values(1), QStringList(8, "d"));
    EXPECT_EQ(rows.Values(2), QStringList(12));
    EXPECT_EQ(rows.Names(5), rows.Names(2));
    rows.ClearValues();
    EXPECT_EQ(rows.Values(1), QStringList(8));
}

} // namespace
