// Tree control and cursor, row record, file names and the resource override registry.
#include "DialogTemplate.h"
#include "FileName.h"
#include "TLItem.h"
#include "TempResourceOverride.h"
#include "TestApplication.h"
#include "TreeCtrlEx.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq;

TEST(TreeCtrlEx, ItemsCarryRecordsAndCursorsWalkTheTree)
{
    CTreeCtrlEx tree;
    EXPECT_TRUE(tree.GetRootItem().IsNull());
    EXPECT_TRUE(tree.GetSelectedItem().IsNull());

    const CTreeItemRecord product{"_Product", "P-100"};
    const CTreeItemRecord part{"_Part", "GB-5782"};
    const CTreeCursor root = tree.InsertItem("产品 P-100", {}, &product);
    const CTreeCursor first = tree.InsertItem("螺栓", root, &part);
    const CTreeCursor second = tree.InsertItem("说明", root);
    const CTreeCursor other = tree.InsertItem("第二个产品");

    EXPECT_EQ(tree.GetRootItem(), root);
    EXPECT_EQ(root.GetChild(), first);
    EXPECT_EQ(first.GetNextSibling(), second);
    EXPECT_TRUE(second.GetNextSibling().IsNull());
    EXPECT_EQ(root.GetNextSibling(), other);
    EXPECT_TRUE(other.GetNextSibling().IsNull());
    EXPECT_EQ(first.GetParent(), root);
    EXPECT_TRUE(root.GetParent().IsNull());
    EXPECT_TRUE(second.GetChild().IsNull());
    EXPECT_EQ(first.tree(), &tree);

    struct Case { CTreeCursor item; bool has; QString kind, code, text; };
    const Case cases[] = {
        {root, true, "_Product", "P-100", "产品 P-100"},
        {first, true, "_Part", "GB-5782", "螺栓"},
        {second, false, "", "", "说明"},
        {CTreeCursor(), false, "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.item.HasRecord(), c.has) << c.text.toStdString();
        EXPECT_EQ(c.item.GetRecord().kind, c.kind);
        EXPECT_EQ(c.item.GetRecord().code, c.code);
        EXPECT_EQ(c.item.GetText(), c.text);
    }

    tree.SelectItem(first);
    EXPECT_EQ(tree.GetSelectedItem(), first);
    const CTreeCursor copy = tree.GetSelectedItem();   // a cursor is a plain copyable value
    EXPECT_EQ(copy.item(), first.item());
    CTreeCtrlEx::SetRecord(second.item(), {"_Part", "X"});
    EXPECT_EQ(second.GetRecord().code, "X");
    EXPECT_FALSE(CTreeCtrlEx::HasRecord(nullptr));
}

TEST(TLItem, MainTextAndNumberedSubstrings)
{
    CTLItem item;
    item.InsertItem("ECO-1");
    item.SetSubstring(1, "标题");
    item.SetSubstring(4, "2024-01-02");
    struct Case { int index; QString text; };
    const Case cases[] = {{0, "ECO-1"}, {1, "标题"}, {2, ""}, {3, ""}, {4, "2024-01-02"}, {5, ""}, {-1, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(item.GetSubstring(c.index), c.text) << c.index;
    EXPECT_EQ(item.GetItemText(), "ECO-1");
    EXPECT_EQ(item.GetSubstringCount(), 4);
    item.SetSubstring(0, "ECO-2");
    item.SetSubstring(-3, "ignored");
    EXPECT_EQ(item.GetItemText(), "ECO-2");
    EXPECT_EQ(item.GetSubstringCount(), 4);
}

TEST(FileName, PartsOfAName)
{
    struct Case { QString path, name, title, ext; };
    const Case cases[] = {
        {"a/b/report.dwg", "report.dwg", "report", "dwg"},
        {"C:\\Zq\\Proven\\图纸.pdf", "图纸.pdf", "图纸", "pdf"},
        {"archive.tar.gz", "archive.tar.gz", "archive.tar", "gz"},
        {"noext", "noext", "noext", ""},
        {"dir.d/noext", "noext", "noext", ""},
        {".hidden", ".hidden", "", "hidden"},
        {"folder/", "", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const CFileName name(c.path);
        EXPECT_EQ(name.GetFileName(), c.name) << c.path.toStdString();
        EXPECT_EQ(name.GetFileTitle(), c.title) << c.path.toStdString();
        EXPECT_EQ(name.GetExtension(), c.ext) << c.path.toStdString();
    }
}

TEST(FileName, ExistMeansAFileIsThere)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("x.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_TRUE(CFileName(file).Exist());
    EXPECT_FALSE(CFileName(dir.filePath("y.txt")).Exist());
    EXPECT_FALSE(CFileName(dir.path()).Exist()) << "a folder is not the fetched file";
    EXPECT_FALSE(CFileName("").Exist());
}

namespace {

DialogTemplate named(int id, const QString& caption)
{
    return DialogTemplate{id, caption, QSize(10, 10), "MS Sans Serif", 8, {}};
}

// Registers a module whose templates carry its name in their caption.
void registerModule(const QString& module, QList<int> ids)
{
    RegisterModuleResources({module,
                             [module, ids](int id) -> const DialogTemplate* {
                                 static std::map<std::pair<QString, int>, DialogTemplate> store;
                                 if (!ids.contains(id))
                                     return nullptr;
                                 auto [it, added] = store.try_emplace({module, id}, named(id, module));
                                 return &it->second;
                             },
                             [module, ids](int id) {
                                 QPixmap p;
                                 if (ids.contains(id)) {
                                     p = QPixmap(module.size(), 1);
                                     p.fill(Qt::white);
                                 }
                                 return p;
                             },
                             {}});
}

QString owner(int id)
{
    const DialogTemplate* t = FindDialogTemplate(id);
    return t ? t->caption : QString("none");
}

} // namespace

TEST(ResourceOverride, OverriddenModuleIsSearchedFirstAndTheHostStaysAvailable)
{
    registerModule("host", {100, 200});
    registerModule("ZQPDMSearch", {100, 23001});
    registerModule("other", {100, 300});

    struct Case { int id; QString none, search, nested; };
    // Without an override, with the search module's, and with "other" inside it.
    const Case cases[] = {
        {100, "host", "ZQPDMSearch", "other"},
        {200, "host", "host", "host"},
        {23001, "ZQPDMSearch", "ZQPDMSearch", "ZQPDMSearch"},
        {300, "other", "other", "other"},
        {999, "none", "none", "none"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(owner(c.id), c.none) << c.id;
        {
            const CTempResourceOverride search("ZQPDMSearch");
            EXPECT_EQ(owner(c.id), c.search) << c.id;
            {
                const CTempResourceOverride inner("other");
                EXPECT_EQ(ActiveOverrides(), QStringList({"ZQPDMSearch", "other"}));
                EXPECT_EQ(owner(c.id), c.nested) << c.id;
            }
            EXPECT_EQ(owner(c.id), c.search) << c.id;
        }
        EXPECT_TRUE(ActiveOverrides().isEmpty());
    }
    {
        const CTempResourceOverride search("ZQPDMSearch");
        EXPECT_EQ(LoadBitmapResource(100).width(), QString("ZQPDMSearch").size());
        EXPECT_EQ(LoadBitmapResource(200).width(), QString("host").size());
        EXPECT_TRUE(LoadBitmapResource(999).isNull());
        EXPECT_TRUE(LoadIconResource(100).isNull());
        // A module that goes away leaves the override harmless.
        UnregisterModuleResources("ZQPDMSearch");
        EXPECT_EQ(owner(100), "host");
    }
    UnregisterModuleResources("host");
    UnregisterModuleResources("other");
    EXPECT_EQ(owner(100), "none");
}
