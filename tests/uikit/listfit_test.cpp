// Columns that fit what they hold: the first fill widens each column to its first 200 rows and
// its heading (never narrower than given, never wider than the cap, a hidden one hidden, the
// user's own width kept); a cell that still cannot show its text whole offers it as a tooltip; the
// user's drags are told apart from the code's widths. And the condition grid keeps its labels in
// view while a value is edited.
#include "ControlTestSupport.h"
#include "ListCtrl.h"
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <functional>
#include <gtest/gtest.h>

namespace {

using zqtest::cellCentre;

const QString kLong = QStringLiteral("ZQ8600减速器技术要求说明书第三版修订稿.pdf");
const QString kVeryLong = QString(QStringLiteral("很长的说明")).repeated(30);

class ListFitTest : public ::testing::Test, zqtest::WithApp {
protected:
    void SetUp() override
    {
        list.InsertColumn(0, QStringLiteral("图号"), CReportListCtrl::LVCFMT_LEFT, 100);
        list.InsertColumn(1, QStringLiteral("名称"), CReportListCtrl::LVCFMT_LEFT, 120);
        list.InsertColumn(2, QStringLiteral("旧图号"), CReportListCtrl::LVCFMT_LEFT, 0);   // hidden by the page
        list.InsertColumn(3, QStringLiteral("日期"), CReportListCtrl::LVCFMT_LEFT, 60);
        // As the pages set up their result lists: the grid lines take a pixel of each cell.
        list.SetExtendedStyle(CReportListCtrl::LVS_EX_FULLROWSELECT | CReportListCtrl::LVS_EX_GRIDLINES);
        list.resize(900, 300);
        QObject::connect(&list, &CReportListCtrl::columnWidthSetByUser,
                         [this](int column, int width) { userWidths.append({column, width}); });
    }
    void addRow(const QStringList& texts)
    {
        list.InsertItem(list.GetItemCount(), texts);
    }
    // Whether the view can show the cell's text whole: the delegate's own measure within the cell
    // the view paints, which is the column less its grid line.
    bool shownWhole(int row, int column)
    {
        list.FlushPendingRows();
        const QModelIndex index = list.model()->index(row, column);
        return list.sizeHintForIndex(index).width() <= list.visualRect(index).width();
    }
    QList<int> widths() const
    {
        QList<int> all;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            all << list.GetColumnWidth(c);
        return all;
    }

