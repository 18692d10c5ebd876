// The "数据视图项" page over a host tree: the walk below the selected item, parent texts and paths,
// the locate text, and the recent patterns in the pattern box and in "search.ini".
#include "GbkText.h"
#include "ListCtrl.h"
#include "ScriptedDesktop.h"
#include "SeededHome.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchView.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

namespace {

enum { kPattern = 1046, kResults = 1319 };

class ViewPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        zq::test::EnsureApp();
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("home/rnds/spt"));
        m_home = std::make_unique<zq::test::ScopedEnv>("ZQPDM_HOME", m_dir.filePath("home"));
        // The page connects although it reads no table: an empty database serves.
        QFile(m_dir.filePath("pdm.db")).open(QIODevice::WriteOnly);
        m_database = std::make_unique<zq::test::ScopedCurrentDatabase>("sqlite:" + m_dir.filePath("pdm.db"));
        ASSERT_TRUE(m_database->ok()) << m_database->error().toStdString();
        m_desktop = std::make_unique<zq::ScopedDesktop>(desktop);

        // 产品数据 ─ P1 (A (A1), B), P2 (C); a second top-level item R2 (D).
        m_treeOwner = std::make_unique<CTreeCtrlEx>();
        CTreeCtrlEx& tree = *m_treeOwner;
        m_root = tree.InsertItem("产品数据");
        m_p1 = tree.InsertItem("P1 产品一", m_root);
        m_a = tree.InsertItem("A 部件", m_p1);
        tree.InsertItem("A1 轴", m_a);
        m_b = tree.InsertItem("B 轴承", m_p1);
        tree.InsertItem("C 轴套", tree.InsertItem("P2", m_root));
        m_r2 = tree.InsertItem("R2");
        tree.InsertItem("D", m_r2);
        CZQPDMSearchFunction::m_pTreeEx = &tree;
    }
    CTreeCtrlEx& Tree() { return *m_treeOwner; }
    void TearDown() override
    {
        CZQPDMSearchFunction::m_pTreeEx = nullptr;
        m_host.reset();
        m_desktop.reset();
        m_database.reset();
        m_treeOwner.reset();
    }

    QString IniPath() const { return m_dir.filePath("home/rnds/spt/search.ini"); }
    CZQPDMSearchView& Page()
    {
        if (!m_page) {
            m_host = std::make_unique<QWidget>();
            m_page = new CZQPDMSearchView(m_host.get());
            EXPECT_TRUE(m_page->CreatePage(m_host.get()));
        }
        return *m_page;
    }
    CReportListCtrl& Results() { return *zq::ControlAs<CReportListCtrl>(Page(), kResults); }
    QStringList ComboItems()
    {
        auto* combo = zq::ControlAs<QComboBox>(Page(), kPattern);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    int Search(const QString& pattern)
    {
        zq::SetControlText(Page(), kPattern, pattern);
        return Page().DoSearch();
    }
    // Each row as "text|parent|path|icon".
    QStringList Rows()
    {
        QStringList rows;
        for (int r = 0; r < Results().GetItemCount(); ++r)
            rows << QStringList{Results().GetItemText(r, 0), Results().GetItemText(r, 1), Results().GetItemText(r, 2),
                                QString::number(Results().GetItemImage(r))}
                        .join('|');
        return rows;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<zq::test::ScopedEnv> m_home;
    std::unique_ptr<zq::test::ScopedCurrentDatabase> m_database;
    zq::ScriptedDesktop desktop;
    std::unique_ptr<zq::ScopedDesktop> m_desktop;
    std::unique_ptr<CTreeCtrlEx> m_treeOwner;
    CTreeCursor m_root, m_p1, m_a, m_b, m_r2;
    std::unique_ptr<QWidget> m_host;
    CZQPDMSearchView* m_page = nullptr;   // owned by m_host
};

TEST_F(ViewPageTest, WalksBelowTheSelectionInPreOrder)
{
    const struct {
        const char* name;
        CTreeCursor selected;
        QString pattern;
        QStringList rows;
    } cases[] = {
        {"root_everything", m_root, "",
         {"P1 产品一|产品数据|P1 产品一\\|1", "A 部件|P1 产品一|P1 产品一\\A 部件\\|1",
          "A1 轴|A 部件|P1 产品一\\A 部件\\A1 轴\\|1", "B 轴承|P1 产品一|P1 产品一\\B 轴承\\|1", "P2|产品数据|P2\\|1",
          "C 轴套|P2|P2\\C 轴套\\|1"}},
        {"product_not_itself", m_p1, "*",
         {"A 部件|P1 产品一|P1 产品一\\A 部件\\|1", "A1 轴|A 部件|P1 产品一\\A 部件\\A1 轴\\|1",
          "B 轴承|P1 产品一|P1 产品一\\B 轴承\\|1"}},
        {"pattern", m_root, "*轴*",
         {"A1 轴|A 部件|P1 产品一\\A 部件\\A1 轴\\|1", "B 轴承|P1 产品一|P1 产品一\\B 轴承\\|1", "C 轴套|P2|P2\\C 轴套\\|1"}},
        {"other_top_level_in_path", m_r2, "d", {"D|R2|R2\\D\\|1"}},
        {"no_children", m_b, "*", {}},
    };
    for (const auto& c : cases) {
        Tree().SelectItem(c.selected);
        EXPECT_EQ(Search(c.pattern), 1) << c.name;
        EXPECT_EQ(Rows(), c.rows) << c.name;
    }
    EXPECT_EQ(Page().RowRecordCount(), 6u + 3u + 3u + 1u);
    EXPECT_TRUE(desktop.messages().isEmpty());
}

TEST_F(ViewPageTest, NoTreeOrNoSelectionListsNothing)
{
    Tree().SelectItem(m_p1);
    ASSERT_EQ(Search("*"), 1);
    ASSERT_EQ(Results().GetItemCount(), 3);
    Tree().SelectItem({});
    EXPECT_EQ(Search("*"), 0);
    EXPECT_EQ(Results().GetItemCount(), 0);
    Tree().SelectItem(m_p1);
    CZQPDMSearchFunction::m_pTreeEx = nullptr;
    EXPECT_EQ(Search("*"), 0);
    EXPECT_EQ(Results().GetItemCount(), 0);
}

TEST_F(ViewPageTest, LocateTextIsTheItemAndItsPath)
{
    Tree().SelectItem(m_root);
    ASSERT_EQ(Search("A*"), 1);
    EXPECT_EQ(Page().GetLocateText(), "");
    Results().SelectRow(1);
    EXPECT_EQ(Page().GetLocateText(), "A1 轴@^P1 产品一\\A 部件\\A1 轴\\");
    // The row index outlives a new search; a shorter list has no such row.
    ASSERT_EQ(Search("A1*"), 1);
    EXPECT_EQ(Page().GetLocateText(), "");
}

TEST_F(ViewPageTest, RecentPatternsInTheBoxAndTheFile)
{
    ASSERT_TRUE(zq::WriteGbkFile(IniPath(), QStringLiteral("[查询名称]\nzq*\n*轴*\nB?\n[名称结束]\n")));
    EXPECT_EQ(ComboItems(), (QStringList{"*轴*", "B?", "zq*"}));
    Tree().SelectItem(m_root);

    // A new pattern goes on top and the file is written; a known one (in another case) changes
    // nothing, the file included (here the file was removed before, and stays so).
    const struct {
        QString pattern;
        QStringList list;
        bool written;
    } steps[] = {
        {"ZQ*", {"*轴*", "B?", "zq*"}, false},
        {"", {"*", "*轴*", "B?", "zq*"}, true},
    };
    for (const auto& step : steps) {
        QFile::remove(IniPath());
        Search(step.pattern);
        EXPECT_EQ(ComboItems(), step.list) << step.pattern.toStdString();
        QFile file(IniPath());
        ASSERT_EQ(file.open(QIODevice::ReadOnly), step.written) << step.pattern.toStdString();
        if (step.written) {
            EXPECT_EQ(file.readAll(), zq::EncodeGbk("[查询名称]\n" + step.list.join('\n') + "\n[名称结束]\n"));
        }
    }
    EXPECT_TRUE(desktop.messages().isEmpty());
}

// A host that fills branches on demand: it adds an item below the one searched, and may say the
// branch is only partly there.
class GrowingBranch : public CTreeBranchSource {
public:
    explicit GrowingBranch(CTreeCtrlEx& tree, bool whole) : m_tree(tree), m_whole(whole) {}
    CTreeBranchFill FillBranch(QTreeWidgetItem* item) override
    {
        filled.append(item->text(0));
        m_tree.InsertItem("Z9 新轴", m_tree.Cursor(item));
        return {m_whole, 20000};
    }
    QStringList filled;
private:
    CTreeCtrlEx& m_tree;
    bool m_whole;
};

TEST_F(ViewPageTest, TheHostFillsTheBranchBeforeTheWalkAndSaysWhenItIsPartial)
{
    for (bool whole : {true, false}) {
        GrowingBranch source(Tree(), whole);
        Tree().SetBranchSource(&source);
        desktop.events.clear();
        Tree().SelectItem(m_b);
        EXPECT_EQ(Search("*轴*"), 1);
        Tree().SetBranchSource(nullptr);
        EXPECT_EQ(source.filled, QStringList{"B 轴承"});
        EXPECT_TRUE(Results().GetItemCount() >= 1 && Results().GetItemText(0, 0) == "Z9 新轴") << whole;
        if (whole) {
            EXPECT_TRUE(desktop.messages().isEmpty());
        } else {
            ASSERT_EQ(desktop.messages().size(), 1);
            EXPECT_TRUE(desktop.messages().first().contains("20000")) << desktop.messages().first().toStdString();
        }
    }
}

TEST_F(ViewPageTest, UnwritableFileIsToldWithItsPath)
{
    ASSERT_TRUE(QDir().mkpath(IniPath()));   // a folder where the file should be
    Tree().SelectItem(m_root);
    EXPECT_EQ(Search("A*"), 1);
    EXPECT_EQ(desktop.messages(), QStringList{"文件: " + IniPath() + " 打不开!"});
    EXPECT_EQ(ComboItems(), QStringList{"A*"});
    EXPECT_EQ(Results().GetItemCount(), 2);
    // The known pattern again: nothing to write, so nothing to tell.
    EXPECT_EQ(Search("a*"), 1);
    EXPECT_EQ(desktop.messages().size(), 1);
}

TEST_F(ViewPageTest, AnInstallationThatCannotBeWrittenIsToldOncePerWindowAndSearchedEveryTime)
{
    // Both stop root too: a folder where the file should be, a file where its folder should be.
    const QString spt = m_dir.filePath("home/rnds/spt");
    const struct {
        const char* name;
        std::function<bool()> makeUnwritable;
    } cases[] = {
        {"folder_at_the_file", [&] { return QDir().mkpath(IniPath()); }},
        {"file_at_the_folder", [&] { return QDir(spt).removeRecursively() && QFile(spt).open(QIODevice::WriteOnly); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.makeUnwritable());
        m_host.reset();
        m_page = nullptr;
        desktop.events.clear();
        Tree().SelectItem(m_root);
        const struct {
            QString pattern;
            int rows;
        } searches[] = {{"A*", 2}, {"*轴*", 3}, {"p?", 1}};
        for (const auto& search : searches) {
            EXPECT_EQ(Search(search.pattern), 1);
            EXPECT_EQ(Results().GetItemCount(), search.rows) << search.pattern.toStdString();
        }
        ASSERT_EQ(desktop.messages().size(), 1) << desktop.messages().join(u'\n').toStdString();
        EXPECT_TRUE(desktop.messages().first().startsWith("文件: ") && desktop.messages().first().endsWith(" 打不开!"));
        QStringList kept = ComboItems();
        kept.sort();
        EXPECT_EQ(kept, (QStringList{"*轴*", "A*", "p?"})) << "the list keeps every pattern";

        // Another window tells it again, once.
        m_host.reset();
        m_page = nullptr;
        EXPECT_EQ(Search("B*"), 1);
        EXPECT_EQ(Search("C*"), 1);
        EXPECT_EQ(desktop.messages().size(), 2);

        QFile::remove(spt);
        QDir(spt).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(spt));
    }
}

} // namespace
