#pragma once
// Turns a locate text from the search module into an item of the product tree and selects it.
// The text's first "@^" field is a code; a structure path ("P::A::B") in the second field names
// the very place and is preferred, a product code there says where to look first (and is itself
// selected when the code is not in the tree, as a batch number is not), and a path of item texts
// ending in '\' (from the tree search) names the item directly.
#include <QString>

class CTreeCtrlEx;
class QTreeWidgetItem;

namespace zq::host {

class ProductTreeLoader;

class TreeLocator {
public:
    TreeLocator(CTreeCtrlEx& tree, ProductTreeLoader& loader) : m_tree(tree), m_loader(loader) {}

    // The item the text names, with the branches on the way loaded; null when none.
    QTreeWidgetItem* find(const QString& locateText);
    // Finds, expands the way to and selects the item. False when nothing matched.
    bool locate(const QString& locateText);

private:
    CTreeCtrlEx& m_tree;
    ProductTreeLoader& m_loader;
};

} // namespace zq::host
