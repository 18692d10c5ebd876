// The query-with-progress routine over a scratch table: rows, cancel, the progress window,
// database errors, and the count the search window reports afterwards.
#include "WorkbenchTestKit.h"

#include "ProgressWnd.h"
#include "RunQuery.h"
#include "TLItem.h"

using namespace wbtest;

namespace {

// Records what the progress window showed at every pump.
class ProgressWatchingDesktop : public zq::ScriptedDesktop {
public:
    struct Pump {
        QString title, text;
        int pos, steps, resets, upper;
    };
    void progressPumped(CProgressWnd& progress) override
    {
        pumps.append({progress.windowTitle(), progress.GetText(), progress.GetPos(), progress.GetStepCount(),
                      progress.GetResetCount(), progress.GetUpper()});
        if (onPump)
            onPump();
        ScriptedDesktop::progressPumped(progress);
    }
    QList<Pump> pumps;
    std::function<void()> onPump;
};

class RunQueryTest : public WithApp, public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { app(); }

    std::unique_ptr<ScratchTable> table(int rows)
    {
        auto scratch = ScratchTable::create(GetParam(), rows);
        if (!scratch)
            ADD_FAILURE() << "no scratch table";
        return scratch;
    }
    QueryRequest request(ScratchTable& scratch, QueryVariant variant, CReportListCtrl* list = nullptr)
    {
        QueryRequest r;
        r.variant = variant;
        r.sql = scratch.selectAll();
        r.connection = scratch.connection();
        r.dataSystemType = 1;
        r.list = list;
        r.onRecord = [this](int row, const QStringList& fields) { records.append({QString::number(row), fields.join('|')}); };
        return r;
    }

    ProgressWatchingDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    QList<QStringList> records;   // row index, fields joined by '|'
};

TEST_P(RunQueryTest, RowsAndResultByCancelPoint)
{
    const struct {
        int tableRows;
        int cancelAfter;
        int result;
        int rows;
    } cases[] = {
        {0, -1, 1, 0}, {5, -1, 1, 5}, {5, 3, 0, 3}, {5, 0, 0, 0}, {5, 5, 1, 5}, {5, 4, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tableRows << " rows, cancel after " << c.cancelAfter);
        auto scratch = table(c.tableRows);
        ASSERT_TRUE(scratch);
        records.clear();
        m_desktop.pumps.clear();
        m_desktop.cancelAfterRows = c.cancelAfter;
        for (QueryVariant variant : {QueryVariant::A, QueryVariant::B}) {
            records.clear();
            EXPECT_EQ(RunQuery(request(*scratch, variant)), c.result);
            ASSERT_EQ(records.size(), c.rows);
            for (int i = 0; i < c.rows; ++i)
                EXPECT_EQ(records[i], (QStringList{QString::number(i),
                                                   QStringLiteral("C%1|名称%2").arg(i + 1, 4, 10, QLatin1Char('0')).arg(i + 1)}));
        }
    }
}

TEST_P(RunQueryTest, ProgressWindowTexts)
{
    auto scratch = table(2);
    ASSERT_TRUE(scratch);
    const struct {
        QueryVariant variant;
        int upper;
    } cases[] = {{QueryVariant::A, 500}, {QueryVariant::B, 100}};
    for (const auto& c : cases) {
        m_desktop.pumps.clear();
        ASSERT_EQ(RunQuery(request(*scratch, c.variant)), 1);
        ASSERT_EQ(m_desktop.pumps.size(), 3);
        const QString tail = QStringLiteral("......\n\n      中止操作请按<取消>键...");
        EXPECT_EQ(m_desktop.pumps[0].title, u8("正在进行"));
        EXPECT_EQ(m_desktop.pumps[0].text, u8("正在查询符合条件的数据") + tail);
        EXPECT_EQ(m_desktop.pumps[0].upper, c.upper);
        EXPECT_EQ(m_desktop.pumps[1].text, u8("正读取第 1 条") + tail);
        EXPECT_EQ(m_desktop.pumps[2].text, u8("正读取第 2 条") + tail);
        EXPECT_EQ(m_desktop.pumps[2].steps, 2);
    }
}

TEST_P(RunQueryTest, VariantARestartsTheBarBeforeRow502AndEvery501After)
{
    auto scratch = table(1600);
    ASSERT_TRUE(scratch);
    ASSERT_EQ(RunQuery(request(*scratch, QueryVariant::A)), 1);
    EXPECT_EQ(records.size(), 1600);
    // The pump right after a restart shows an empty bar with one more reset counted.
    QList<int> restartsBeforeStep;   // the number of the row whose step follows the restart
    int resets = 0;
    for (const auto& pump : m_desktop.pumps) {
        if (pump.resets > resets) {
            resets = pump.resets;
            EXPECT_EQ(pump.pos, 0);
            restartsBeforeStep.append(pump.steps + 1);
        }
    }
    EXPECT_EQ(restartsBeforeStep, (QList<int>{502, 1003, 1504}));
}

