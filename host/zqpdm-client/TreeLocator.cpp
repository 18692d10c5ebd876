#include "TreeLocator.h"

#include "ProductTreeLoader.h"
#include "TreeCtrlEx.h"

#include <QStringList>

namespace zq::host {

QTreeWidgetItem* TreeLocator::find(const QString& locateText)
{
    const QStringList fields = locateText.split(QStringLiteral("@^"));
    const QString code = fields.value(0);
    const QString where = fields.value(1);
    if (code.isEmpty())
        return nullptr;
    if (where.contains(QStringLiteral("::")))
        if (QTreeWidgetItem* item = m_loader.findPath(where))
            return item;
    if (where.endsWith(u'\\'))
        if (QTreeWidgetItem* item = m_loader.findTextPath(where))
            return item;
    const QString product = where.section(QStringLiteral("::"), 0, 0);
    if (QTreeWidgetItem* item = m_loader.findCode(code, product))
        return item;
    // A code the tree does not hold (a batch number) still names its product.
    return m_loader.productItem(product);
}

bool TreeLocator::locate(const QString& locateText)
{
    QTreeWidgetItem* item = find(locateText);
    if (!item)
        return false;
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    m_tree.SelectItem(m_tree.Cursor(item));
    m_tree.scrollToItem(item);
    return true;
}

} // namespace zq::host
