// Part and change-order services over the seeded demo database: attributes, versions, where-used,
// change-order view, and extraction of stored design files.
#include "CallLog.h"
#include "ServiceTest.h"
#include "EcoServices.h"
#include "PartServices.h"
#include "RecordingDesktop.h"
#include "SeededHome.h"
#include "ZQPDMFC.h"
#include <QFile>
#include <gtest/gtest.h>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

class PartServicesTest : public test::ServiceTest {
protected:

    // The value shown for an item of a two-column report, "(none)" when the item is missing.
    static QString item(const ReportRequest& report, const QString& name)
    {
        for (const QStringList& row : report.rows)
            if (row.value(0) == name)
                return row.value(1);
        return QStringLiteral("(none)");
    }

};

TEST_P(PartServicesTest, AttributesShowTheTitleFieldsUnderTheirConfiguredNamesAndTheAttributes)
{
    CZQPart part;
    ASSERT_TRUE(part.SetPartParameter(QStringLiteral("ZQ8600-02-01"), QString(), QString(), QStringLiteral("A")));
    EXPECT_EQ(part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1), 1);
    ASSERT_EQ(desktop.reports.size(), 1);
    const ReportRequest& r = desktop.reports.first();
    EXPECT_EQ(r.title, QStringLiteral("零部件属性 - ZQ8600-02-01"));
    const struct {
        const char* name;
        const char* value;
    } cases[] = {
        {"图号", "ZQ8600-02-01"}, {"图名", "输入轴"}, {"材料", "45"},     {"重量", "3.2"},
        {"旧图号", "JQ8600.02.01"}, {"状态", "归档"},  {"版本", "A"},      {"所在产品", "ZQ8600"},
        {"分类码", "0201"},       {"关键件标志", "Y"}, {"表面处理", "发黑"}, {"热处理", "调质"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(str(item(r, QString::fromUtf8(c.name))), c.value) << c.name;
}

TEST_P(PartServicesTest, AttributesOfAnUnknownPartSayNothingWasFound)
{
    CZQPart part;
    part.SetPartParameter(QStringLiteral("B2026-01"), QString(), QString(), QStringLiteral("A"));
    EXPECT_EQ(part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1), 0);
    EXPECT_TRUE(desktop.reports.isEmpty());
    ASSERT_EQ(desktop.messages().size(), 1);
    EXPECT_TRUE(desktop.messages().first().contains(QStringLiteral("B2026-01")));
}

TEST_P(PartServicesTest, VersionsListTheDrawingsAndThePartListUses)
{
    CZQPart part;
    part.SetPartParameter(QStringLiteral("ZQ8600-02-01"), QString(), QStringLiteral("ZQ8600-02-01"), QStringLiteral("A"));
    EXPECT_EQ(part.BrowsePartReversion(), 1);
    ASSERT_EQ(desktop.reports.size(), 1);
    const QList<QStringList> rows = desktop.reports.first().rows;
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].value(0), QStringLiteral("A"));
    EXPECT_EQ(rows[1].value(0), QStringLiteral("B"));
    EXPECT_EQ(rows[2].value(5), QStringLiteral("ZQ8600-02"));
}