    CReportListCtrl list;
    QList<QPair<int, int>> userWidths;
};

TEST_F(ListFitTest, TheFirstFillWidensColumnsToTheirTextsWithinTheirBounds)
{
    list.SetFitsColumnsOnFirstFill(true);
    addRow({QStringLiteral("ZQ8600-01-02-01"), kLong, QStringLiteral("OLD-1"), QStringLiteral("2026-11-19 16:30:05")});
    addRow({QStringLiteral("A1"), kVeryLong, QString(), QStringLiteral("2026-11-19")});
    addRow({QStringLiteral("B"), QStringLiteral("短"), QString(), QString()});
    EXPECT_FALSE(list.HasFittedColumns()) << "fewer rows than the fit waits for: fitted when the fill ends";
    ASSERT_TRUE(list.FitColumnsToRows());
    const QList<int> after = widths();
    EXPECT_GT(after[0], 100);
    EXPECT_TRUE(shownWhole(0, 0)) << after[0];
    EXPECT_EQ(after[1], CReportListCtrl::kMaxFittedWidth) << "a text wider than the cap is cut at the cap";
    EXPECT_EQ(after[2], 0) << "a hidden column stays hidden";
    EXPECT_TRUE(shownWhole(0, 3)) << after[3];
    EXPECT_TRUE(list.HasFittedColumns());

    // Once: a later, longer text does not move the columns.
    addRow({QStringLiteral("ZQ8600-01-02-01-0099999999"), QString(), QString(), QString()});
    EXPECT_FALSE(list.FitColumnsToRows());
    EXPECT_EQ(widths(), after);
    EXPECT_TRUE(userWidths.isEmpty()) << "the fit is not the user's doing";
}

TEST_F(ListFitTest, ColumnsAreNeverNarrowerThanGivenAndHeadingsShowWhole)
{
    list.SetColumnWidth(1, 400);   // wider than the cap: a given width stays
    list.SetFitsColumnsOnFirstFill(true);
    addRow({QStringLiteral("1"), QStringLiteral("x"), QString(), QStringLiteral("d")});
    list.FitColumnsToRows();
    EXPECT_EQ(list.GetColumnWidth(0), 100);
    EXPECT_EQ(list.GetColumnWidth(1), 400);
    EXPECT_GE(list.GetColumnWidth(3), list.horizontalHeader()->sectionSizeHint(3)) << "the heading 日期 shows whole";
}

// The fit looks at the first 200 rows, when the 200th arrives during the fill, not at every row.
TEST_F(ListFitTest, TheFitIsMadeFromTheFirstTwoHundredRowsDuringTheFill)
{
    list.SetFitsColumnsOnFirstFill(true);
    for (int i = 0; i < CReportListCtrl::kFitRows; ++i)
        addRow({QStringLiteral("P%1").arg(i), QStringLiteral("名称")});
    addRow({QStringLiteral("ZQ8600-01-02-01-0099999999"), QStringLiteral("名称")});
    EXPECT_FALSE(list.HasFittedColumns()) << "rows wait for the display's next batch";
    list.FlushPendingRows();
    EXPECT_TRUE(list.HasFittedColumns());
    EXPECT_FALSE(shownWhole(CReportListCtrl::kFitRows, 0)) << "row 201 did not count";
    EXPECT_TRUE(shownWhole(CReportListCtrl::kFitRows - 1, 0));
}

TEST_F(ListFitTest, WithoutTheFitOrOnAnEmptyListWidthsStay)
{
    addRow({kLong, kLong});
    EXPECT_FALSE(list.FitColumnsToRows()) << "a list not set to fit";
    EXPECT_EQ(widths(), (QList<int>{100, 120, 0, 60}));
    CReportListCtrl empty;
    empty.InsertColumn(0, QStringLiteral("图号"), CReportListCtrl::LVCFMT_LEFT, 100);
    empty.SetFitsColumnsOnFirstFill(true);
    EXPECT_FALSE(empty.FitColumnsToRows());
    empty.InsertItem(0, kLong);
    EXPECT_TRUE(empty.FitColumnsToRows()) << "the first fill that has rows";
}

TEST_F(ListFitTest, TheUsersWidthsAreToldApartAndKeptByTheFit)
{
    list.SetFitsColumnsOnFirstFill(true);
    list.SetUserColumnWidth(0, 70);                  // remembered from an earlier session
    list.SetColumnWidth(3, 65);                      // the code's
    list.horizontalHeader()->resizeSection(1, 150);   // as a drag of the column's edge does
    EXPECT_EQ(userWidths, (QList<QPair<int, int>>{{1, 150}}));
    addRow({kLong, kLong, QString(), QStringLiteral("2026-11-19 16:30:05")});
    list.FitColumnsToRows();
    EXPECT_EQ(list.GetColumnWidth(0), 70);
    EXPECT_EQ(list.GetColumnWidth(1), 150);
    EXPECT_GT(list.GetColumnWidth(3), 65);
    // A column inserted before moves the user's marks with their columns.
    list.InsertColumn(0, QStringLiteral("序号"), CReportListCtrl::LVCFMT_LEFT, 40);
    list.horizontalHeader()->resizeSection(2, 160);
    EXPECT_EQ(userWidths.last(), (QPair<int, int>{2, 160}));
}

TEST_F(ListFitTest, ACutCellOffersItsWholeText)
{
    addRow({QStringLiteral("A1"), kLong, QString(), QStringLiteral("2026")});
    list.show();
    list.FlushPendingRows();
    QCoreApplication::processEvents();
    const struct {
        int column;
        QString tip;
    } cases[] = {{0, QString()}, {1, kLong}, {3, QString()}};
    for (const auto& c : cases)
        EXPECT_EQ(list.CutCellText(cellCentre(list, 0, c.column)), c.tip) << c.column;
    EXPECT_EQ(list.CutCellText(QPoint(5, list.viewport()->height() - 2)), QString()) << "below the rows";
    // Cut by the list's edge rather than by its column: offered too.
    list.resize(150, 300);
    QCoreApplication::processEvents();
    list.SetColumnWidth(1, 600);
    const QPoint inView(list.viewport()->width() - 5, cellCentre(list, 0, 1).y());
    EXPECT_EQ(list.CutCellText(inView), kLong);
}

// The condition grid of the part pages: labels 80 wide, values 80 wide, in a grid narrower than both.
class GridLabelsTest : public ::testing::Test, zqtest::WithApp {
protected:
    void SetUp() override
    {
        grid.InsertColumn(0, QStringLiteral("属性项"), CReportListCtrl::LVCFMT_LEFT, 80);
        grid.InsertColumn(1, QStringLiteral("属性值"), CReportListCtrl::LVCFMT_LEFT, 80);
        for (int i = 0; i < 4; ++i)
            grid.InsertItem(i, QStringLiteral("属性项%1").arg(i));
        window.resize(300, 260);
        grid.setGeometry(0, 0, 150, 200);
        window.show();
        window.activateWindow();
        zqtest::pumpUntil([this] { return window.isActiveWindow(); });
        grid.FlushPendingRows();
        QCoreApplication::processEvents();
        ASSERT_LT(grid.viewport()->width(), 160) << "the value column must reach past the grid's edge";
    }
    bool labelsWhole() const { return grid.columnViewportPosition(0) == 0; }

