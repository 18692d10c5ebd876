// The property view: pages under tabs, switching and refusal, the page keys, the layout with
// and without auto-size, and the update notification to every page.
#include "WorkbenchTestKit.h"

#include "FlatTabCtrl.h"
#include "PropertyView.h"
#include "PropertyViewPage.h"

#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>

using namespace wbtest;

namespace {

constexpr int kTemplateId = 9950;
const DialogTemplate kPageTemplate{
    kTemplateId, QString(), QSize(200, 100), QStringLiteral("MS Sans Serif"), 8,
    {
        {1001, ControlKind::Edit, QString(), QRect(5, 5, 80, 12)},
        {1204, ControlKind::DatePicker, QString(), QRect(90, 5, 60, 12)},
    },
};
const zq::TemplateRegistration kRegistration(&kPageTemplate);

// A page whose data is the edit's text; it records what the view asks of it.
class RecordingPage : public CPropertyViewPage {
public:
    explicit RecordingPage(QStringList* log, QString name) : CPropertyViewPage(kTemplateId, name), m_log(log), m_name(std::move(name)) {}

    bool OnSetActive() override
    {
        m_log->append(m_name + QStringLiteral(" set"));
        return !refuseSet && CPropertyViewPage::OnSetActive();
    }
    bool OnKillActive() override
    {
        m_log->append(m_name + QStringLiteral(" kill"));
        return CPropertyViewPage::OnKillActive();
    }
    void OnUpdatePage(QObject* sender, qintptr hint, QObject* hintObject) override
    {
        m_log->append(QStringLiteral("%1 update %2 %3").arg(m_name).arg(hint).arg(sender ? sender->objectName() : "-"));
    }
    using CPropertyViewPage::UpdateData;

    QString data;
    bool refuseSet = false;
    bool refuseRead = false;

protected:
    bool DoDataExchange(bool save) override
    {
        if (save) {
            if (refuseRead)
                return false;
            data = zq::ControlText(*this, 1001);
        } else {
            zq::SetControlText(*this, 1001, data);
        }
        return true;
    }

private:
    QStringList* m_log;
    QString m_name;
};

class PropertyViewTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        m_view = std::make_unique<CPropertyView>();
        m_view->setObjectName(QStringLiteral("view"));
        for (const char* name : {"A", "B", "C"}) {
            auto page = std::make_unique<RecordingPage>(&m_log, QString::fromLatin1(name));
            m_pages.append(page.get());
            ASSERT_EQ(m_view->InsertPage(m_view->GetPageCount(), std::move(page), QString::fromLatin1(name)),
                      m_pages.size() - 1);
        }
        m_view->resize(800, 600);
        m_view->show();
        ASSERT_TRUE(m_view->SetActivePage(0));
        m_log.clear();
    }

    void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &press);
    }

    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    QStringList m_log;
    std::unique_ptr<CPropertyView> m_view;
    QList<RecordingPage*> m_pages;
};

TEST_F(PropertyViewTest, PagesUnderTabs)
{
    EXPECT_EQ(m_view->GetTabCtrl()->objectName(), QStringLiteral("29029"));
    EXPECT_EQ(m_view->GetPageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_view->GetPage(i), m_pages[i]);
        EXPECT_EQ(m_view->GetTabCtrl()->GetItemText(i), m_pages[i]->windowTitle());
        EXPECT_EQ(m_pages[i]->isVisible(), i == 0) << i;
        EXPECT_FALSE(m_pages[i]->isWindow());
    }
    EXPECT_EQ(m_view->GetPage(3), nullptr);
    EXPECT_EQ(m_view->GetPage(-1), nullptr);
    EXPECT_EQ(m_view->GetActiveIndex(), 0);
    // Dynamically creatable under its own name.
    EXPECT_STREQ(CPropertyView::staticMetaObject.className(), "CPropertyView");
    std::unique_ptr<QObject> made(CPropertyView::staticMetaObject.newInstance());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(qobject_cast<CPropertyView*>(made.get())->GetActiveIndex(), -1);
}

struct SwitchCase {
    const char* name;
    int target;
    bool refuseRead;      // the current page A cannot give its data back
    bool refuseSet;       // the target refuses to be shown
    bool result;
    int activeAfter;
    QStringList log;
};

