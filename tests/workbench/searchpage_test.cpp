// What every page shares: building from its template, Enter and Escape, resizing, date
// pickers, the pop-up menu, the clipboard and the connection set-up.
#include "WorkbenchTestKit.h"

#include "FlatTabCtrl.h"
#include "DatePickers.h"
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QLineEdit>

using namespace wbtest;

namespace {

const DialogTemplate kPageTemplate{
    9901, QString(), QSize(300, 200), QStringLiteral("MS Sans Serif"), 8,
    {
        {1001, ControlKind::Edit, QString(), QRect(5, 5, 80, 12)},
        {1204, ControlKind::DatePicker, QString(), QRect(90, 5, 60, 12)},
        {1258, ControlKind::DatePicker, QString(), QRect(160, 5, 60, 12)},
        {1318, ControlKind::GridList, QString(), QRect(5, 20, 80, 100)},
        {1319, ControlKind::ReportList, QString(), QRect(90, 20, 150, 100)},
    },
};
const zq::TemplateRegistration kRegistration(&kPageTemplate);

class BasePage : public CZQSearchPage {
public:
    bool CreatePage(QWidget* parent) override { return CreateFromTemplate(parent, 9901); }
    int DoSearch() override { return ++searches; }
    bool OnInitDialog() override
    {
        ++initialised;
        return true;
    }
    using CZQSearchPage::InitConnection;
    using CZQSearchPage::KeyRule;
    using CZQSearchPage::ResizeRule;
    using CZQSearchPage::SetKeyRule;
    using CZQSearchPage::SetResizeRule;
    using CZQSearchPage::SetupDatePickers;
    using CZQSearchPage::TrackPopupMenu;
    using CZQSearchPage::FromDateText;
    using CZQSearchPage::ToDateText;
    zq::Connection* connection() const { return m_pConnection; }
    int searches = 0;
    int initialised = 0;
};

class SearchPageTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        zq::RegisterPageFactory(u8("设计零部件"), [] { return std::make_unique<BasePage>(); });
        m_install.writePageList({u8("设计零部件")});
        CZQPDMSearchFunction::m_pPDMSearchMain = &m_window;
        ASSERT_TRUE(m_window.Create(nullptr));
        m_page = static_cast<BasePage*>(m_window.CurrentPage());
        ASSERT_NE(m_page, nullptr);
    }
    void TearDown() override { zq::RegisterPageFactory(u8("设计零部件"), {}); }

    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    TempInstallation m_install;
    CZQPDMSearchMain m_window;
    BasePage* m_page = nullptr;
};

TEST_F(SearchPageTest, BuiltFromItsTemplateInsideTheTabs)
{
    EXPECT_EQ(m_page->initialised, 1);
    EXPECT_EQ(m_page->parentWidget(), m_window.TabCtrl());
    EXPECT_FALSE(m_page->isWindow());
    for (int id : {1001, 1204, 1258, 1318, 1319})
        EXPECT_NE(zq::Control(*m_page, id), nullptr) << id;
}

TEST_F(SearchPageTest, EnterAndEscapeByKeyRule)
{
    const struct {
        const char* name;
        BasePage::KeyRule rule;
        Qt::Key key;
        int finds;
        bool visibleAfter;
    } cases[] = {
        {"forwarded Enter finds once", BasePage::KeyRule::ForwardToParent, Qt::Key_Return, 1, true},
        {"forwarded Escape hides", BasePage::KeyRule::ForwardToParent, Qt::Key_Escape, 0, false},
        {"Enter on a page that swallows OK still finds", BasePage::KeyRule::Swallow, Qt::Key_Return, 1, true},
        {"swallowed Escape", BasePage::KeyRule::Swallow, Qt::Key_Escape, 0, true},
        {"plain Enter goes up to the window", BasePage::KeyRule::None, Qt::Key_Return, 1, true},
    };
    auto* edit = zq::ControlAs<QLineEdit>(*m_page, 1001);
    ASSERT_NE(edit, nullptr);
    for (bool focused : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (focused ? ", edit focused" : ""));
            m_page->SetKeyRule(c.rule);
            m_window.show();
            if (focused) {
                QApplication::setActiveWindow(&m_window);
                edit->setFocus();
                ASSERT_EQ(QApplication::focusWidget(), edit);
            }
            const int before = m_page->searches;
            QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
            QApplication::sendEvent(edit, &press);
            EXPECT_EQ(m_page->searches - before, c.finds);
            EXPECT_EQ(m_window.isVisible(), c.visibleAfter);
            EXPECT_TRUE(m_page->isVisibleTo(&m_window));
        }
    }
}

