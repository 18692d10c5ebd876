// The report list and its sortable variant: rows, sub-items, item data, selection mark,
// header, notifications, multi selection, sorting and the batched announcement of rows.
#include "ControlTestSupport.h"
#include "ListCtrl.h"
#include <QCollator>
#include <QHeaderView>
#include <QLocale>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

using zqtest::cellCentre;

class ListCtrlTest : public ::testing::Test, zqtest::WithApp {
protected:
    void SetUp() override
    {
        list.InsertColumn(0, QStringLiteral("图号"), CReportListCtrl::LVCFMT_LEFT, 80);
        list.InsertColumn(1, QStringLiteral("名称"), CReportListCtrl::LVCFMT_LEFT, 80);
        list.InsertColumn(2, QStringLiteral("备注"), CReportListCtrl::LVCFMT_LEFT, 80);
        list.resize(400, 300);
        QObject::connect(&list, &CReportListCtrl::itemChanged, [this](int row) { changed.append(row); });
    }
    void fill(int rows)
    {
        for (int i = 0; i < rows; ++i) {
            const int at = list.InsertItem(i, QStringLiteral("R%1").arg(i));
            list.SetItemText(at, 1, QStringLiteral("name%1").arg(i));
        }
    }
    void show()
    {
        list.show();
        list.FlushPendingRows();
        QCoreApplication::processEvents();
    }
    QStringList column0() const { return list.GetColumnTexts(0); }

    CReportListCtrl list;
    QList<int> changed;
};

TEST_F(ListCtrlTest, InsertItemClampsThePosition)
{
    struct Case {
        int position;
        int expectedIndex;
        QStringList expectedRows;
    };
    const Case cases[] = {
        {0, 0, {"N", "a", "b", "c"}},
        {1, 1, {"a", "N", "b", "c"}},
        {3, 3, {"a", "b", "c", "N"}},
        {10, 3, {"a", "b", "c", "N"}},
        {-1, -1, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        list.DeleteAllItems();
        for (const char* t : {"a", "b", "c"})
            list.InsertItem(list.GetItemCount(), QString::fromLatin1(t));
        EXPECT_EQ(list.InsertItem(c.position, QStringLiteral("N")), c.expectedIndex) << c.position;
        EXPECT_EQ(column0(), c.expectedRows) << c.position;
    }
}

TEST_F(ListCtrlTest, SubItemsAndOutOfRangeAccess)
{
    fill(2);
    struct Case {
        int row, column;
        bool setOk;
    };
    const Case cases[] = {
        {0, 0, true}, {0, 2, true}, {1, 1, true},
        {0, 3, false}, {2, 0, false}, {-1, 1, false}, {0, -1, false},
    };
    for (const Case& c : cases) {
        const QString text = QStringLiteral("零件%1-%2").arg(c.row).arg(c.column);
        EXPECT_EQ(list.SetItemText(c.row, c.column, text), c.setOk) << c.row << "," << c.column;
        EXPECT_EQ(list.GetItemText(c.row, c.column), c.setOk ? text : QString()) << c.row << "," << c.column;
    }
    EXPECT_EQ(list.GetItemText(1, 2), QString());   // never set: empty
}

TEST_F(ListCtrlTest, ItemDataAndIconsStayWithTheirRows)
{
    int records[4] = {};
    for (int i = 0; i < 3; ++i) {
        list.InsertItem(i, QStringLiteral("R%1").arg(i), i);
        list.SetItemData(i, &records[i]);
    }
    list.InsertItem(1, QStringLiteral("X"), 7);
    list.SetItemData(1, &records[3]);
    ASSERT_TRUE(list.DeleteItem(0));
    const void* expectedData[] = {&records[3], &records[1], &records[2]};
    const int expectedImage[] = {7, 1, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.GetItemData(i), expectedData[i]) << i;
        EXPECT_EQ(list.GetItemImage(i), expectedImage[i]) << i;
    }
    EXPECT_EQ(list.GetItemData(3), nullptr);
    EXPECT_FALSE(list.SetItemData(3, &records[0]));
    EXPECT_FALSE(list.DeleteItem(3));
    EXPECT_FALSE(list.DeleteItem(-1));
}

