// The system image list: one icon per file type, the index stable per extension.
#include "ControlTestSupport.h"
#include "SysImageList.h"
#include <gtest/gtest.h>

namespace {

TEST(SysImageListTest, OneIndexPerExtension)
{
    zqtest::app();
    CSysImageList& list = CSysImageList::instance();
    struct Case {
        QString first, second;
        bool same;
    };
    const Case cases[] = {
        {"a.dwg", "B.DWG", true},
        {"C:\\work\\part.v2\\drawing.dwg", "x.dwg", true},
        {"dir.v2/readme", "other", true},     // no extension: the plain file icon
        {"a.txt", "a.dwg", false},
        {"archive.tar.gz", "b.gz", true},
        {"图纸.DOC", "说明.doc", true},
    };
    for (const Case& c : cases) {
        const int a = list.GetIconIndex(c.first);
        const int b = list.GetIconIndex(c.second);
        EXPECT_GE(a, 0) << c.first.toStdString();
        EXPECT_EQ(a == b, c.same) << c.first.toStdString() << " / " << c.second.toStdString();
        EXPECT_EQ(list.GetIconIndex(c.first), a);   // stable
        EXPECT_LT(a, list.imageList()->GetImageCount());
    }
    EXPECT_FALSE(list.imageList()->icon(list.GetIconIndex("x.txt")).isNull());
}

} // namespace
