// The page "文档内容" on an indexed demo installation, the index on SQLite or on PostgreSQL: each
// word that occurs only inside one stored file finds that file, with the word in context; all
// typed words must occur; odd characters are only characters; the kind and the date narrow; a hit
// opens as on the two document pages; without an index the user is told what to do.
#include "CallLog.h"
#include "IndexTestKit.h"
#include "ListCtrl.h"
#include "ZQPDMSearchContent.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QDir>
#include <QFile>

using namespace zq;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

class ContentPage : public test::IndexTest {
protected:
    void SetUp() override
    {
        IndexTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_index = std::make_unique<test::ScopedEnv>("ZQPDM_INDEX", indexUrl);
        const index::IndexRunReport report = Index();
        ASSERT_TRUE(report.upToDate()) << str(report.fatal);
        desktop.fixedNow = QDateTime(home().today(), QTime(9, 0));
        m_host = std::make_unique<QWidget>();
        m_page = new CZQPDMSearchContent(m_host.get());
        ASSERT_TRUE(m_page->CreatePage(m_host.get()));
    }
    CReportListCtrl& List() { return *ControlAs<CReportListCtrl>(*m_page, CZQPDMSearchContent::IDC_RESULTS); }
    // Searches for the words; the rows as "file|kind|snippet".
    QStringList Search(const QString& words)
    {
        SetControlText(*m_page, CZQPDMSearchContent::IDC_WORDS, words);
        desktop.events.clear();
        EXPECT_EQ(m_page->DoSearch(), 1) << str(words);
        EXPECT_EQ(desktop.messages(), QStringList()) << str(words);
        QStringList rows;
        for (int r = 0; r < List().GetItemCount(); ++r)
            rows << List().GetItemText(r, 1) + u'|' + List().GetItemText(r, 2) + u'|' + List().GetItemText(r, 4);
        return rows;
    }
    QStringList Files(const QString& words)
    {
        QStringList files;
        for (const QString& row : Search(words))
            files << row.section(u'|', 0, 0);
        files.sort();
        return files;
    }

    // A page of its own, which opens the index afresh, searching for a word of one stored file;
    // the messages it showed.
    QStringList SearchOnANewPage(CZQPDMSearchContent*& page, int expected)
    {
        page = new CZQPDMSearchContent(m_host.get());
        EXPECT_TRUE(page->CreatePage(m_host.get()));
        SetControlText(*page, CZQPDMSearchContent::IDC_WORDS, QStringLiteral("镀锌钝化"));
        desktop.events.clear();
        EXPECT_EQ(page->DoSearch(), expected);
        EXPECT_EQ(ControlAs<CReportListCtrl>(*page, CZQPDMSearchContent::IDC_RESULTS)->GetItemCount(), expected);
        return desktop.messages();
    }
    QStringList SearchAgain(CZQPDMSearchContent& page)
    {
        desktop.events.clear();
        EXPECT_EQ(page.DoSearch(), 1);
        EXPECT_EQ(ControlAs<CReportListCtrl>(page, CZQPDMSearchContent::IDC_RESULTS)->GetItemCount(), 1);
        return desktop.messages();
    }

    std::unique_ptr<test::ScopedEnv> m_index;
    std::unique_ptr<QWidget> m_host;
    CZQPDMSearchContent* m_page = nullptr;
};

TEST_P(ContentPage, EachWordInsideOneFileFindsItInContext)
{
    EXPECT_EQ(List().GetColumnTexts(0), QStringList());
    const struct {
        const char* word;
        const char* file;
        const char* kind;
    } cases[] = {
        {"氟橡胶密封圈", "ZQ8700技术条件.pdf", "设计文档"},      {"鼠笼转子", "Y系列电机样本.pdf", "资源文件"},
        {"当量动载荷", "深沟球轴承选型手册.pdf", "资源文件"},    {"压缩永久变形", "O型圈选型.txt", "设计文档"},
        {"螺纹公差6g", "GB5783螺栓标准.txt", "资源文件"},        {"HT200铸件时效处理", "ZQ8600-01-01.dxf", "设计文档"},
        {"空载跑合试验", "ZQ8600减速器技术条件.docx", "设计文档"}, {"易损件清单", "ZQ8600零件明细.xlsx", "设计文档"},
        {"镀锌钝化", "ZQ8600标准件清单.csv", "设计文档"},
    };
    for (const auto& c : cases) {
        const QStringList rows = Search(QString::fromUtf8(c.word));
        ASSERT_EQ(rows.size(), 1) << c.word << ": " << str(rows.join(u'\n'));
        const QStringList cells = rows.first().split(u'|');
        EXPECT_EQ(cells.at(0), QString::fromUtf8(c.file)) << c.word;
        EXPECT_EQ(cells.at(1), QString::fromUtf8(c.kind)) << c.word;
        // The words in context: the word, a little before it, more after it, on one line.
        const QString snippet = cells.at(2);
        EXPECT_TRUE(snippet.contains(QString::fromUtf8(c.word))) << c.word << ": " << str(snippet);
        EXPECT_LE(snippet.size(), 64) << str(snippet);
        EXPECT_GE(snippet.size(), 20) << str(snippet);
        EXPECT_FALSE(snippet.contains(u'\n'));
    }
}

