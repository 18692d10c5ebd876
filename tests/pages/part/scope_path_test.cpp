// Scope path and product code of an item of the host's product tree.
#include "ScopePath.h"
#include "TestApplication.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace zq::part;

namespace {

QApplication& App()
{
    return zq::test::TestApp();
}

TEST(ScopePath, FromTreeItems)
{
    App();
    CTreeCtrlEx tree;
    const CTreeItemRecord product{"_Product", "P"}, partA{"_Part", "A"}, partB{"_Part", "B"};
    const CTreeItemRecord folder{"_Folder", "F"}, partC{"_Part", "C"};
    CTreeCursor p = tree.InsertItem("P 产品", {}, &product);
    CTreeCursor a = tree.InsertItem("A", p, &partA);
    CTreeCursor b = tree.InsertItem("B", a, &partB);
    CTreeCursor bare = tree.InsertItem("没有记录");
    CTreeCursor underBare = tree.InsertItem("B", bare, &partB);
    CTreeCursor other = tree.InsertItem("文件夹", {}, &folder);
    CTreeCursor underOther = tree.InsertItem("C", other, &partC);
    CTreeCursor bareUnderPart = tree.InsertItem("空", a);

    const struct {
        const char* name;
        CTreeCursor item;
        const char* scope;
        const char* product;
    } cases[] = {
        {"product", p, "P", "P"},
        {"part_in_part", b, "P::A::B", "P"},
        {"part", a, "P::A", "P"},
        {"no_item", CTreeCursor(), "", ""},
        {"no_record", bare, "", ""},
        {"part_below_item_without_record", underBare, "::B", ""},
        {"other_tag", other, "", ""},
        {"part_below_other_tag", underOther, "::C", ""},
        {"item_without_record_below_part", bareUnderPart, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildScopePath(c.item).toStdString(), c.scope) << c.name;
        EXPECT_EQ(FindProductCode(c.item).toStdString(), c.product) << c.name;
    }
}

} // namespace
