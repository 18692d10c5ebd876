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

// How much of a branch exists after CTreeCtrlEx::FillBranch.
struct CTreeBranchFill {
    bool whole = true;   // every item below exists; false: the host's limit was reached or a read failed
    int limit = 0;       // the host's limit on the items of a branch (when it has one)
};

// A host whose tree fills a branch only when the user opens it gives the tree a source, so that
// whoever walks below an item (the data-view search) can have the whole branch made first.
class CTreeBranchSource {
public:
    virtual ~CTreeBranchSource() = default;
    virtual CTreeBranchFill FillBranch(QTreeWidgetItem* item) = 0;
};

class CTreeCtrlEx : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeCtrlEx(QWidget* parent = nullptr);

    // The source is not owned; null: the tree holds all its items already.
    void SetBranchSource(CTreeBranchSource* source) { m_branchSource = source; }
    CTreeBranchSource* BranchSource() const { return m_branchSource; }
    // Makes every item below item exist, through the host's source; whole when there is none.
    CTreeBranchFill FillBranch(const CTreeCursor& item);

    CTreeCursor GetRootItem();             // first top-level item
    CTreeCursor GetSelectedItem();
    CTreeCursor InsertItem(const QString& text, const CTreeCursor& parent = {}, const CTreeItemRecord* record = nullptr);
    void SelectItem(const CTreeCursor& item);
    CTreeCursor Cursor(QTreeWidgetItem* item) { return CTreeCursor(item, this); }

    static void SetRecord(QTreeWidgetItem* item, const CTreeItemRecord& record);
    static bool HasRecord(const QTreeWidgetItem* item);
    static CTreeItemRecord Record(const QTreeWidgetItem* item);

private:
    CTreeBranchSource* m_branchSource = nullptr;
};
