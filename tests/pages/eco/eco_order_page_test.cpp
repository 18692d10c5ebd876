// The page "更改单" on a small change-order database: conditions → listed rows, row records,
// locate texts, messages, and the shared context menu with its service calls and files.
#include "EcoTestDb.h"

#include "GbkText.h"
#include "TLItem.h"
#include "ZQECOSearchECO.h"
#include "ZQPDMFC.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>

using namespace ecotest;

namespace {

enum { IdAuthor = 1067, IdFrom = 1204, IdTo = 1258, IdOrderNumber = 1376, IdSubject = 1004,
       IdModeApprox = 1111, IdModeOldCode = 1112, IdPartCode = 1022, IdState = 1023 };

class OrderPage : public EcoDatabase {
protected:
    void SetUp() override
    {
        EcoDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(page.CreatePage(&parent));
        list = page.GetResultList();
        ASSERT_NE(list, nullptr);
    }

    // Sets the conditions: author, order number, subject, part text, state, dates, mode.
    void Conditions(const QString& author, const QString& number, const QString& subject, const QString& part,
                    int state, const QString& from, const QString& to, bool oldCode = false)
    {
        zq::SetControlText(page, IdAuthor, author);
        zq::SetControlText(page, IdOrderNumber, number);
        zq::SetControlText(page, IdSubject, subject);
        zq::SetControlText(page, IdPartCode, part);
        zq::SetComboIndex(page, IdState, state);
        zq::SetControlText(page, IdFrom, from);
        zq::SetControlText(page, IdTo, to);
        zq::SetChecked(page, oldCode ? IdModeOldCode : IdModeApprox, true);
    }

    QWidget parent;
    CZQECOSearchECO page;
    CReportListCtrl* list = nullptr;
};

TEST_P(OrderPage, Initialisation)
{
    EXPECT_EQ(zq::ControlText(page, IdAuthor), QStringLiteral("张三"));
    EXPECT_EQ(page.PickedLogName(), QStringLiteral("zhangsan"));
    EXPECT_EQ(zq::ComboIndex(page, IdState), 6);
    EXPECT_TRUE(zq::IsChecked(page, IdModeApprox));
    EXPECT_EQ(zq::ControlText(page, IdFrom), QStringLiteral("2005-03-01"));
    EXPECT_EQ(zq::ControlText(page, IdTo), QStringLiteral("2005-03-31"));
    EXPECT_TRUE(page.CanLocate());
    ASSERT_EQ(list->GetColumnCount(), 5);
    const QStringList headers{"单据类型", "更改单号", "更改主题", "编制人员", "编制日期"};
    const int widths[] = {80, 100, 120, 100, 100};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list->GetHeaderCtrl()->GetItemText(c), headers[c]);
        EXPECT_EQ(list->GetColumnWidth(c), widths[c]);
    }
}

TEST_P(OrderPage, UserPicker)
{
    auto* button = zq::ControlAs<QAbstractButton>(page, 1309);
    ASSERT_NE(button, nullptr);
    desktop.pickAnswers = {{"lisi"}};
    button->click();
    EXPECT_EQ(zq::ControlText(page, IdAuthor), QStringLiteral("李四"));
    EXPECT_EQ(page.PickedLogName(), QStringLiteral("lisi"));
    // Cancelled: nothing changes.
    button->click();
    EXPECT_EQ(zq::ControlText(page, IdAuthor), QStringLiteral("李四"));
    EXPECT_EQ(page.PickedLogName(), QStringLiteral("lisi"));
    EXPECT_EQ(desktop.eventsOf("PICK").size(), 2);
}

struct SearchCase {
    const char* name;
    const char* author;
    const char* number;
    const char* subject;
    const char* part;
    int state;
    const char* from;
    const char* to;
    QStringList orders;
    QStringList messages;
};

TEST_P(OrderPage, Searches)
{
    const QString reversed = QStringLiteral("开始日期与结束日期不匹配...");
    const SearchCase cases[] = {
        {"March, all states", "", "", "", "", 6, "2005-03-01", "2005-03-31", {"E-001", "E-002", "E-003", "E/005"}, {}},
        {"state 正式", "", "", "", "", 5, "2005-03-01", "2005-03-31", {"E-001", "E/005"}, {}},
        {"author", "张", "", "", "", 6, "2005-02-01", "2005-03-31", {"E-001", "E-003"}, {}},
        {"same day", "", "", "", "", 6, "2005-03-10", "2005-03-10", {"E-002"}, {}},
        {"order number", "", "/", "", "", 6, "2005-01-01", "2005-12-31", {"E/005"}, {}},
        {"subject with a quote", "", "", "O'Brien", "", 6, "2005-01-01", "2005-12-31", {"E-003"}, {}},
        {"changed part", "", "", "", "A1-1", 6, "2005-01-01", "2005-12-31", {"E-001", "E-003"}, {}},
        {"reversed dates: the state is not applied", "", "", "", "", 1, "2005-03-31", "2005-03-01",
         {"E-001", "E-002", "E-003", "E-004", "E/005"}, {reversed}},
        {"reversed dates with a text", " 李四 ", "", "", "", 0, "2005-03-31", "2005-03-01", {"E-002"}, {reversed}},
    };
    for (const SearchCase& c : cases) {
        desktop.events.clear();
        Conditions(c.author, c.number, c.subject, c.part, c.state, c.from, c.to);
        EXPECT_EQ(page.DoSearch(), 1) << c.name;
        QStringList orders = list->GetColumnTexts(1);
        if (this->OnPostgres()) {
            orders.sort();
            QStringList expected = c.orders;
            expected.sort();
            EXPECT_EQ(orders, expected) << c.name;
        } else {
            EXPECT_EQ(orders, c.orders) << c.name;
        }
        EXPECT_EQ(desktop.messages(), c.messages) << c.name;
    }
}