TEST_F(PropertyViewTest, SetActivePage)
{
    const SwitchCase cases[] = {
        {"the current page", 0, false, false, true, 0, {}},
        {"out of range", 3, false, false, false, 0, {}},
        {"negative", -1, false, false, false, 0, {}},
        {"A refuses to go", 1, true, false, false, 0, {"A kill"}},
        {"C refuses to come", 2, false, true, false, 0, {"A kill", "C set"}},
        {"to C", 2, false, false, true, 2, {"A kill", "C set"}},
    };
    for (const SwitchCase& c : cases) {
        ASSERT_TRUE(m_view->SetActivePage(0));
        m_log.clear();
        m_pages[0]->refuseRead = c.refuseRead;
        m_pages[c.target >= 0 && c.target < 3 ? c.target : 0]->refuseSet = c.refuseSet;
        EXPECT_EQ(m_view->SetActivePage(c.target), c.result) << c.name;
        EXPECT_EQ(m_view->GetActiveIndex(), c.activeAfter) << c.name;
        EXPECT_EQ(m_view->GetTabCtrl()->GetCurSel(), c.activeAfter) << c.name;
        EXPECT_EQ(m_log, c.log) << c.name;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(m_pages[i]->isVisible(), i == c.activeAfter) << c.name << " page " << i;
            EXPECT_EQ(m_pages[i]->isEnabled(), i == c.activeAfter) << c.name << " page " << i;
        }
        for (RecordingPage* page : m_pages)
            page->refuseRead = page->refuseSet = false;
    }
}

TEST_F(PropertyViewTest, DataTravelsThroughActivation)
{
    zq::SetControlText(*m_pages[0], 1001, QStringLiteral("typed"));
    ASSERT_TRUE(m_view->SetActivePage(1));
    EXPECT_EQ(m_pages[0]->data, QStringLiteral("typed"));
    m_pages[0]->data = QStringLiteral("from data");
    ASSERT_TRUE(m_view->SetActivePage(0));
    EXPECT_EQ(zq::ControlText(*m_pages[0], 1001), QStringLiteral("from data"));
    // Told to skip once, the page keeps what its controls show.
    ASSERT_TRUE(m_view->SetActivePage(1));
    m_pages[0]->data = QStringLiteral("ignored");
    m_pages[0]->SkipNextRefresh();
    ASSERT_TRUE(m_view->SetActivePage(0));
    EXPECT_EQ(zq::ControlText(*m_pages[0], 1001), QStringLiteral("from data"));
}

TEST_F(PropertyViewTest, TabClicksAreRefusedLikeSwitches)
{
    QTabBar* bar = m_view->GetTabCtrl()->tabBar();
    m_pages[0]->refuseRead = true;
    bar->setCurrentIndex(1);   // as a click does
    EXPECT_EQ(bar->currentIndex(), 0);
    EXPECT_EQ(m_view->GetActiveIndex(), 0);
    m_pages[0]->refuseRead = false;
    m_pages[2]->refuseSet = true;
    bar->setCurrentIndex(2);
    EXPECT_EQ(bar->currentIndex(), 0);
    EXPECT_TRUE(m_pages[0]->isVisible());
    bar->setCurrentIndex(1);
    EXPECT_EQ(m_view->GetActiveIndex(), 1);
    EXPECT_TRUE(m_pages[1]->isVisible());
    EXPECT_FALSE(m_pages[0]->isVisible());
}

