#include "ViewTreeWalk.h"

#include <QTreeWidgetItem>
#include <utility>
#include <vector>

namespace zq::document {

QString ViewItemPath(const CTreeCursor& item)
{
    QTreeWidgetItem* current = item.item();
    if (!current)
        return QString();
    CTreeCtrlEx* tree = item.tree();
    const QTreeWidgetItem* root = tree ? tree->GetRootItem().item() : nullptr;
    const QChar separator = u'\\';
    QString path = current->text(0) + separator;
    while (current != root) {
        QTreeWidgetItem* parent = current->parent();
        if (!parent)
            break;
        if (parent != root)
            path.prepend(parent->text(0) + separator);
        current = parent;
    }
    return path;
}

QList<ViewItem> FindViewItems(const CTreeCursor& start, const std::function<bool(const QString&)>& matches)
{
    QList<ViewItem> found;
    QTreeWidgetItem* top = start.item();
    if (!top)
        return found;
    // Each entry: an item whose children are being walked and the index of the next child.
    std::vector<std::pair<QTreeWidgetItem*, int>> walking{{top, 0}};
    while (!walking.empty()) {
        auto& [parent, next] = walking.back();
        if (next >= parent->childCount()) {
            walking.pop_back();
            continue;
        }
        QTreeWidgetItem* child = parent->child(next++);
        const QString text = child->text(0);
        if (matches(text)) {
            const CTreeCursor cursor(child, start.tree());
            found.append({cursor, text, parent->text(0), ViewItemPath(cursor)});
        }
        walking.emplace_back(child, 0);
    }
    return found;
}

} // namespace zq::document