TEST_P(OrderPage, RowsAndRecords)
{
    Conditions("", "E-00", "", "", 6, "2005-03-05", "2005-03-10");
    ASSERT_EQ(page.DoSearch(), 1);
    ASSERT_EQ(list->GetItemCount(), 2);
    const QStringList first{"修改单", "E-001", "轴承座改型", "张三", "2005-03-05 09:00:00"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(list->GetItemText(0, c), first[c]) << c;
    for (int row = 0; row < 2; ++row) {
        auto* record = static_cast<CTLItem*>(list->GetItemData(row));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(list->GetItemImage(row), 0);
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(record->GetSubstring(c), list->GetItemText(row, c)) << row << c;
    }
}

TEST_P(OrderPage, LocateTextFollowsTheRememberedIndex)
{
    EXPECT_EQ(page.GetLocateText(), QString());
    Conditions("", "", "", "", 6, "2005-03-01", "2005-03-31");
    ASSERT_EQ(page.DoSearch(), 1);
    list->SelectRow(1);
    const QString second = list->GetItemText(1, 1);
    EXPECT_EQ(page.GetLocateText(), second);
    // A new search keeps the index: the order now at that row is the locate text.
    Conditions("", "", "", "", 5, "2005-03-01", "2005-03-31");
    ASSERT_EQ(page.DoSearch(), 1);
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(page.GetLocateText(), list->GetItemText(1, 1));
    // A remembered row that is no longer listed gives no text.
    Conditions("", "", "", "", 6, "2005-03-10", "2005-03-10");
    ASSERT_EQ(page.DoSearch(), 1);
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(page.GetLocateText(), QString());
}

TEST_P(OrderPage, OldDrawingNumber)
{
    const QString notFound = QStringLiteral("输入的旧图号不存在！");
    // The default configuration never finds an old number.
    Conditions("", "", "", "OLD-1", 6, "2005-01-01", "2005-12-31", true);
    EXPECT_EQ(page.DoSearch(), 0);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(desktop.messages(), QStringList{notFound});

    ASSERT_TRUE(zq::WriteGbkFile(HomeFolder() + "rnds/spt/zqpdmcad.ini", "[图纸入库配置]\r\n标题其他1=31\r\n"));
    ASSERT_TRUE(zq::WriteGbkFile(SysFolder() + "zqpdmcod.ini", "[ZQPDM图号管理]\r\n旧图号项=31\r\n"));
    desktop.events.clear();
    Conditions("", "", "", " OLD-1 ", 6, "2005-01-01", "2005-12-31", true);
    EXPECT_EQ(page.DoSearch(), 1);
    QStringList orders = list->GetColumnTexts(1);
    orders.sort();
    EXPECT_EQ(orders, (QStringList{"E-001", "E-003"}));
    EXPECT_TRUE(desktop.messages().isEmpty());

    // Not found; an empty old number finds no title whose first field is empty either.
    for (const char* text : {"OLD-9", ""}) {
        desktop.events.clear();
        Conditions("", "", "", text, 6, "2005-01-01", "2005-12-31", true);
        EXPECT_EQ(page.DoSearch(), 0) << text;
        EXPECT_EQ(desktop.messages(), QStringList{notFound}) << text;
    }
}

TEST_P(OrderPage, DatabaseErrorReportsThenShowsTheSql)
{
    Conditions("", "", "", "", 6, "2005-03-01", "2005-03-31");
    Exec("DROP TABLE ECOModifyManage");
    EXPECT_EQ(page.DoSearch(), 0);
    const QStringList messages = desktop.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], QStringLiteral("SELECT '修改单', ECONo, Remark, SaveUser, SaveDate FROM ECOModifyManage "
                                          "WHERE  SaveDate>'2005-03-01' AND SaveDate<'2005-04-01'"));
}

