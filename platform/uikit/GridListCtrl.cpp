// CGridListCtrl: a report list whose editable columns are edited in place.
#include "ListCtrl.h"
#include "ReportRowModel.h"
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Commits the typed text at once when Enter ends the edit, so that whatever Enter goes on to
// do in the dialog (a Find) already reads the new text. The stock delegate commits later.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // An editor ends where the grid's visible part ends: a value column wider than what the grid
    // shows beside its labels is edited in what is shown.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        const QRect visible = editor->parentWidget() ? editor->parentWidget()->rect() : QRect();
        const QRect clipped = editor->geometry() & visible;
        if (!visible.isEmpty() && clipped.width() > 0 && clipped != editor->geometry())
            editor->setGeometry(clipped.left(), editor->y(), clipped.width(), editor->height());
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (auto* editor = qobject_cast<QWidget*>(object)) {
                    Q_EMIT commitData(editor);
                    Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
                }
                return false;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
};

} // namespace

CGridListCtrl::CGridListCtrl(QWidget* parent) : CReportListCtrl(parent)
{
    setItemDelegate(new GridCellDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    applyEditability();
}

void CGridListCtrl::SetEditableColumns(const QList<int>& columns)
{
    m_editableColumns = columns;
    applyEditability();
}

void CGridListCtrl::EnableEditing(bool enable)
{
    m_editingEnabled = enable;
    applyEditability();
}

bool CGridListCtrl::IsColumnEditable(int column) const
{
    return m_editingEnabled && m_editableColumns.contains(column);
}

void CGridListCtrl::applyEditability()
{
    if (!m_editingEnabled)
        CommitEdit();
    model_().setEditableColumns(m_editingEnabled ? m_editableColumns : QList<int>());
}

bool CGridListCtrl::EditCell(int row, int column)
{
    if (!IsColumnEditable(column) || column >= GetColumnCount() || row < 0 || row >= GetItemCount())
        return false;
    FlushPendingRows();
    const QModelIndex index = model_().index(row, column);
    if (!IsSelected(row))
        SelectRow(row);
    setCurrentIndex(index);
    return edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

bool CGridListCtrl::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    QModelIndex target = index;
    // The row is selected as a whole, so a double-click, F2 or typing anywhere on it edits
    // the row's first editable column.
    const EditTriggers userTriggers = QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      | QAbstractItemView::AnyKeyPressed;
    if (index.isValid() && !IsColumnEditable(index.column()) && (userTriggers & trigger)) {
        int column = -1;
        for (int c : m_editableColumns)
            if (IsColumnEditable(c) && c < GetColumnCount() && (column < 0 || c < column))
                column = c;
        if (column < 0)
            return false;
        target = index.sibling(index.row(), column);
    }
    const bool started = QTableView::edit(target, trigger, event);
    if (started && state() == QAbstractItemView::EditingState)
        m_editIndex = target;
    return started;
}

void CGridListCtrl::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int before = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    // Scrolled sideways to a value cell that begins inside the grid's width: back to the labels.
    if (index.isValid() && index.column() > 0 && horizontalScrollBar()->value() != before
        && columnViewportPosition(index.column()) + horizontalOffset() < viewport()->width())
        horizontalScrollBar()->setValue(0);
}

QWidget* CGridListCtrl::CurrentEditor() const
{
    if (state() != QAbstractItemView::EditingState || !m_editIndex.isValid())
        return nullptr;
    return indexWidget(m_editIndex);
}

bool CGridListCtrl::CommitEdit()
{
    QWidget* editor = CurrentEditor();
    if (!editor)
        return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}
