// The flat tab control: tabs with images, selection by code without a notification, the
// user's selection with one, and the display area below the tabs.
#include "ControlTestSupport.h"
#include "FlatTabCtrl.h"
#include <QPixmap>
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

} // namespace