TEST_P(PartServicesTest, WhereUsedListsEveryParentLine)
{
    struct Case {
        const char* code;
        QList<QStringList> rows;   // UpCode, Upname, product, product name, number
    };
    const Case cases[] = {
        {"ZQ8600-00-01",
         {{"ZQ8600-02", "输入轴部件", "ZQ8600", "ZQ8600型减速器", "2"},
          {"ZQ8600-03", "输出轴部件", "ZQ8600", "ZQ8600型减速器", "2"},
          {"ZQ8700", "ZQ8700型齿轮泵", "ZQ8700", "ZQ8700型齿轮泵", "1"}}},
        {"ZQ8800-02-03", {{"ZQ8800-02", "活塞杆组件", "ZQ8800", "ZQ8800型液压缸", "1"}}},
        {"O'型圈", {}},   // a quote in the value does not break the statement
    };
    for (const Case& c : cases) {
        desktop.reports.clear();
        EXPECT_EQ(CZQPartBorrowManage::PartUsedSearch(QString::fromUtf8(c.code)), 1) << c.code;
        ASSERT_EQ(desktop.reports.size(), 1) << c.code;
        EXPECT_EQ(desktop.reports.first().rows, c.rows) << c.code;
    }
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(PartServicesTest, ChangeOrderViewShowsFieldsPartsAndTrimmedDepartments)
{
    CZQECOObject eco;
    EXPECT_EQ(eco.ViewECOItem(QStringLiteral("修改单"), QStringLiteral("XG2026-001")), 1);
    ASSERT_EQ(desktop.reports.size(), 1);
    const ReportRequest& r = desktop.reports.first();
    EXPECT_EQ(item(r, QStringLiteral("更改主题")), QStringLiteral("箱盖视孔尺寸修改"));
    EXPECT_EQ(item(r, QStringLiteral("状态")), QStringLiteral("正式"));
    QStringList departments, parts;
    for (const QStringList& row : r.rows) {
        if (row.value(0) == QStringLiteral("发放部门"))
            departments.append(row.value(1));
        if (row.value(0) == QStringLiteral("更改零部件"))
            parts.append(row.value(1));
    }
    EXPECT_EQ(departments, (QStringList{QStringLiteral("一车间"), QStringLiteral("二车间"), QStringLiteral("质量部")}));
    EXPECT_EQ(parts, (QStringList{QStringLiteral("ZQ8600-01-02 箱盖 : 返修"),
                                  QStringLiteral("ZQ8600-01-02-01-02 视孔盖板 : 报废")}));

    EXPECT_EQ(eco.ViewECOItem(QStringLiteral("修改单"), QStringLiteral("XG-NONE")), 0);
    EXPECT_EQ(desktop.messages().size(), 1);
}

TEST_P(PartServicesTest, StoredDesignFilesAreExtractedIntoTheTemporaryFolder)
{
    struct Case {
        const char* key;
        const char* code;
        const char* revision;
        const char* title;
        const char* fileName;   // "" when the extraction fails
    };
    const Case cases[] = {
        {"ZQ8600_ZQ8600-01-02_ZQ8600-01-02.dwg", "ZQ8600-01-02", "A", "ZQ8600-01-02", "ZQ8600-01-02.dwg"},
        {"XM2026-01_ZQ8600-02_输入轴计算书.doc", "ZQ8600-02", "A", "输入轴计算书", "输入轴计算书.doc"},
        // No such key: found by code, revision and title instead.
        {"wrong-key", "ZQ8600-02-01", "B", "ZQ8600-02-01", "ZQ8600-02-01.dwg"},
        {"wrong-key", "ZQ8600-02-01", "C", "ZQ8600-02-01", ""},
        {"x'_y", "x'", "A", "y", ""},
    };
    for (const Case& c : cases) {
        CSaveZQPDMFile store;
        const QString path = store.DirectReadZQPDMFileFromDB(QString::fromUtf8(c.key), QStringLiteral("产品"),
                                                             QString::fromUtf8(c.code), QString::fromUtf8(c.revision),
                                                             QString::fromUtf8(c.title));
        if (!*c.fileName) {
            EXPECT_EQ(path, QString()) << c.key;
            continue;
        }
        EXPECT_EQ(path, TempFolder() + QString::fromUtf8(c.fileName)) << c.key;
        EXPECT_TRUE(path.startsWith(home().tempDir())) << str(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << str(path);
        EXPECT_TRUE(file.readAll().startsWith("ZQPDM ")) << str(path);
    }
    EXPECT_EQ(desktop.messages().size(), 2);   // the two failures say so
}

TEST_P(PartServicesTest, EveryCallIsLoggedWithItsArguments)
{
    CZQPart part;
    part.SetPartParameter(QStringLiteral("ZQ8700-01"), QString(), QString(), QStringLiteral("A"));
    part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1);
    CZQPartBorrowManage::PartUsedSearch(QStringLiteral("ZQ8700-01"));
    const QList<ServiceCall> calls = CallLog::Calls();
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].component, QStringLiteral("CZQPart"));
    EXPECT_EQ(calls[0].operation, QStringLiteral("SetPartParameter"));
    EXPECT_EQ(calls[0].args, (QStringList{QStringLiteral("ZQ8700-01"), QStringLiteral("(null)"), QStringLiteral("(null)"),
                                          QStringLiteral("A")}));
    EXPECT_EQ(calls[1].args, (QStringList{QStringLiteral("ZqlomiraAll"), QStringLiteral("1")}));
    EXPECT_EQ(calls[2].component, QStringLiteral("CZQPartBorrowManage"));
    EXPECT_EQ(calls[2].args, QStringList{QStringLiteral("ZQ8700-01")});
}

INSTANTIATE_TEST_SUITE_P(Engines, PartServicesTest, ::testing::ValuesIn(test::EngineNames()));

// Without our design-file table the file is simply not fetched; the part views still work.
class PartServicesWithoutOwnTables : public test::ModuleTablesTest {};

TEST_P(PartServicesWithoutOwnTables, DesignFilesAreNotFetchedAndNothingIsReported)
{
    CSaveZQPDMFile store;
    EXPECT_EQ(store.DirectReadZQPDMFileFromDB(QStringLiteral("ZQ8600_ZQ8600-01-02_ZQ8600-01-02.dwg"),
                                              QStringLiteral("产品"), QStringLiteral("ZQ8600-01-02"), QStringLiteral("A"),
                                              QStringLiteral("ZQ8600-01-02")),
              QString());
    EXPECT_FALSE(QFile::exists(TempFolder() + QStringLiteral("ZQ8600-01-02.dwg")));
    CZQPart part;
    part.SetPartParameter(QStringLiteral("ZQ8700-01"), QString(), QString(), QStringLiteral("A"));
    EXPECT_EQ(part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1), 1);
    EXPECT_TRUE(desktop.messages().isEmpty()) << str(desktop.messages().join(u'|'));
}

INSTANTIATE_TEST_SUITE_P(Engines, PartServicesWithoutOwnTables, ::testing::ValuesIn(test::EngineNames()));

} // namespace