TEST_F(PropertyViewTest, CtrlKeysStepThroughThePages)
{
    auto* edit = zq::ControlAs<QLineEdit>(*m_pages[0], 1001);
    ASSERT_NE(edit, nullptr);
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        int from;
        int to;
    } cases[] = {
        {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier, 0, 1},
        {"Ctrl+Tab after the last", Qt::Key_Tab, Qt::ControlModifier, 2, 0},
        {"Ctrl+Page Down", Qt::Key_PageDown, Qt::ControlModifier, 1, 2},
        {"Ctrl+Shift+Tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1, 0},
        {"Ctrl+Shift+Tab before the first", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0, 2},
        {"Ctrl+Page Up before the first", Qt::Key_PageUp, Qt::ControlModifier, 0, 2},
        {"Page Down without Ctrl", Qt::Key_PageDown, Qt::NoModifier, 1, 1},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m_view->SetActivePage(c.from));
        // From a control inside the page: the page hands the key to the view.
        Press(zq::Control(*m_pages[c.from], 1001), c.key, c.modifiers);
        EXPECT_EQ(m_view->GetActiveIndex(), c.to) << c.name;
    }
    // A date picker does not step its date on Ctrl+Page Up; the view takes the key.
    ASSERT_TRUE(m_view->SetActivePage(0));
    auto* picker = zq::ControlAs<QDateTimeEdit>(*m_pages[0], 1204);
    ASSERT_NE(picker, nullptr);
    const QDate before = picker->date();
    Press(picker, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(picker->date(), before);
    EXPECT_EQ(m_view->GetActiveIndex(), 2);
    // A refusing page is not left by keys either.
    m_pages[2]->refuseRead = true;
    Press(m_view.get(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(m_view->GetActiveIndex(), 2);
}

TEST_F(PropertyViewTest, LayoutFollowsTheClientOrThePage)
{
    RecordingPage* page = m_pages[0];
    const QSize created = page->CreationSize();
    ASSERT_GT(created.width(), 0);
    ASSERT_GT(created.height(), 0);

    // Large client: the tabs fill it, the page fills the display area less 2 pixels a side.
    m_view->resize(created.width() + 300, created.height() + 300);
    const QSize client = m_view->viewport()->size();
    EXPECT_EQ(m_view->ScrollSize(), client);
    CFlatTabCtrl* tabs = m_view->GetTabCtrl();
    EXPECT_EQ(tabs->geometry(), QRect(0, CPropertyView::kBand, client.width(), client.height() - CPropertyView::kBand));
    const QRect display = tabs->DisplayRect().translated(tabs->pos());
    EXPECT_EQ(page->geometry(), display.adjusted(2, 2, -2, -2));

    // Small client with auto-size: the area grows to the page's size, and scrolls.
    m_view->resize(created.width() / 2, created.height() / 2);
    const int bar = tabs->height() - tabs->DisplayRect().height();
    EXPECT_EQ(m_view->ScrollSize(), QSize(created.width() + 4, created.height() + 4 + bar + CPropertyView::kBand));
    EXPECT_EQ(page->size(), created);
    EXPECT_GT(m_view->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(m_view->verticalScrollBar()->maximum(), 0);

    // Without auto-size the area is the client area, however small.
    m_view->SetAutoSize(false);
    EXPECT_EQ(m_view->ScrollSize(), m_view->viewport()->size());
    EXPECT_EQ(tabs->width(), m_view->viewport()->width());
}

TEST_F(PropertyViewTest, UpdatesReachEveryPageInTabOrder)
{
    m_view->OnUpdate(m_view.get(), 7, nullptr);
    EXPECT_EQ(m_log, (QStringList{"A update 7 view", "B update 7 view", "C update 7 view"}));
    m_log.clear();
    m_pages[1]->data = QStringLiteral("shown");
    EXPECT_TRUE(m_pages[1]->RefreshPage());
    EXPECT_EQ(zq::ControlText(*m_pages[1], 1001), QStringLiteral("shown"));
    EXPECT_EQ(m_log, QStringList{"B update 0 -"});
}

TEST_F(PropertyViewTest, ModifiedFlagReachesTheOwner)
{
    QList<bool> told;
    QObject::connect(m_view.get(), &CPropertyView::pageModified,
                     [&told](CPropertyViewPage*, bool modified) { told.append(modified); });
    m_pages[0]->SetModified(true);
    EXPECT_TRUE(m_pages[0]->IsModified());
    EXPECT_TRUE(told.isEmpty());   // no owner yet
    m_pages[0]->SetOwner(m_view.get());
    m_pages[0]->SetModified(false);
    m_pages[0]->SetModified(true);
    EXPECT_EQ(told, (QList<bool>{false, true}));
    zq::SetControlText(*m_pages[0], 1001, QStringLiteral("applied"));
    EXPECT_TRUE(m_pages[0]->ApplyPage());
    EXPECT_EQ(m_pages[0]->data, QStringLiteral("applied"));
    m_pages[0]->refuseRead = true;
    EXPECT_FALSE(m_pages[0]->ApplyPage());
}

} // namespace
