// The module's interface to the host: window lifecycle, command object, tree items and the
// module's resources.
#include "../workbench/WorkbenchTestKit.h"

#include "DialogTemplate.h"
#include "FlatTabCtrl.h"
#include <QAbstractButton>
#include <QPointer>

using namespace wbtest;
using F = CZQPDMSearchFunction;

namespace {

class SearchFunctionTest : public WithApp, public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        RegisterTestPages();
        m_install.writePageList({u8("更改单"), u8("设计文档"), u8("设计零部件")});
    }
    void TearDown() override
    {
        F::DestorySearchMain();
        F::SetDllCommand(nullptr);
        flushDeferredDeletes();
        F::m_pParentWnd = nullptr;
    }
    TestPage* page(int index) const { return AsTestPage(F::m_pPDMSearchMain->Pages().value(index)); }

    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scope{m_desktop};
    TempInstallation m_install;
};

TEST_F(SearchFunctionTest, WhicheverCallComesFirstCreatesTheWindow)
{
    QWidget host;
    CTreeCtrlEx tree;
    const CTreeCursor item = tree.InsertItem(QStringLiteral("产品"));
    const struct {
        const char* name;
        std::function<bool()> call;
        bool result;
        bool visible;
        QWidget* parent;
    } cases[] = {
        {"CreateSearchMain", [&] { return F::CreateSearchMain(&host); }, true, false, &host},
        {"ShowSearchMain(TRUE)", [] { return F::ShowSearchMain(true); }, true, true, nullptr},
        {"ShowSearchMain(FALSE)", [] { return F::ShowSearchMain(false); }, true, false, nullptr},
        {"SetCurTreeItem", [&] { F::SetCurTreeItem(item); return true; }, true, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        F::DestorySearchMain();
        F::m_pParentWnd = nullptr;
        ASSERT_EQ(F::m_pPDMSearchMain, nullptr);
        EXPECT_EQ(c.call(), c.result);
        ASSERT_NE(F::m_pPDMSearchMain, nullptr);
        EXPECT_TRUE(F::m_pPDMSearchMain->IsCreated());
        EXPECT_EQ(F::m_pPDMSearchMain->isVisible(), c.visible);
        EXPECT_EQ(F::m_pPDMSearchMain->parentWidget(), c.parent);
        EXPECT_EQ(F::m_pPDMSearchMain->windowTitle(), u8("查找 : 产品数据"));
        EXPECT_EQ(F::m_pPDMSearchMain->Pages().size(), 3);
        EXPECT_EQ(F::m_pPDMSearchMain->CurrentPage(), F::m_pPDMSearchMain->Pages().value(0));
    }
    // The tree item of the last case reached the first page, the current one.
    ASSERT_EQ(page(0)->treeItems.size(), 1);
    EXPECT_EQ(page(0)->treeItems[0], item);
    EXPECT_TRUE(page(1)->treeItems.isEmpty());
}

TEST_F(SearchFunctionTest, NullParentChangesNothing)
{
    QWidget host;
    EXPECT_FALSE(F::CreateSearchMain(nullptr));
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
    EXPECT_EQ(F::m_pParentWnd, nullptr);
    ASSERT_TRUE(F::CreateSearchMain(&host));
    EXPECT_FALSE(F::CreateSearchMain(nullptr));
    EXPECT_EQ(F::m_pParentWnd, &host);
}

TEST_F(SearchFunctionTest, SecondCreateOnlyReplacesTheParent)
{
    QWidget first, second;
    ASSERT_TRUE(F::CreateSearchMain(&first));
    CZQPDMSearchMain* window = F::m_pPDMSearchMain;
    ASSERT_TRUE(F::CreateSearchMain(&second));
    EXPECT_EQ(F::m_pPDMSearchMain, window);
    EXPECT_EQ(F::m_pParentWnd, &second);
    EXPECT_EQ(window->parentWidget(), &first);
}

TEST_F(SearchFunctionTest, ShowAndHideAnExistingWindow)
{
    ASSERT_TRUE(F::ShowSearchMain(false));
    CZQPDMSearchMain* window = F::m_pPDMSearchMain;
    const bool steps[] = {true, false, true, true, false};
    for (bool show : steps) {
        EXPECT_TRUE(F::ShowSearchMain(show));
        EXPECT_EQ(F::m_pPDMSearchMain, window);
        EXPECT_EQ(window->isVisible(), show);
    }
}

TEST_F(SearchFunctionTest, DestroyTwiceOrWithoutWindowDoesNothing)
{
    F::DestorySearchMain();
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
    ASSERT_TRUE(F::ShowSearchMain(true));
    QPointer<CZQPDMSearchMain> window = F::m_pPDMSearchMain;
    F::DestorySearchMain();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
    F::DestorySearchMain();
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
}

TEST_F(SearchFunctionTest, AfterDestroyAFreshWindowWithFreshPages)
{
    ASSERT_TRUE(F::ShowSearchMain(true));
    F::m_pPDMSearchMain->OnFind();
    QPointer<CZQSearchPage> oldPage = F::m_pPDMSearchMain->CurrentPage();
    EXPECT_EQ(page(0)->list()->GetItemCount(), 3);
    F::DestorySearchMain();
    EXPECT_TRUE(oldPage.isNull());
    ASSERT_TRUE(F::ShowSearchMain(true));
    EXPECT_TRUE(F::m_pPDMSearchMain->isVisible());
    EXPECT_EQ(page(0)->searches, 0);
    EXPECT_EQ(page(0)->list()->GetItemCount(), 0);
    EXPECT_EQ(F::m_pPDMSearchMain->StatusText(), u8("操作提示："));
}

TEST_F(SearchFunctionTest, NullCommandObjectStopsLocate)
{
    RecordingCommand host;
    F::SetDllCommand(&host);
    ASSERT_TRUE(F::ShowSearchMain(true));
    zq::SetChecked(*F::m_pPDMSearchMain, CZQPDMSearchMain::IDC_LOCATE, true);
    F::m_pPDMSearchMain->OnFind();
    page(0)->list()->SelectRow(0);
    ASSERT_EQ(host.commands.size(), 1);
    EXPECT_EQ(host.commands[0], (QStringList{QStringLiteral("Locate"), QStringLiteral("R1-0")}));
    EXPECT_EQ(F::m_pCommandBase, &host);

    F::SetDllCommand(nullptr);
    EXPECT_EQ(F::m_pCommandBase, nullptr);
    page(0)->list()->SelectRow(1);
    EXPECT_EQ(host.commands.size(), 1);
    EXPECT_EQ(m_desktop.eventsOf(QStringLiteral("CMD")).size(), 1);
}

TEST_F(SearchFunctionTest, ModuleResourcesAreFoundDuringCreation)
{
    ASSERT_TRUE(F::ShowSearchMain(false));
    EXPECT_TRUE(page(0)->overridesAtCreate.contains(QStringLiteral("ZQPDMSearch")));
    EXPECT_FALSE(zq::ActiveOverrides().contains(QStringLiteral("ZQPDMSearch")));
}

TEST_F(SearchFunctionTest, ModuleResources)
{
    const DialogTemplate* main = zq::FindDialogTemplate(23001);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->caption, u8("查找 : 产品数据"));
    EXPECT_EQ(main->size, QSize(361, 257));
    const QPixmap strip = zq::LoadBitmapResource(135);
    EXPECT_EQ(strip.size(), QSize(184, 16));
    for (int id : {140, 148, 207, 221}) {
        const QIcon icon = zq::LoadIconResource(id);
        EXPECT_FALSE(icon.isNull()) << id;
        EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16)) << id;
    }
    EXPECT_TRUE(zq::LoadIconResource(999).isNull());
}

