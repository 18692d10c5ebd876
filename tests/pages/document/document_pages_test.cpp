// The "设计文档" and "资源文件" pages on the demo installation: their controls, the rows, icons
// and row records of their searches, several SQL texts appended, a cancel and a database error
// keeping the rows read, and opening a row's stored file by double-click and by menu.
#include "ListCtrl.h"
#include "ScriptedDesktop.h"
#include "SeededPageTest.h"
#include "SysImageList.h"
#include "ZQPDMFC.h"
#include "ZQPDMSearchDocument.h"
#include "ZQPDMSearchResource.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class DocumentPagesTest : public zq::test::SeededPageTest {
protected:
    static CReportListCtrl& List(QWidget& page, int id) { return *zq::ControlAs<CReportListCtrl>(page, id); }
    // Each row as its cells joined by '|'.
    static QStringList Rows(CReportListCtrl& list)
    {
        QStringList rows;
        for (int r = 0; r < list.GetItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list.GetColumnCount(); ++c)
                cells << list.GetItemText(r, c);
            rows << cells.join('|');
        }
        return rows;
    }
    static QStringList Headers(CReportListCtrl& list)
    {
        QStringList headers;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            headers << list.GetHeaderCtrl()->GetItemText(c) + ':' + QString::number(list.GetColumnWidth(c));
        return headers;
    }
    QString Stored(const QString& relative) { return m_engine->home().storeDir() + '/' + relative; }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Opened() const
    {
        QStringList paths;
        for (const auto& event : desktop.eventsOf(QStringLiteral("OPEN")))
            paths << event.fields.value(0);
        return paths;
    }
};

TEST_P(DocumentPagesTest, InitialControls)
{
    CZQPDMSearchDocument& document = Create<CZQPDMSearchDocument>();
    auto* kind = zq::ControlAs<QComboBox>(document, 1254);
    ASSERT_NE(kind, nullptr);
    EXPECT_TRUE(kind->isHidden());
    EXPECT_EQ(kind->currentIndex(), 3);
    EXPECT_EQ(zq::ControlAs<QDateEdit>(document, 1204)->date(), QDate(2026, 11, 8));
    EXPECT_EQ(zq::ControlAs<QDateEdit>(document, 1258)->date(), QDate(2026, 12, 8));
    EXPECT_EQ(Headers(List(document, 1319)),
              (QStringList{"图号[版本]:100", "文件说明:100", "大小:50", "文件类型:110", "文件日期:90", "文档类型:90"}));

    CZQPDMSearchResource& resource = Create<CZQPDMSearchResource>();
    CReportListCtrl& grid = List(resource, 1318);
    EXPECT_EQ(grid.GetColumnTexts(0), (QStringList{"文件说明", "文件名称", "日期", "备注", "版本", "作者", "审核人", "关键字"}))
        << "rows 4 to 7 as the demo configures them";
    EXPECT_TRUE(static_cast<CGridListCtrl&>(grid).IsColumnEditable(1));
    EXPECT_EQ(Headers(List(resource, 1319)), (QStringList{"文件说明:100", "大小:50", "文件类型:110", "文件日期:90"}));
    EXPECT_FALSE(document.CanLocate() || resource.CanLocate());
}

TEST_P(DocumentPagesTest, ArchivedDocumentsByDefault)
{
    CZQPDMSearchDocument& page = Create<CZQPDMSearchDocument>();
    CReportListCtrl& list = List(page, 1319);
    EXPECT_EQ(page.DoSearch(), 1);
    QStringList rows = Rows(list);
    ASSERT_EQ(rows.size(), 7) << "the 30-day range leaves out the document of T-45";
    EXPECT_TRUE(rows.contains("ZQ8600-01-02[A]|箱盖零件图|1|AutoCAD 图形|2026-12-06 10:20:00|")) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.contains("ZQ8600-00-01[A]|O'型圈选型说明|1|文本文档|2026-11-30 10:20:00|"));
    for (int r = 0; r < list.GetItemCount(); ++r) {
        const auto* record = page.RecordOfRow(r);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(list.GetItemText(r, 0),
                  record->Field(zq::doc::RecordField::Code2) + '[' + record->Field(zq::doc::RecordField::Revision) + ']');
        EXPECT_EQ(list.GetItemImage(r),
                  CSysImageList::instance().GetIconIndex(record->Field(zq::doc::RecordField::FileName)));
    }
    // Typed text narrows the search; a part has no effect on archived documents.
    zq::SetControlText(page, 1022, "ZQ8700");
    EXPECT_EQ(page.DoSearch(), 1);
    EXPECT_EQ(list.GetItemCount(), 7);
    zq::SetControlText(page, 1251, "O'型");
    EXPECT_EQ(page.DoSearch(), 1);
    EXPECT_EQ(list.GetColumnTexts(1), QStringList{"O'型圈选型说明"});
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(DocumentPagesTest, AllKindsAppendTheirRowsInOrder)
{
    CZQPDMSearchDocument& page = Create<CZQPDMSearchDocument>();
    CReportListCtrl& list = List(page, 1319);
    zq::SetComboIndex(page, 1254, 0);
    EXPECT_EQ(page.DoSearch(), 1);
    ASSERT_EQ(list.GetItemCount(), 13);
    for (int r = 0; r < 13; ++r) {
        const QString code1 = page.RecordOfRow(r)->Field(zq::doc::RecordField::Code1);
        const char* expected = r < 3 ? "XM" : r < 6 ? "TW" : "ZQ";
        EXPECT_TRUE(code1.startsWith(expected)) << r << " " << code1.toStdString();
    }
    EXPECT_TRUE(list.GetColumnTexts(0).contains("ZQ8600-02[A]")) << "a project document shows its remark and A";
    EXPECT_TRUE(list.GetColumnTexts(0).contains("ZQ8700-02-01[B]"));
    // A second search starts again from an empty list.
    zq::SetComboIndex(page, 1254, 1);
    EXPECT_EQ(page.DoSearch(), 1);
    EXPECT_EQ(list.GetItemCount(), 3);
}