TEST_P(ContentPage, AllWordsMustOccurAndOddCharactersAreOnlyCharacters)
{
    const QStringList ht200{QStringLiteral("HT200铸件技术条件.doc"), QStringLiteral("ZQ8600-01-01.dxf")};
    const struct {
        const char* words;
        QStringList files;
    } cases[] = {
        {"HT200", ht200},
        {"ht200 铸件", ht200},                                   // letters in any case; two words
        {"HT200 铸件 时效处理", {QStringLiteral("ZQ8600-01-01.dxf")}},
        {"HT200 鼠笼转子", {}},
        {"镀", {QStringLiteral("GB5783螺栓标准.txt"), QStringLiteral("ZQ8600标准件清单.csv")}},   // one character: a scan
        {"%", {QStringLiteral("O型圈选型.txt"), QStringLiteral("ZQ8600减速器技术条件.docx")}},   // a wildcard taken literally
        {"O'型圈", {QStringLiteral("O型圈选型.txt"), QStringLiteral("ZQ8600零件明细.xlsx")}},
        {"' OR 1=1 --", {}},
        {"\"*(:-", {}},
        {"NEAR(a b) OR", {}},
        {"\\ _ %%", {}},
        {"%1 %2", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Files(QString::fromUtf8(c.words)), c.files) << c.words;
}

// Letter case and width are one rule on every engine; the snippet is cut around the word as found
// and shows the text as it stands.
TEST_P(ContentPage, WordsAreFoundWhateverTheirCaseAndWidthAndShownAsTheyStand)
{
    const struct {
        const char* words;
        const char* file;
        const char* shown;
    } cases[] = {
        {"Φ4", "O型圈选型.txt", "φ40×3.1"},
        {"Φ40", "O型圈选型.txt", "φ40×3.1"},
        {"ｙ１３２ｍ－４", "Y系列电机样本.pdf", "Y132M-4"},
        {"ＨＴ２００铸件时效", "ZQ8600-01-01.dxf", "HT200铸件时效"},
    };
    for (const auto& c : cases) {
        const QStringList rows = Search(QString::fromUtf8(c.words));
        ASSERT_EQ(rows.size(), 1) << c.words << ": " << str(rows.join(u'\n'));
        EXPECT_EQ(rows.first().section(u'|', 0, 0), QString::fromUtf8(c.file)) << c.words;
        EXPECT_TRUE(rows.first().section(u'|', 2).contains(QString::fromUtf8(c.shown))) << c.words << ": " << str(rows.first());
    }
}

// A page of this version over an index the version before wrote: the user is told what to do,
// and once zqpdm-index has run, the search works.
TEST_P(ContentPage, AnIndexOfTheEarlierLayoutSaysWhatToDo)
{
    MakeEarlierLayout();
    if (HasFatalFailure())
        return;
    CZQPDMSearchContent* page = nullptr;
    const QStringList told = SearchOnANewPage(page, 0);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().contains(QStringLiteral("旧"))) << str(told.first());
    EXPECT_TRUE(told.first().contains(QStringLiteral("zqpdm-index"))) << str(told.first());

    ASSERT_TRUE(Index().upToDate());
    EXPECT_EQ(SearchAgain(*page), QStringList());
}

// The layout before differs only in what the indexer keeps for itself: a new page searches it as
// it stands, before zqpdm-index has run.
TEST_P(ContentPage, AnIndexOfTheLayoutBeforeIsSearchedAsItStands)
{
    MakeEarlierLayout(2);
    if (HasFatalFailure())
        return;
    CZQPDMSearchContent* page = nullptr;
    EXPECT_EQ(SearchOnANewPage(page, 1), QStringList());
}