TEST_F(SearchFunctionTest, WindowControlsFromTheTemplate)
{
    ASSERT_TRUE(F::ShowSearchMain(false));
    CZQPDMSearchMain& window = *F::m_pPDMSearchMain;
    const struct {
        int id;
        const char* text;
    } controls[] = {{1044, "操作提示："}, {1057, "关联视图项"}, {1137, "另存为..."}, {1300, "查找"}, {2, "退出"}};
    for (const auto& c : controls)
        EXPECT_EQ(zq::ControlText(window, c.id), u8(c.text)) << c.id;
    EXPECT_FALSE(zq::Control(window, 24000)->isVisibleTo(&window));
    EXPECT_NE(window.TabCtrl(), nullptr);
}

TEST_F(SearchFunctionTest, DestroyDuringARunningQueryWaitsForIt)
{
    QPointer<CZQPDMSearchMain> window;
    bool pageAliveAfterDestroy = false;
    Settings().onSearch = [&](TestPage& page) {
        page.runGuarded([&] {
            F::DestorySearchMain();            // the host's call, arriving while rows are read
            pageAliveAfterDestroy = !window.isNull();
            page.list()->InsertItem(0, QStringLiteral("late row"));
        });
    };
    ASSERT_TRUE(F::ShowSearchMain(true));
    window = F::m_pPDMSearchMain;
    window->OnFind();
    EXPECT_TRUE(pageAliveAfterDestroy);
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->StatusText(), u8("操作提示:共查到1项记录"));
    flushDeferredDeletes();
    EXPECT_TRUE(window.isNull());

    // The next request gets a new window.
    Settings().onSearch = nullptr;
    ASSERT_TRUE(F::ShowSearchMain(true));
    EXPECT_NE(F::m_pPDMSearchMain, nullptr);
}

TEST_F(SearchFunctionTest, HostDeletingItsWindowTakesOursAlong)
{
    auto host = std::make_unique<QWidget>();
    ASSERT_TRUE(F::CreateSearchMain(host.get()));
    host.reset();
    EXPECT_EQ(F::m_pPDMSearchMain, nullptr);
    EXPECT_EQ(F::m_pParentWnd, nullptr);
    EXPECT_TRUE(F::ShowSearchMain(true));
    EXPECT_EQ(F::m_pPDMSearchMain->parentWidget(), nullptr);
}

} // namespace
