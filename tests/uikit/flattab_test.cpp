// The flat tab control: tabs with images, selection by code without a notification, the
// user's selection with one, and the display area below the tabs.
#include "ControlTestSupport.h"
#include "FlatTabCtrl.h"
#include "ScriptedDesktop.h"
#include <QPixmap>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class FlatTabTest : public ::testing::Test, zqtest::WithApp {
protected:
    void SetUp() override
    {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::blue);
        images.Add(QIcon(pixmap));
        tabs.SetImageList(&images);
        QObject::connect(&tabs, &CFlatTabCtrl::selChange, [this](int index) { changes.append(index); });
        tabs.resize(500, 300);
    }
    void addTabs()
    {
        const QString captions[] = {QStringLiteral("设计零部件"), QStringLiteral("资源文件"), QStringLiteral("设计文档")};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(tabs.InsertItem(i, captions[i], i), i);
    }
    CImageList images;
    CFlatTabCtrl tabs;
    QList<int> changes;
};

TEST_F(FlatTabTest, TabsAreAddedWithTheirImagesAndNoNotification)
{
    EXPECT_EQ(tabs.GetCurSel(), -1);
    addTabs();
    EXPECT_EQ(tabs.GetItemCount(), 3);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(tabs.GetItemText(1), QStringLiteral("资源文件"));
    EXPECT_FALSE(tabs.tabBar()->tabIcon(0).isNull());
    EXPECT_TRUE(tabs.tabBar()->tabIcon(1).isNull());   // image 1 is not in the list
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(FlatTabTest, SetCurSelReturnsThePreviousSelection)
{
    addTabs();
    struct Case {
        int index, expectedResult, expectedCurrent;
    };
    const Case cases[] = {{2, 0, 2}, {1, 2, 1}, {1, 1, 1}, {3, -1, 1}, {-1, -1, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(tabs.SetCurSel(c.index), c.expectedResult) << c.index;
        EXPECT_EQ(tabs.GetCurSel(), c.expectedCurrent) << c.index;
    }
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(FlatTabTest, AClickOnATabNotifiesTheNewSelection)
{
    addTabs();
    tabs.show();
    QCoreApplication::processEvents();
    zqtest::click(tabs.tabBar(), tabs.tabBar()->tabRect(2).center());
    zqtest::click(tabs.tabBar(), tabs.tabBar()->tabRect(2).center());   // already current: nothing
    zqtest::click(tabs.tabBar(), tabs.tabBar()->tabRect(0).center());
    EXPECT_EQ(changes, (QList<int>{2, 0}));
    EXPECT_EQ(tabs.GetCurSel(), 0);
}

TEST_F(FlatTabTest, DisplayRectIsTheAreaBelowTheTabs)
{
    addTabs();
    tabs.show();
    QCoreApplication::processEvents();
    const QRect area = tabs.DisplayRect();
    EXPECT_EQ(area.top(), tabs.tabBar()->geometry().bottom() + 1);
    EXPECT_GT(area.top(), 0);
    EXPECT_EQ(area.left(), 0);
    EXPECT_EQ(area.width(), 500);
    EXPECT_EQ(area.bottom(), 299);
    tabs.resize(300, 200);
    EXPECT_EQ(tabs.DisplayRect().width(), 300);
    EXPECT_EQ(tabs.DisplayRect().bottom(), 199);
    EXPECT_EQ(tabs.tabBar()->width(), 300);
}

// The corner's buttons sit at the right end of the bar, which gives way to them; without tabs
// there is neither bar nor corner.
TEST_F(FlatTabTest, TheCornerHoldsARowOfButtonsBesideTheTabs)
{
    QToolButton* list = tabs.AddTabListButton();
    QToolButton* pane = tabs.AddCornerButton(QStringLiteral("预览"), QStringLiteral("预览窗格"));
    tabs.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(tabs.Corner()->isVisible()) << "no tabs yet";
    addTabs();
    QCoreApplication::processEvents();
    ASSERT_TRUE(tabs.Corner()->isVisible());
    const QRect corner = tabs.Corner()->geometry();
    const QRect bar = tabs.tabBar()->geometry();
    EXPECT_EQ(corner.right(), tabs.width() - 1);
    EXPECT_EQ(bar.right() + 1, corner.left());
    EXPECT_EQ(corner.height(), bar.height());
    EXPECT_EQ(tabs.DisplayRect().top(), bar.bottom() + 1);
    // The list first, the next entry to its right, each within the corner and as high as the bar.
    const QRect listAt = list->geometry(), paneAt = pane->geometry();
    EXPECT_LT(listAt.right(), paneAt.left());
    EXPECT_TRUE(QRect(QPoint(0, 0), corner.size()).contains(paneAt));
    EXPECT_EQ(listAt.height(), bar.height());
    EXPECT_GE(paneAt.width(), pane->sizeHint().width()) << "a button with text is not cut";
    tabs.resize(260, 200);
    EXPECT_EQ(tabs.Corner()->geometry().right(), 259);
    EXPECT_EQ(tabs.tabBar()->geometry().right() + 1, tabs.Corner()->geometry().left());
}

TEST_F(FlatTabTest, TheTabListOffersEveryTabAndSelectsTheChosenOneAsAClickWould)
{
    addTabs();
    QToolButton* list = tabs.AddTabListButton();
    zq::ScriptedDesktop desktop;
    zq::ScopedDesktop scope(desktop);
    const struct {
        int answer;             // the menu's answer: tab index + 1, 0 for none
        int current;
        QList<int> changes;
    } cases[] = {{3, 2, {2}}, {0, 2, {2}}, {1, 0, {2, 0}}, {1, 0, {2, 0}}};
    for (const auto& c : cases) {
        desktop.menuAnswers = {c.answer};
        list->click();
        EXPECT_EQ(tabs.GetCurSel(), c.current) << c.answer;
        EXPECT_EQ(changes, c.changes) << c.answer;
    }
    QStringList offered;
    for (const zq::MenuEntry& entry : desktop.lastMenu)
        offered << QString::number(entry.id) + u':' + entry.text;
    EXPECT_EQ(offered, (QStringList{"1:设计零部件", "2:资源文件", "3:设计文档"}));
}

} // namespace