    QWidget window;
    CGridListCtrl grid{&window};
};

TEST_F(GridLabelsTest, ChoosingOrEditingAValueKeepsTheLabelsInView)
{
    const struct {
        const char* how;
        std::function<void(CGridListCtrl&)> act;
    } cases[] = {
        {"a click on a value cell", [](CGridListCtrl& g) { zqtest::click(g.viewport(), QPoint(g.viewport()->width() - 3, cellCentre(g, 1, 1).y())); }},
        {"editing in place", [](CGridListCtrl& g) { g.EditCell(2, 1); }},
        {"a double-click on a value cell", [](CGridListCtrl& g) { zqtest::doubleClick(g.viewport(), QPoint(g.viewport()->width() - 3, cellCentre(g, 3, 1).y())); }},
        {"the keyboard: Right, then typing", [](CGridListCtrl& g) { g.setFocus(); zqtest::key(&g, Qt::Key_Right); zqtest::key(&g, Qt::Key_A, QStringLiteral("a")); }},
    };
    for (const auto& c : cases) {
        grid.CommitEdit();
        grid.horizontalScrollBar()->setValue(0);
        c.act(grid);
        QCoreApplication::processEvents();
        EXPECT_TRUE(labelsWhole()) << c.how << ": scrolled by " << grid.horizontalScrollBar()->value();
        if (QWidget* editor = grid.CurrentEditor()) {
            EXPECT_LE(editor->geometry().right(), grid.viewport()->width() - 1) << c.how << ": the editor ends in view";
            EXPECT_GT(editor->width(), 20) << c.how;
        }
    }
    EXPECT_NE(grid.CurrentEditor(), nullptr) << "the last gesture opened an editor";
}

TEST_F(GridLabelsTest, AColumnBeyondTheGridsWidthIsStillReached)
{
    grid.InsertColumn(2, QStringLiteral("说明"), CReportListCtrl::LVCFMT_LEFT, 80);
    grid.FlushPendingRows();
    grid.scrollTo(grid.model()->index(0, 2));
    EXPECT_GT(grid.horizontalScrollBar()->value(), 0) << "a column that starts out of view is scrolled to";
}

} // namespace