TEST_P(DocumentPagesTest, ACancelKeepsTheRowsReadAndEndsTheSearch)
{
    CZQPDMSearchDocument& page = Create<CZQPDMSearchDocument>();
    zq::SetComboIndex(page, 1254, 0);
    desktop.cancelAfterRows = 2;
    EXPECT_EQ(page.DoSearch(), 0);
    EXPECT_EQ(List(page, 1319).GetItemCount(), 2) << "the later texts are not run";
    EXPECT_NE(page.RecordOfRow(1), nullptr);
}

TEST_P(DocumentPagesTest, ADatabaseErrorKeepsTheRowsReadAndEndsTheSearch)
{
    if (QString::fromLatin1(GetParam()) != "sqlite")
        GTEST_SKIP() << "the table is dropped in the SQLite file";
    CZQPDMSearchDocument& page = Create<CZQPDMSearchDocument>();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("drop-teamwork"));
        db.setDatabaseName(m_engine->home().path(QStringLiteral("pdm.db")));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("DROP TABLE TeamWorkResult")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("drop-teamwork"));
    zq::SetComboIndex(page, 1254, 0);
    EXPECT_EQ(page.DoSearch(), 0);
    EXPECT_EQ(List(page, 1319).GetItemCount(), 3) << "the project documents stay, the archived ones are not read";
    EXPECT_EQ(desktop.messages().size(), 1);
}

TEST_P(DocumentPagesTest, DoubleClickOpensTheStoredDocument)
{
    CZQPDMSearchDocument& page = Create<CZQPDMSearchDocument>();
    CReportListCtrl& list = List(page, 1319);
    emit list.doubleClicked(0);
    EXPECT_TRUE(Opened().isEmpty()) << "nothing before a search";
    zq::SetControlText(page, 1252, "ZQ8600-01-02");
    ASSERT_EQ(page.DoSearch(), 1);
    emit list.doubleClicked(0);
    EXPECT_TRUE(Opened().isEmpty()) << "no row marked";
    list.SelectRow(0);
    emit list.doubleClicked(0);
    ASSERT_EQ(Opened(), QStringList{zq::TempFolder() + "ZQ8600-01-02.dwg"});
    EXPECT_EQ(Read(Opened().first()), Read(Stored("Zq/Proven/ZQ8600/ZQ8600-01-02/A/ZQ8600-01-02.dwg")));
}

TEST_P(DocumentPagesTest, ResourceSearches)
{
    CZQPDMSearchResource& page = Create<CZQPDMSearchResource>();
    CReportListCtrl& grid = List(page, 1318);
    CReportListCtrl& list = List(page, 1319);
    const struct {
        int row;
        const char* value;
        int count;
    } cases[] = {{-1, "", 6}, {2, "2025", 1}, {6, "陈静", 3}, {3, "材料", 2}, {0, "*选型*", 1}};
    for (const auto& c : cases) {
        for (int r = 0; r < 8; ++r)
            grid.SetItemText(r, 1, r == c.row ? QString::fromUtf8(c.value) : QString());
        EXPECT_EQ(page.DoSearch(), 1) << c.value;
        EXPECT_EQ(list.GetItemCount(), c.count) << c.value;
    }
    grid.SetItemText(0, 1, "电机");
    ASSERT_EQ(page.DoSearch(), 1);
    EXPECT_EQ(Rows(list), QStringList{"Y系列电机样本|14|PDF 文档|2026-12-03 16:40:00"});
    ASSERT_NE(page.RecordOfRow(0), nullptr);
    EXPECT_EQ(page.RecordOfRow(0)->Field(zq::doc::RecordField::Code2), "R-DJ-01");
    EXPECT_EQ(list.GetItemImage(0), CSysImageList::instance().GetIconIndex("Y系列电机样本.pdf"));
}

TEST_P(DocumentPagesTest, ResourceOpensByMenuAndDoubleClick)
{
    CZQPDMSearchResource& page = Create<CZQPDMSearchResource>();
    CReportListCtrl& list = List(page, 1319);
    List(page, 1318).SetItemText(1, 1, "深沟球");
    ASSERT_EQ(page.DoSearch(), 1);
    page.OnRclickResult();
    EXPECT_TRUE(desktop.eventsOf("MENU").isEmpty()) << "no menu without a marked row";

    list.SelectRow(0);
    desktop.menuAnswers = {0};
    page.OnRclickResult();
    ASSERT_EQ(desktop.eventsOf("MENU").size(), 1);
    EXPECT_EQ(desktop.eventsOf("MENU").first().fields, QStringList{"1"}) << "the single entry \"浏览...\"";
    EXPECT_TRUE(Opened().isEmpty()) << "no command chosen";

    desktop.menuAnswers = {1};
    page.OnRclickResult();
    emit list.doubleClicked(0);
    const QString local = zq::TempFolder() + "深沟球轴承选型手册.pdf";
    EXPECT_EQ(Opened(), (QStringList{local, local}));
    EXPECT_EQ(Read(local), Read(Stored("Zq/Resource/R-ZC-01/深沟球轴承选型手册.pdf")));
}

INSTANTIATE_TEST_SUITE_P(Engines, DocumentPagesTest, ::testing::ValuesIn(zq::test::EngineNames()),
                         [](const testing::TestParamInfo<const char*>& info) { return zq::test::EngineTestName(info.param); });

} // namespace
