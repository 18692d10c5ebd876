#pragma once
// The host's tree control. Every item may carry a data record: a kind tag ("_Product",
// "_Part") and a code. CTreeCursor names one item of one tree and is passed by value.
#include <QString>
#include <QTreeWidget>

class CTreeCtrlEx;

// The record an item carries as its data.
struct CTreeItemRecord {
    QString kind;   // first text: the kind tag
    QString code;   // second text: the item's code
};

class CTreeCursor {
public:
    CTreeCursor() = default;
    CTreeCursor(QTreeWidgetItem* item, CTreeCtrlEx* tree) : m_item(item), m_tree(tree) {}
    QTreeWidgetItem* item() const { return m_item; }
    CTreeCtrlEx* tree() const { return m_tree; }
    bool IsNull() const { return m_item == nullptr; }
    CTreeCursor GetParent() const;
    CTreeCursor GetChild() const;          // first child
    CTreeCursor GetNextSibling() const;
    QString GetText() const;
    bool HasRecord() const;
    CTreeItemRecord GetRecord() const;     // empty record when none
    bool operator==(const CTreeCursor& other) const = default;
private:
    QTreeWidgetItem* m_item = nullptr;
    CTreeCtrlEx* m_tree = nullptr;
};

class CTreeCtrlEx : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeCtrlEx(QWidget* parent = nullptr);

    CTreeCursor GetRootItem();             // first top-level item
    CTreeCursor GetSelectedItem();
    CTreeCursor InsertItem(const QString& text, const CTreeCursor& parent = {}, const CTreeItemRecord* record = nullptr);
    void SelectItem(const CTreeCursor& item);
    CTreeCursor Cursor(QTreeWidgetItem* item) { return CTreeCursor(item, this); }

    static void SetRecord(QTreeWidgetItem* item, const CTreeItemRecord& record);
    static bool HasRecord(const QTreeWidgetItem* item);
    static CTreeItemRecord Record(const QTreeWidgetItem* item);
};