TEST_F(SearchPageTest, ResizeStretchesTheListsToTheCorner)
{
    const QRect condition0 = zq::Control(*m_page, 1318)->geometry();
    const QRect result0 = zq::Control(*m_page, 1319)->geometry();
    const struct {
        BasePage::ResizeRule rule;
        bool conditionStretched;
        bool resultStretched;
    } cases[] = {
        {BasePage::ResizeRule::ResultOnly, false, true},
        {BasePage::ResizeRule::ConditionAndResult, true, true},
        {BasePage::ResizeRule::Custom, false, false},
    };
    for (const auto& c : cases) {
        zq::Control(*m_page, 1318)->setGeometry(condition0);
        zq::Control(*m_page, 1319)->setGeometry(result0);
        m_page->SetResizeRule(c.rule);
        QResizeEvent resize(QSize(600, 400), m_page->size());
        QApplication::sendEvent(m_page, &resize);
        const QRect condition = zq::Control(*m_page, 1318)->geometry();
        const QRect result = zq::Control(*m_page, 1319)->geometry();
        EXPECT_EQ(condition, c.conditionStretched ? QRect(condition0.topLeft(), QPoint(condition0.right(), 400 - 5 - 1))
                                                  : condition0);
        EXPECT_EQ(result, c.resultStretched ? QRect(result0.topLeft(), QPoint(600 - 5 - 1, 400 - 5 - 1)) : result0);
    }
}

TEST_F(SearchPageTest, DatePickersStartFromNow)
{
    m_desktop.fixedNow = QDateTime(QDate(2024, 3, 10), QTime(9, 30));
    const struct {
        int daysBack;
        const char* from;
    } cases[] = {{30, "2024-02-09"}, {360, "2023-03-16"}, {365, "2023-03-11"}};
    for (const auto& c : cases) {
        m_page->SetupDatePickers(c.daysBack);
        EXPECT_EQ(m_page->FromDateText(), QString::fromLatin1(c.from));
        EXPECT_EQ(m_page->ToDateText(), QStringLiteral("2024-03-10"));
    }
    auto* picker = zq::ControlAs<QDateTimeEdit>(*m_page, 1204);
    EXPECT_EQ(picker->displayFormat(), QStringLiteral("yyyy-MM-dd"));
    EXPECT_TRUE(picker->calendarPopup());
}

// The calendar is built on the picker's first use, white when the page asked for it; a page set
// up twice still whitens it once.
TEST_F(SearchPageTest, CalendarBuiltOnFirstUseOfThePicker)
{
    const struct {
        bool white;
        QEvent::Type use;
    } cases[] = {
        {true, QEvent::MouseButtonPress},
        {true, QEvent::KeyPress},
        {false, QEvent::MouseButtonPress},
    };
    for (const auto& c : cases) {
        BasePage page;
        ASSERT_TRUE(page.CreatePage(&m_window));
        zq::SetupDatePickers(page, 30, c.white);
        zq::SetupDatePickers(page, 30, c.white);
        auto* picker = zq::ControlAs<QDateTimeEdit>(page, 1204);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->findChild<QWidget*>(QStringLiteral("qt_datetimedit_calendar")), nullptr);
        EXPECT_EQ(zq::CalendarWhitenedOnFirstUse(*picker), c.white);
        if (c.use == QEvent::KeyPress) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
            QApplication::sendEvent(picker, &key);
        } else {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), picker->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(picker, &press);
        }
        EXPECT_FALSE(zq::CalendarWhitenedOnFirstUse(*picker));
        if (c.white) {
            EXPECT_EQ(picker->calendarWidget()->palette().color(QPalette::Base), QColor(Qt::white));
        }
    }
}

TEST_F(SearchPageTest, MenuAndClipboardGoThroughTheDesktop)
{
    m_desktop.menuAnswers = {2, 9};
    const QList<zq::MenuEntry> entries{{1, QStringLiteral("属性")}, {0, QString()}, {2, QStringLiteral("复制")}};
    EXPECT_EQ(m_page->TrackPopupMenu(entries), 2);
    EXPECT_EQ(m_page->TrackPopupMenu(entries), 0);   // not offered: nothing chosen
    EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("MENU")).size(), 2);

    for (const QString& text : {QStringLiteral("GB-001"), QString()}) {
        CZQSearchPage::CopyTextToClipboard(text);
        EXPECT_EQ(m_desktop.clipboard, text);
    }
    EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("CLIP")).size(), 2);
}

TEST_F(SearchPageTest, ConnectionTakenOrCreated)
{
    auto scratch = ScratchTable::create("sqlite", 1);
    ASSERT_TRUE(scratch);
    zq::CZQDBConnect* hostConnection = zq::CZQDBConnect::GetCurDBConnect();

    zq::CZQDBConnect::SetCurDBConnect(&scratch->connect());
    EXPECT_TRUE(m_page->InitConnection());
    EXPECT_EQ(m_page->connection(), scratch->connection());

    // Without one of the host's, a page creates one from the configured URL; a dead one fails.
    const QByteArray previous = qgetenv("ZQPDM_DB");
    const struct {
        QString url;
        bool ok;
    } cases[] = {
        {scratch->url(), true},
        {QStringLiteral("sqlite:") + m_install.path() + QStringLiteral("/missing.db"), false},
        {QStringLiteral("postgresql://nobody@127.0.0.1:1/none"), false},
    };
    for (const auto& c : cases) {
        zq::CZQDBConnect::SetCurDBConnect(nullptr);
        qputenv("ZQPDM_DB", c.url.toUtf8());
        BasePage page;
        EXPECT_EQ(page.InitConnection(), c.ok) << c.url.toStdString();
        EXPECT_EQ(zq::CZQDBConnect::GetCurDBConnect() != nullptr, c.ok);
        EXPECT_EQ(page.connection() != nullptr, c.ok);
    }
    qputenv("ZQPDM_DB", previous);
    zq::CZQDBConnect::SetCurDBConnect(hostConnection);
}

} // namespace