TEST_P(RunQueryTest, VariantBNeverRestartsAndCountsOnFromTheList)
{
    auto scratch = table(3);
    ASSERT_TRUE(scratch);
    CReportListCtrl list;
    list.InsertColumn(0, QStringLiteral("a"));
    list.InsertItem(0, QStringLiteral("old 1"));
    list.InsertItem(1, QStringLiteral("old 2"));
    ASSERT_EQ(RunQuery(request(*scratch, QueryVariant::B, &list)), 1);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0].value(0), QStringLiteral("2"));
    EXPECT_EQ(records[2].value(0), QStringLiteral("4"));
    EXPECT_TRUE(m_desktop.pumps[1].text.startsWith(u8("正读取第 3 条")));
    for (const auto& pump : m_desktop.pumps)
        EXPECT_EQ(pump.resets, 0);
}

TEST_P(RunQueryTest, DatabaseErrorsAreReportedAndEarlierRowsStay)
{
    auto scratch = table(6);
    ASSERT_TRUE(scratch);
    const QString badSql = QStringLiteral("SELECT Code FROM no_such_table_here");
    const struct {
        const char* name;
        QueryVariant variant;
        bool badStatement;
        int rowsKept;
        bool sqlShown;
    } cases[] = {
        {"A, bad statement", QueryVariant::A, true, 0, false},
        {"B, bad statement", QueryVariant::B, true, 0, true},
        {"A, error while reading row 4", QueryVariant::A, false, 3, false},
        {"B, error while reading row 4", QueryVariant::B, false, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_desktop.events.clear();
        CReportListCtrl list;
        list.InsertColumn(0, QStringLiteral("a"));
        QueryRequest r = request(*scratch, c.variant, &list);
        if (c.badStatement)
            r.sql = badSql;
        r.onRecord = [&](int row, const QStringList& fields) {
            if (row == 3)
                throw zq::_com_error(long(0x80004005), QStringLiteral("lookup failed"));
            list.InsertItem(row, fields.value(0));
        };
        EXPECT_EQ(RunQuery(r), 0);
        EXPECT_EQ(list.GetItemCount(), c.rowsKept);
        const QStringList messages = m_desktop.messages();
        ASSERT_EQ(messages.size(), c.sqlShown ? 2 : 1);
        if (c.sqlShown) {
            EXPECT_EQ(messages[1], r.sql);   // after the error report
        }
        EXPECT_NE(messages[0], r.sql);
    }
}

TEST_P(RunQueryTest, ErrorRaisedByTheEngineWhileReading)
{
    if (GetParam() != "sqlite")
        GTEST_SKIP() << "SQLite evaluates one row at a time";
    auto scratch = table(6);
    ASSERT_TRUE(scratch);
    CReportListCtrl list;
    list.InsertColumn(0, QStringLiteral("a"));
    QueryRequest r = request(*scratch, QueryVariant::A, &list);
    // abs() of the smallest integer overflows when the fourth row is computed (no ORDER BY, so
    // rows are computed one at a time, in the order they were inserted).
    r.sql = QStringLiteral("SELECT Code, CASE WHEN Code = 'C0004' THEN abs(-9223372036854775807 - 1) ELSE 1 END "
                           "FROM %1").arg(scratch->table());
    r.onRecord = [&](int row, const QStringList& fields) { list.InsertItem(row, fields.value(0)); };
    EXPECT_EQ(RunQuery(r), 0);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(m_desktop.messages().size(), 1);
}

// A handler that takes a record's fields as views reads the same texts, numbers and NULLs among
// them, row after row (the recordset reuses its buffers between rows).
TEST_P(RunQueryTest, ViewsOfARecordReadAsItsTexts)
{
    auto scratch = table(700);
    ASSERT_TRUE(scratch);
    for (const QueryVariant variant : {QueryVariant::A, QueryVariant::B}) {
        QueryRequest texted = request(*scratch, variant);
        texted.sql.replace(QStringLiteral("SELECT Code, Name"), QStringLiteral("SELECT Code, Name, 6 * 7, NULL"));
        records.clear();
        ASSERT_EQ(RunQuery(texted), 1);
        const QList<QStringList> asTexts = records;
        ASSERT_EQ(asTexts.value(0).value(1).count(u'|'), 3) << "four fields";
        EXPECT_TRUE(asTexts.value(0).value(1).endsWith(QStringLiteral("|42|"))) << asTexts.value(0).value(1).toStdString();
        records.clear();
        QueryRequest viewed = texted;
        viewed.onRecord = nullptr;
        viewed.onRecordViews = [this](int row, std::span<const QAnyStringView> fields) {
            QStringList texts;
            for (QAnyStringView field : fields)
                texts.append(field.toString());
            records.append({QString::number(row), texts.join('|')});
        };
        ASSERT_EQ(RunQuery(viewed), 1);
        EXPECT_EQ(records, asTexts);
        EXPECT_EQ(records.size(), 700);
    }
}

TEST_P(RunQueryTest, InsertRecordRowKeepsTheTextsInARecord)
{
    CReportListCtrl list;
    for (int i = 0; i < 3; ++i)
        list.InsertColumn(i, QString::number(i));
    std::unique_ptr<CTLItem> record(InsertRecordRow(list, 0, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("a"));
    EXPECT_EQ(list.GetItemText(0, 2), QStringLiteral("c"));
    EXPECT_EQ(list.GetItemImage(0), 0);
    EXPECT_EQ(list.GetItemData(0), record.get());
    EXPECT_EQ(record->GetSubstring(1), QStringLiteral("b"));
}

INSTANTIATE_TEST_SUITE_P(Engines, RunQueryTest, ::testing::ValuesIn(Engines()),
                         [](const auto& info) { return zq::test::EngineTestName(info.param.c_str()); });

// A page over the scratch table whose search is variant A of RunQuery.
class QueryPage : public CZQSearchPage {
public:
    explicit QueryPage(ScratchTable& table) : m_table(table) {}
    bool CreatePage(QWidget* parent) override
    {
        setParent(parent);
        m_list = new CReportListCtrl(this);
        SetupResultList(m_list, {{QStringLiteral("编号"), 80}, {QStringLiteral("名称"), 120}});
        return true;
    }
    CReportListCtrl* GetResultList() override { return m_list; }
    int DoSearch() override
    {
        m_list->DeleteAllItems();
        QueryRequest request;
        request.sql = m_table.selectAll();
        request.connection = m_table.connection();
        request.onRecord = [this](int row, const QStringList& fields) {
            const int at = m_list->InsertItem(row, fields.value(0));
            m_list->SetItemText(at, 1, fields.value(1));
        };
        return RunQuery(request);
    }

private:
    ScratchTable& m_table;
    CReportListCtrl* m_list = nullptr;
};

class QueryPageTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        m_table = ScratchTable::create("sqlite", 40);
        ASSERT_TRUE(m_table);
        zq::RegisterPageFactory(u8("设计零部件"), [this] { return std::make_unique<QueryPage>(*m_table); });
        m_install.writePageList({u8("设计零部件")});
        CZQPDMSearchFunction::m_pPDMSearchMain = &m_window;
        ASSERT_TRUE(m_window.Create(nullptr));
    }
    void TearDown() override { zq::RegisterPageFactory(u8("设计零部件"), {}); }

    ProgressWatchingDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    TempInstallation m_install;
    std::unique_ptr<ScratchTable> m_table;
    CZQPDMSearchMain m_window;
};

TEST_F(QueryPageTest, StatusCountsTheRowsReadUntilTheCancel)
{
    const struct {
        int cancelAfter;
        const char* status;
    } cases[] = {{-1, "操作提示:共查到40项记录"}, {3, "操作提示:共查到3项记录"}, {0, "操作提示:共查到0项记录"}};
    for (const auto& c : cases) {
        m_desktop.cancelAfterRows = c.cancelAfter;
        m_window.OnFind();
        EXPECT_EQ(m_window.StatusText(), u8(c.status));
    }
}

TEST_F(QueryPageTest, FindWhileTheQueryPumpsIsIgnored)
{
    int finds = 0;
    m_desktop.onPump = [&] {
        if (++finds == 5)
            m_window.OnFind();   // "查找" pressed again while rows are read
    };
    m_window.OnFind();
    EXPECT_EQ(m_window.StatusText(), u8("操作提示:共查到40项记录"));
    EXPECT_TRUE(m_desktop.pumps.first().text.startsWith(u8("正在查询符合条件的数据")));
    // One query only: one "querying" pump.
    int starts = 0;
    for (const auto& pump : m_desktop.pumps)
        starts += pump.text.startsWith(u8("正在查询"));
    EXPECT_EQ(starts, 1);
}

} // namespace
