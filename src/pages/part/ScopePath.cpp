#include "ScopePath.h"

#include <QStringList>

namespace zq::part {

namespace {

const QString kProductTag = QStringLiteral("_Product");
const QString kPartTag = QStringLiteral("_Part");

bool HasTag(const CTreeCursor& item, const QString& tag)
{
    return !item.IsNull() && item.HasRecord() && item.GetRecord().kind == tag;
}

} // namespace

QString BuildScopePath(const CTreeCursor& item)
{
    // Walks up over the parts; what ends the walk gives the first segment (the product's code,
    // or nothing when the parts hang below anything else).
    QStringList parts;
    CTreeCursor current = item;
    while (HasTag(current, kPartTag)) {
        parts.prepend(current.GetRecord().code);
        current = current.GetParent();
    }
    const QString head = HasTag(current, kProductTag) ? current.GetRecord().code : QString();
    if (parts.isEmpty())
        return head;
    return head + QStringLiteral("::") + parts.join(QStringLiteral("::"));
}

QString FindProductCode(const CTreeCursor& item)
{
    CTreeCursor current = item;
    while (HasTag(current, kPartTag))
        current = current.GetParent();
    return HasTag(current, kProductTag) ? current.GetRecord().code : QString();
}

} // namespace zq::part