// The shared context menu, run through the menu on the selection-mark row.
class OrderMenu : public OrderPage {
protected:
    void SetUp() override
    {
        OrderPage::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Conditions("", "", "", "", 6, "2005-03-01", "2005-03-31");
        ASSERT_EQ(page.DoSearch(), 1);
        desktop.events.clear();
        zq::CallLog::Clear();
    }
    int RowOf(const QString& number) const { return int(list->GetColumnTexts(1).indexOf(number)); }
    void Choose(const QString& number, int command)
    {
        list->SetSelectionMark(RowOf(number));
        desktop.menuAnswers = {command};
        Q_EMIT list->rightClicked(RowOf(number), QPoint(10, 10));
    }
    QList<zq::ServiceCall> CallsOf(const QString& operation) const
    {
        QList<zq::ServiceCall> found;
        for (const zq::ServiceCall& call : zq::CallLog::Calls())
            if (call.operation == operation)
                found << call;
        return found;
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_P(OrderMenu, BrowseWritesTheFileAndOpensIt)
{
    const QString path = WorkFolder() + "ME-001_ECO.tbl";
    ASSERT_TRUE(zq::WriteGbkFile(path, "stale copy"));
    Choose("E-001", 1);
    ASSERT_EQ(desktop.eventsOf("MENU").size(), 1);
    EXPECT_EQ(desktop.eventsOf("MENU")[0].fields, (QStringList{"1", "2", "3"}));
    EXPECT_EQ(Read(path), kOrderFile);
    const auto opened = desktop.eventsOf("OPEN");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QFileInfo(opened[0].fields.value(0)).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    const auto pops = CallsOf("PopFileFromDB");
    ASSERT_EQ(pops.size(), 1);
    EXPECT_EQ(pops[0].args.value(0), QStringLiteral("SELECT DocSaved, DocContent FROM ECORelateFile WHERE "
                                                     "ECOGroup='修改单' AND ECONo='E-001' AND DocType='_ZQ_ECO'"));
    EXPECT_EQ(pops[0].args.mid(2), (QStringList{"DocContent", "pdm"}));
    const auto browses = CallsOf("BrowseFile");
    ASSERT_EQ(browses.size(), 1);
    EXPECT_EQ(browses[0].args.value(1), QStringLiteral("0"));
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_P(OrderMenu, BrowseCases)
{
    // An order number with a separator becomes one safe file name in the working folder.
    Choose("E/005", 1);
    const QString slashPath = WorkFolder() + zq::eco::StoredFileName("E/005");
    EXPECT_FALSE(zq::eco::StoredFileName("E/005").contains('/'));
    EXPECT_EQ(Read(slashPath), kSlashFile);
    EXPECT_EQ(desktop.eventsOf("OPEN").size(), 1);

    // No stored order file: nothing at all.
    desktop.events.clear();
    zq::CallLog::Clear();
    Choose("E-002", 1);
    EXPECT_TRUE(CallsOf("PopFileFromDB").isEmpty());
    EXPECT_TRUE(desktop.eventsOf("OPEN").isEmpty());
    EXPECT_TRUE(desktop.messages().isEmpty());

    // A fetch that fails: the old copy is gone, the user is told, nothing is opened.
    desktop.events.clear();
    const QString stale = WorkFolder() + "ME-003_ECO.tbl";
    ASSERT_TRUE(zq::WriteGbkFile(stale, "stale copy"));
    Choose("E-003", 1);
    EXPECT_TRUE(desktop.eventsOf("OPEN").isEmpty());
    EXPECT_EQ(desktop.messages(), QStringList{"文件没有下载成功"});
    EXPECT_EQ(desktop.eventsOf("MSG")[0].fields.value(0), QStringLiteral("操作提示"));
    EXPECT_NE(Read(stale), QByteArray("stale copy"));
}

TEST_P(OrderMenu, PropertiesCopyAndNoSelection)
{
    Choose("E-002", 2);
    const auto views = CallsOf("ViewECOItem");
    ASSERT_EQ(views.size(), 1);
    EXPECT_EQ(views[0].args, (QStringList{"修改单", "E-002"}));

    Choose("E/005", 3);
    EXPECT_EQ(desktop.clipboard, QStringLiteral("E/005"));

    // Choosing nothing does nothing; without a selection mark there is no menu.
    zq::CallLog::Clear();
    desktop.events.clear();
    Choose("E-001", 0);
    EXPECT_EQ(desktop.eventsOf("MENU").size(), 1);
    EXPECT_TRUE(zq::CallLog::Calls().isEmpty());
    list->SetSelectionMark(-1);
    Q_EMIT list->rightClicked(-1, QPoint(1, 1));
    EXPECT_EQ(desktop.eventsOf("MENU").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, OrderPage, testing::ValuesIn(zq::test::EngineNames()), EngineName);
INSTANTIATE_TEST_SUITE_P(Engines, OrderMenu, testing::ValuesIn(zq::test::EngineNames()), EngineName);

} // namespace