TEST_P(ContentPage, TheKindAndTheDatesNarrow)
{
    SetComboIndex(*m_page, CZQPDMSearchContent::IDC_KIND, content::KindResource);
    EXPECT_EQ(Files(QStringLiteral("HT200")), QStringList{QStringLiteral("HT200铸件技术条件.doc")});
    SetComboIndex(*m_page, CZQPDMSearchContent::IDC_KIND, content::KindDesign);
    EXPECT_EQ(Files(QStringLiteral("HT200")), QStringList{QStringLiteral("ZQ8600-01-01.dxf")});
    SetComboIndex(*m_page, CZQPDMSearchContent::IDC_KIND, content::KindAll);

    // The dates apply once ticked: the DXF is 35 days old, the HT200 resource file 380.
    auto* from = ControlAs<QDateEdit>(*m_page, CZQPDMSearchContent::IDC_FROM);
    EXPECT_FALSE(from->isEnabled());
    from->setDate(home().today().addDays(-100));
    EXPECT_EQ(Files(QStringLiteral("HT200")).size(), 2);
    ControlAs<QAbstractButton>(*m_page, CZQPDMSearchContent::IDC_BY_DATE)->click();
    EXPECT_TRUE(from->isEnabled());
    EXPECT_EQ(Files(QStringLiteral("HT200")), QStringList{QStringLiteral("ZQ8600-01-01.dxf")});
}

TEST_P(ContentPage, AHitOpensAsOnTheDocumentPages)
{
    const struct {
        const char* word;
        bool byMenu;
        QString call;
        QString stored;
    } cases[] = {
        {"氟橡胶密封圈", false, QStringLiteral("GetFileFromFTP|\\Zq\\Proven\\ZQ8700\\ZQ8700\\A\\|ZQ8700技术条件.pdf"),
         QStringLiteral("Zq/Proven/ZQ8700/ZQ8700/A/ZQ8700技术条件.pdf")},
        {"鼠笼转子", true,
         QStringLiteral("PopFileFromDB|SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='R-DJ-01' AND "
                        "DocType='Y系列电机样本'"),
         QStringLiteral("Zq/Resource/R-DJ-01/Y系列电机样本.pdf")},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Search(QString::fromUtf8(c.word)).size(), 1);
        List().SetSelectionMark(0);
        CallLog::Clear();
        desktop.events.clear();
        if (c.byMenu) {
            desktop.menuAnswers = {1};
            m_page->OnRclickResult();
            EXPECT_EQ(desktop.lastMenu.value(0).text, QStringLiteral("浏览..."));
        } else {
            m_page->OnDblclkResult();
        }
        QStringList calls;
        for (const ServiceCall& call : CallLog::Calls())
            calls << call.operation + u'|' + call.args.join(u'|');
        EXPECT_TRUE(calls.join(u'\n').contains(c.call)) << str(calls.join(u'\n'));
        const QList<ScriptedDesktop::Event> opened = desktop.eventsOf(QStringLiteral("OPEN"));
        ASSERT_EQ(opened.size(), 1) << c.word;
        QFile local(opened.first().fields.value(0)), stored(home().storeDir() + u'/' + c.stored);
        ASSERT_TRUE(local.open(QIODevice::ReadOnly) && stored.open(QIODevice::ReadOnly));
        EXPECT_EQ(local.readAll(), stored.readAll()) << c.word;
    }
}

TEST_P(ContentPage, WithoutAnIndexTheUserIsToldAndTheNextSearchFindsOneMadeSince)
{
    const QString missing = QStringLiteral("sqlite:") + home().path(QStringLiteral("later/ci.db"));
    test::ScopedEnv elsewhere("ZQPDM_INDEX", missing);
    CZQPDMSearchContent* page = nullptr;
    const QStringList told = SearchOnANewPage(page, 0);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().startsWith(QStringLiteral("还没有内容索引"))) << str(told.first());
    EXPECT_TRUE(told.first().contains(QStringLiteral("zqpdm-index")));
    EXPECT_FALSE(QFile::exists(missing.mid(7))) << "searching made no empty index";

    QDir().mkpath(home().path(QStringLiteral("later")));
    ASSERT_TRUE(index::ContentIndexer(test::IndexOptions(missing)).run().upToDate());
    EXPECT_EQ(SearchAgain(*page), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Engines, ContentPage, testing::ValuesIn(test::IndexEngines()),
                         [](const testing::TestParamInfo<const char*>& info) { return test::EngineTestName(info.param); });

} // namespace
