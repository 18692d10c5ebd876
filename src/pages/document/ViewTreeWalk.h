#pragma once
// The search of the "数据视图项" page in the host's tree: every item below a start item (the start
// itself not tested), parent before children, children in order, whose text matches; each with
// its parent's text and its path of texts.
#include "TreeCtrlEx.h"

#include <QList>
#include <QString>
#include <functional>

namespace zq::document {

struct ViewItem {
    CTreeCursor item;
    QString text;
    QString parentText;
    QString path;
};

// The item's text and those of the items above it, down from below the tree's root item, each
// followed by "\" ("A\B\C\"); the root item's text is never part of it. The climb ends at the
// root item or at an item without a parent (a top-level item other than the root is included).
QString ViewItemPath(const CTreeCursor& item);

// The items below start whose text matches, in pre-order. Deep trees are walked without recursion.
QList<ViewItem> FindViewItems(const CTreeCursor& start, const std::function<bool(const QString&)>& matches);

} // namespace zq::document
