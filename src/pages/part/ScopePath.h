#pragma once
// Where the host tree's selected item lies: its scope path ("P::A::B", product first) and the
// product that contains it. Items carry a record of a kind tag ("_Product", "_Part") and a code.
#include "TreeCtrlEx.h"

#include <QString>

namespace zq::part {

// The product's code for "_Product"; the parent's scope path, "::" and the code for "_Part"; an
// empty text for no item, an item without a record or any other tag.
QString BuildScopePath(const CTreeCursor& item);

// The code of the "_Product" item at or above the item; an empty text when a missing record or
// another tag comes first.
QString FindProductCode(const CTreeCursor& item);

} // namespace zq::part