TEST_F(ListCtrlTest, IconsComeFromTheAttachedImageList)
{
    CImageList images;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    images.Add(QIcon(red));
    list.SetImageList(&images);
    list.InsertItem(0, QStringLiteral("with"), 0);
    list.InsertItem(1, QStringLiteral("without"), -1);
    list.InsertItem(2, QStringLiteral("unknown"), 5);
    list.FlushPendingRows();
    const bool hasIcon[] = {true, false, false};
    for (int row = 0; row < 3; ++row) {
        const QIcon icon = list.model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        EXPECT_EQ(!icon.isNull(), hasIcon[row]) << row;
    }
}

TEST_F(ListCtrlTest, HeaderTextsAreCutToTheBuffer)
{
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetItemCount(), 3);
    struct Case {
        int column, buffer;
        QString expected;
    };
    const Case cases[] = {
        {0, 256, QStringLiteral("图号")}, {2, 256, QStringLiteral("备注")},
        {1, 2, QStringLiteral("名")}, {1, 1, QString()}, {1, 0, QString()}, {3, 256, QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(header->GetItemText(c.column, c.buffer), c.expected) << c.column << "/" << c.buffer;
    list.DeleteColumn(1);
    EXPECT_EQ(header->GetItemCount(), 2);
    EXPECT_EQ(header->GetItemText(1), QStringLiteral("备注"));
}

TEST_F(ListCtrlTest, SelectionMarkFollowsSelectionAndDeletion)
{
    fill(5);
    show();
    EXPECT_EQ(list.GetSelectionMark(), -1);
    list.SelectRow(3);
    EXPECT_EQ(list.GetSelectionMark(), 3);
    list.DeleteItem(0);                     // a row before the mark
    EXPECT_EQ(list.GetSelectionMark(), 2);
    EXPECT_EQ(list.GetItemText(2, 0), QStringLiteral("R3"));
    list.InsertItem(0, QStringLiteral("new"));
    EXPECT_EQ(list.GetSelectionMark(), 3);
    changed.clear();
    list.DeleteItem(3);                     // the marked, selected row itself
    EXPECT_EQ(list.GetSelectionMark(), -1);
    EXPECT_TRUE(list.GetSelectedRows().isEmpty());   // no neighbour gets selected instead
    EXPECT_TRUE(changed.isEmpty());
    zqtest::click(list.viewport(), cellCentre(list, 1, 1));
    EXPECT_EQ(list.GetSelectionMark(), 1);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetSelectionMark(), -1);
    EXPECT_TRUE(list.GetSelectedRows().isEmpty());
}

TEST_F(ListCtrlTest, ItemChangedFiresWhenARowBecomesSelected)
{
    fill(4);
    show();
    struct Step {
        const char* what;
        std::function<void()> act;
        QList<int> expected;
    };
    const Step steps[] = {
        {"click row 1", [&] { zqtest::click(list.viewport(), cellCentre(list, 1, 0)); }, {1}},
        {"click row 1 again", [&] { zqtest::click(list.viewport(), cellCentre(list, 1, 2)); }, {}},
        {"SelectRow 2", [&] { list.SelectRow(2); }, {2}},
        {"key down", [&] { zqtest::key(&list, Qt::Key_Down); }, {3}},
        {"SelectRow out of range", [&] { list.SelectRow(9); }, {}},
    };
    for (const Step& step : steps) {
        changed.clear();
        step.act();
        EXPECT_EQ(changed, step.expected) << step.what;
        if (!step.expected.isEmpty()) {
            EXPECT_EQ(list.GetSelectionMark(), step.expected.last()) << step.what;
        }
    }
}

TEST_F(ListCtrlTest, RightClickSelectsTheRowUnderTheCursorFirst)
{
    fill(4);
    show();
    list.SelectRow(0);
    QList<QPair<int, QPoint>> clicks;
    QObject::connect(&list, &CReportListCtrl::rightClicked,
                     [&](int row, const QPoint& pos) { clicks.append({row, pos}); });
    changed.clear();
    const QPoint onRow2 = cellCentre(list, 2, 1);
    zqtest::rightClick(list.viewport(), onRow2);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0].first, 2);
    EXPECT_EQ(clicks[0].second, list.viewport()->mapToGlobal(onRow2));
    EXPECT_EQ(list.LastClickScreenPos(), list.viewport()->mapToGlobal(onRow2));
    EXPECT_EQ(changed, QList<int>{2});
    EXPECT_EQ(list.GetSelectedRows(), QList<int>{2});
    EXPECT_EQ(list.GetSelectionMark(), 2);

    const QPoint empty(10, list.viewport()->height() - 3);
    ASSERT_EQ(list.indexAt(empty).row(), -1);
    zqtest::rightClick(list.viewport(), empty);
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[1].first, -1);
    EXPECT_EQ(list.GetSelectionMark(), 2);   // empty space leaves the mark alone
}

