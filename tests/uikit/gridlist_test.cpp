// The editable grid: which cells open an editor, and that the typed text becomes the cell text
// however the edit ends.
#include "ControlTestSupport.h"
#include "ListCtrl.h"
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class GridListTest : public ::testing::Test, zqtest::WithApp {
protected:
    void SetUp() override
    {
        grid.InsertColumn(0, QStringLiteral("属性项"));
        grid.InsertColumn(1, QStringLiteral("属性值"));
        grid.InsertColumn(2, QStringLiteral("说明"));
        for (int i = 0; i < 3; ++i) {
            grid.InsertItem(i, QStringLiteral("字段%1").arg(i));
            grid.SetItemText(i, 1, QStringLiteral("old%1").arg(i));
        }
        window.resize(400, 260);
        grid.setGeometry(0, 0, 400, 200);
        other.setGeometry(0, 210, 200, 30);
        window.show();
        window.activateWindow();
        zqtest::pumpUntil([this] { return window.isActiveWindow(); });
        grid.FlushPendingRows();
        QCoreApplication::processEvents();
    }
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(grid.CurrentEditor()); }

    QWidget window;
    CGridListCtrl grid{&window};
    QLineEdit other{&window};   // where the focus goes when it leaves the grid
};

TEST_F(GridListTest, OnlyEditableColumnsOpenAnEditor)
{
    struct Case {
        QList<int> editable;
        bool enabled;
        int row, column;
        bool opens;
    };
    const Case cases[] = {
        {{1}, true, 0, 1, true},
        {{1}, true, 0, 0, false},
        {{1}, true, 0, 2, false},
        {{1}, true, 3, 1, false},
        {{1}, false, 0, 1, false},
        {{1, 2}, true, 1, 2, true},
        {{}, true, 0, 1, false},
    };
    for (const Case& c : cases) {
        grid.SetEditableColumns(c.editable);
        grid.EnableEditing(c.enabled);
        EXPECT_EQ(grid.EditCell(c.row, c.column), c.opens) << c.row << "," << c.column;
        EXPECT_EQ(editor() != nullptr, c.opens) << c.row << "," << c.column;
        grid.CommitEdit();
    }
}

TEST_F(GridListTest, TypedTextBecomesTheCellTextHoweverTheEditEnds)
{
    struct Case {
        const char* how;
        std::function<void(QLineEdit*)> finish;
        bool kept;
    };
    const Case cases[] = {
        {"Enter", [](QLineEdit* e) { zqtest::key(e, Qt::Key_Return); }, true},
        {"focus leaves", [this](QLineEdit*) { other.setFocus(Qt::MouseFocusReason); }, true},
        {"CommitEdit", [this](QLineEdit*) { EXPECT_TRUE(grid.CommitEdit()); }, true},
        {"Escape", [](QLineEdit* e) { zqtest::key(e, Qt::Key_Escape); }, false},
    };
    int row = 0;
    for (const Case& c : cases) {
        const int r = row++ % 3;
        const QString before = grid.GetItemText(r, 1);
        ASSERT_TRUE(grid.EditCell(r, 1)) << c.how;
        QLineEdit* e = editor();
        ASSERT_NE(e, nullptr) << c.how;
        e->setText(QStringLiteral("报废-%1").arg(r));
        c.finish(e);
        // Enter commits at once, so what Enter then does in the dialog reads the new text.
        EXPECT_EQ(grid.GetItemText(r, 1), c.kept ? QStringLiteral("报废-%1").arg(r) : before) << c.how;
        QCoreApplication::processEvents();
        EXPECT_EQ(grid.CurrentEditor(), nullptr) << c.how;
        EXPECT_EQ(grid.GetItemText(r, 0), QStringLiteral("字段%1").arg(r)) << c.how;
    }
}

TEST_F(GridListTest, UserGesturesOnAnyColumnEditTheEditableOne)
{
    struct Case {
        const char* how;
        std::function<void()> start;
        QString expected;
    };
    const Case cases[] = {
        {"typing on a selected row", [this] { zqtest::key(&grid, Qt::Key_X, QStringLiteral("x")); }, "x"},
        {"F2", [this] { zqtest::key(&grid, Qt::Key_F2); }, "old1"},
        {"double-click on column 0", [this] { zqtest::doubleClick(grid.viewport(), zqtest::cellCentre(grid, 1, 0)); }, "old1"},
    };
    for (const Case& c : cases) {
        grid.SetItemText(1, 1, QStringLiteral("old1"));
        zqtest::click(grid.viewport(), zqtest::cellCentre(grid, 1, 0));
        ASSERT_EQ(grid.GetSelectedRows(), QList<int>{1}) << c.how;
        c.start();
        QLineEdit* e = editor();
        ASSERT_NE(e, nullptr) << c.how;
        EXPECT_EQ(grid.currentIndex().row(), 1) << c.how;
        EXPECT_EQ(e->text(), c.expected) << c.how;
        grid.CommitEdit();
        EXPECT_EQ(grid.GetItemText(1, 1), c.expected) << c.how;
        EXPECT_EQ(grid.GetItemText(1, 0), QStringLiteral("字段1")) << c.how;
    }
}

TEST_F(GridListTest, TheEditableColumnKeepsAllRowsUnlessEdited)
{
    ASSERT_TRUE(grid.EditCell(2, 1));
    editor()->setText(QString());
    grid.CommitEdit();
    const QString expected[] = {QStringLiteral("old0"), QStringLiteral("old1"), QString()};
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(grid.GetItemText(r, 1), expected[r]) << r;
}

} // namespace
