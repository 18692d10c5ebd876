#include "TreeCtrlEx.h"

namespace {
// Item data role holding the record's two texts.
constexpr int RecordRole = Qt::UserRole + 0x5a;
} // namespace

CTreeCursor CTreeCursor::GetParent() const
{
    return m_item ? CTreeCursor(m_item->parent(), m_tree) : CTreeCursor();
}

CTreeCursor CTreeCursor::GetChild() const
{
    return m_item && m_item->childCount() > 0 ? CTreeCursor(m_item->child(0), m_tree) : CTreeCursor();
}

CTreeCursor CTreeCursor::GetNextSibling() const
{
    if (!m_item)
        return {};
    if (QTreeWidgetItem* parent = m_item->parent()) {
        const int index = parent->indexOfChild(m_item);
        return index + 1 < parent->childCount() ? CTreeCursor(parent->child(index + 1), m_tree) : CTreeCursor();
    }
    QTreeWidget* widget = m_item->treeWidget();
    if (!widget)
        return {};
    const int index = widget->indexOfTopLevelItem(m_item);
    return index + 1 < widget->topLevelItemCount() ? CTreeCursor(widget->topLevelItem(index + 1), m_tree)
                                                   : CTreeCursor();
}

QString CTreeCursor::GetText() const { return m_item ? m_item->text(0) : QString(); }
bool CTreeCursor::HasRecord() const { return m_item && CTreeCtrlEx::HasRecord(m_item); }
CTreeItemRecord CTreeCursor::GetRecord() const { return m_item ? CTreeCtrlEx::Record(m_item) : CTreeItemRecord(); }

CTreeCtrlEx::CTreeCtrlEx(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
}

CTreeBranchFill CTreeCtrlEx::FillBranch(const CTreeCursor& item)
{
    if (!m_branchSource || !item.item() || item.tree() != this)
        return {};
    return m_branchSource->FillBranch(item.item());
}

CTreeCursor CTreeCtrlEx::GetRootItem()
{
    return topLevelItemCount() > 0 ? Cursor(topLevelItem(0)) : CTreeCursor();
}

CTreeCursor CTreeCtrlEx::GetSelectedItem() { return Cursor(currentItem()); }

CTreeCursor CTreeCtrlEx::InsertItem(const QString& text, const CTreeCursor& parent, const CTreeItemRecord* record)
{
    QTreeWidgetItem* item = parent.item() ? new QTreeWidgetItem(parent.item()) : new QTreeWidgetItem(this);
    item->setText(0, text);
    if (record)
        SetRecord(item, *record);
    return Cursor(item);
}

void CTreeCtrlEx::SelectItem(const CTreeCursor& item)
{
    setCurrentItem(item.item());
}

void CTreeCtrlEx::SetRecord(QTreeWidgetItem* item, const CTreeItemRecord& record)
{
    if (item)
        item->setData(0, RecordRole, QStringList{record.kind, record.code});
}

bool CTreeCtrlEx::HasRecord(const QTreeWidgetItem* item)
{
    return item && item->data(0, RecordRole).isValid();
}

CTreeItemRecord CTreeCtrlEx::Record(const QTreeWidgetItem* item)
{
    if (!HasRecord(item))
        return {};
    const QStringList texts = item->data(0, RecordRole).toStringList();
    return {texts.value(0), texts.value(1)};
}