TEST_F(ListCtrlTest, DoubleClickNamesTheRow)
{
    fill(3);
    show();
    QList<int> rows;
    QObject::connect(&list, &CReportListCtrl::doubleClicked, [&](int row) { rows.append(row); });
    zqtest::doubleClick(list.viewport(), cellCentre(list, 1, 2));
    zqtest::doubleClick(list.viewport(), QPoint(10, list.viewport()->height() - 3));
    EXPECT_EQ(rows, (QList<int>{1, -1}));
}

TEST_F(ListCtrlTest, MultiSelectionListsRowsAscending)
{
    fill(6);
    show();
    list.SetSingleSelection(false);
    list.SelectRow(4);
    list.SelectRow(1, true);
    list.SelectRow(3, true);
    EXPECT_EQ(list.GetSelectedRows(), (QList<int>{1, 3, 4}));
    EXPECT_TRUE(list.IsSelected(3));
    EXPECT_FALSE(list.IsSelected(2));
    zqtest::click(list.viewport(), cellCentre(list, 0, 0), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(list.GetSelectedRows(), (QList<int>{0, 1, 3, 4}));
    list.SetSingleSelection(true);
    EXPECT_EQ(list.GetSelectedRows().size(), 1);
    list.SelectRow(5, true);                 // additive means nothing in single selection
    EXPECT_EQ(list.GetSelectedRows(), QList<int>{5});
}

TEST_F(ListCtrlTest, DeletingTheSelectedRowsKeepsTheOthersInOrder)
{
    fill(6);
    show();
    const QStringList before = column0();
    list.SetSingleSelection(false);
    EXPECT_EQ(list.DeleteSelectedItems(), 0);
    list.SelectRow(1);
    list.SelectRow(2, true);
    list.SelectRow(4, true);
    EXPECT_EQ(list.DeleteSelectedItems(), 3);
    EXPECT_EQ(column0(), (QStringList{before[0], before[3], before[5]}));
}

TEST_F(ListCtrlTest, ColumnsStylesAndHeaderNotification)
{
    EXPECT_EQ(list.GetColumnWidth(1), 80);
    QList<int> headerChanges;
    QObject::connect(&list, &CReportListCtrl::headerItemChanged, [&](int column) { headerChanges.append(column); });
    EXPECT_TRUE(list.SetColumnWidth(2, 120));
    EXPECT_FALSE(list.SetColumnWidth(5, 120));
    EXPECT_EQ(headerChanges, QList<int>{2});
    list.SetExtendedStyle(CReportListCtrl::LVS_EX_FULLROWSELECT | CReportListCtrl::LVS_EX_GRIDLINES);
    EXPECT_TRUE(list.showGrid());
    list.SetExtendedStyle(CReportListCtrl::LVS_EX_FULLROWSELECT);
    EXPECT_FALSE(list.showGrid());
    EXPECT_EQ(list.GetExtendedStyle(), unsigned(CReportListCtrl::LVS_EX_FULLROWSELECT));
    EXPECT_EQ(list.InsertColumn(9, QStringLiteral("末")), 3);
    EXPECT_EQ(list.GetColumnCount(), 4);
}

// The view hears of new rows in batches, but the control's own reads see every row at once.
TEST_F(ListCtrlTest, BatchedRowsReachTheViewWhenEventsArePumped)
{
    list.show();
    fill(1000);
    EXPECT_EQ(list.GetItemCount(), 1000);
    EXPECT_EQ(list.GetItemText(999, 1), QStringLiteral("name999"));
    EXPECT_LT(list.model()->rowCount(), 1000);
    ASSERT_TRUE(zqtest::pumpUntil([&] { return list.model()->rowCount() == 1000; }));
    EXPECT_EQ(list.model()->index(999, 1).data().toString(), QStringLiteral("name999"));
}

TEST_F(ListCtrlTest, ViewAndRowsAgreeAfterMixedEdits)
{
    list.show();
    fill(10);
    list.FlushPendingRows();
    fill(5);                                   // pending again, inserted among the announced rows
    list.InsertItem(100, QStringLiteral("tail"));
    list.DeleteItem(12);                       // among the announced rows
    list.DeleteItem(list.GetItemCount() - 1);  // a pending row
    list.InsertItem(2, QStringLiteral("mid"));
    list.SetItemText(3, 2, QStringLiteral("changed"));
    list.FlushPendingRows();
    ASSERT_EQ(list.model()->rowCount(), list.GetItemCount());
    for (int row = 0; row < list.GetItemCount(); ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(list.model()->index(row, column).data().toString(), list.GetItemText(row, column))
                << row << "," << column;

    fill(20);
    list.DeleteAllItems();                     // with pending rows
    EXPECT_EQ(list.model()->rowCount(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 0);
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListCtrlTest, SelectingAPendingRowAnnouncesItFirst)
{
    list.show();
    fill(50);
    list.SelectRow(49);
    EXPECT_EQ(list.GetSelectedRows(), QList<int>{49});
    EXPECT_EQ(changed, QList<int>{49});
}

class SortListTest : public ::testing::Test, zqtest::WithApp {
protected:
    void SetUp() override
    {
        list.InsertColumn(0, QStringLiteral("编号"));
        list.InsertColumn(1, QStringLiteral("名称"));
        const char* rows[][2] = {{"c", "2"}, {"a", "3"}, {"b", "1"}, {"A", "3"}};
        for (int i = 0; i < 4; ++i) {
            list.InsertItem(i, QString::fromLatin1(rows[i][0]));
            list.SetItemText(i, 1, QString::fromLatin1(rows[i][1]));
            list.SetItemData(i, &records[i]);
        }
        list.resize(300, 200);
        list.show();
        list.FlushPendingRows();
        QCoreApplication::processEvents();
    }
    void clickHeader(int column)
    {
        QHeaderView* header = list.horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        zqtest::click(header->viewport(), at);
    }
    QList<int> dataOrder() const
    {
        QList<int> order;
        for (int i = 0; i < list.GetItemCount(); ++i)
            order.append(int(static_cast<const int*>(list.GetItemData(i)) - records));
        return order;
    }
    CSortListCtrl list;
    int records[4] = {};
};

TEST_F(SortListTest, HeaderClicksSortAndItemDataMovesWithItsRow)
{
    struct Case {
        int column;
        QList<int> expected;   // original row of each row after the click
    };
    const Case cases[] = {
        {0, {1, 3, 2, 0}},   // a A b c: case folded, equal keys keep their order
        {0, {0, 2, 1, 3}},   // second click reverses: c b a A
        {1, {2, 0, 1, 3}},   // 1 2 3 3
        {1, {1, 3, 0, 2}},   // reversed; the equal pair keeps its earlier order
    };
    for (const Case& c : cases) {
        clickHeader(c.column);
        EXPECT_EQ(dataOrder(), c.expected) << c.column;
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(list.model()->index(row, 0).data().toString(), list.GetItemText(row, 0));
    }
}

TEST_F(SortListTest, SelectionAndMarkFollowTheSortedRow)
{
    list.SelectRow(0);                        // "c"
    list.SortItems(0, true);
    EXPECT_EQ(list.GetSelectionMark(), 3);
    EXPECT_EQ(list.GetSelectedRows(), QList<int>{3});
    EXPECT_EQ(list.GetItemText(list.GetSelectionMark(), 0), QStringLiteral("c"));
}

// Texts held one byte a character sort among texts held in UTF-16 as the collator orders them.
TEST(SortList, OneByteAndWideTextsSortAsTheCollatorOrdersThem)
{
    const QStringList texts{QStringLiteral("ZQ8600-01"), QStringLiteral("箱体部件"), QStringLiteral("éa"),
                            QStringLiteral("Ä"), QStringLiteral("abc"), QStringLiteral("O'型圈"),
                            QStringLiteral("zq8600-01"), QStringLiteral("齿轮"), QStringLiteral("ea")};
    CSortListCtrl list;
    list.InsertColumn(0, QStringLiteral("编号"));
    for (int i = 0; i < texts.size(); ++i)
        list.InsertItem(i, texts[i]);
    list.FlushPendingRows();
    QStringList expected = texts;
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    for (const bool ascending : {true, false}) {
        list.SortItems(0, ascending);
        QStringList sorted;
        for (int row = 0; row < list.GetItemCount(); ++row)
            sorted.append(list.GetItemText(row, 0));
        QStringList want = expected;
        if (!ascending)
            std::stable_sort(want.begin(), want.end(),
                             [&](const QString& a, const QString& b) { return collator.compare(a, b) > 0; });
        EXPECT_EQ(sorted, want) << ascending;
    }
}

} // namespace
