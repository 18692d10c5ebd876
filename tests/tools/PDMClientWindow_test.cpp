// The PDM client window as the search module's host: tree and database at start, the search
// window from the menu, Locate listed and followed in the tree, tree moves passed on.
#include "DialogTemplate.h"
#include "DllCommandBase.h"
#include "PDMClientWindow.h"
#include "ProductTreeLoader.h"
#include "ScriptedDesktop.h"
#include "Seeder.h"
#include "TreeCtrlEx.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QStatusBar>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ClientWindow : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_home = new QTemporaryDir;
        zq::seed::SeedOptions options;
        options.home = s_home->path();
        zq::seed::Seeder seeder(options);
        ASSERT_TRUE(seeder.Run()) << seeder.LastError().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_home;
        s_home = nullptr;
    }

    void SetUp() override
    {
        qputenv("ZQPDM_HOME", QFile::encodeName(s_home->path()));
        qputenv("ZQPDM_SYSDIR", QFile::encodeName(s_home->path() + QStringLiteral("/sys")));
        qunsetenv("ZQPDM_DB");
        m_window = std::make_unique<zq::host::PDMClientWindow>();
    }
    void TearDown() override
    {
        m_window.reset();
        qunsetenv("ZQPDM_HOME");
        qunsetenv("ZQPDM_SYSDIR");
        qunsetenv("ZQPDM_DB");
    }

    QString statusText() const
    {
        const QList<QLabel*> labels = m_window->statusBar()->findChildren<QLabel*>();
        return labels.isEmpty() ? QString() : labels.first()->text();
    }
    QString selectedPath() const { return zq::host::ProductTreeLoader::pathOf(m_window->tree()->currentItem()); }
    void locate(const QString& text) const { CZQPDMSearchFunction::m_pCommandBase->ExecuteCommand(QStringLiteral("Locate"), text); }

    static inline QTemporaryDir* s_home = nullptr;
    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scoped{m_desktop};
    std::unique_ptr<zq::host::PDMClientWindow> m_window;
};

TEST_F(ClientWindow, StartsWithTheProductTreeAndTheDatabaseInTheStatusBar)
{
    m_window->start();
    EXPECT_TRUE(m_desktop.messages().isEmpty()) << m_desktop.messages().join(u'\n').toStdString();
    ASSERT_EQ(m_window->tree()->topLevelItemCount(), 1);
    EXPECT_EQ(m_window->tree()->topLevelItem(0)->childCount(), 3);
    EXPECT_EQ(CZQPDMSearchFunction::m_pTreeEx, m_window->tree());
    EXPECT_NE(CZQPDMSearchFunction::m_pCommandBase, nullptr);
    EXPECT_TRUE(statusText().startsWith(QStringLiteral("数据库: sqlite:"))) << statusText().toStdString();
    EXPECT_TRUE(statusText().contains(QStringLiteral("pdm.db")));
}

TEST_F(ClientWindow, TheFindEntryOpensTheSearchWindow)
{
    m_window->start();
    QAction* find = m_window->findChild<QAction*>(QStringLiteral("actionFind"));
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->text(), QStringLiteral("查找..."));
    EXPECT_EQ(find->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    find->trigger();
    ASSERT_NE(CZQPDMSearchFunction::m_pPDMSearchMain, nullptr);
    EXPECT_TRUE(CZQPDMSearchFunction::m_pPDMSearchMain->isVisible());
    EXPECT_EQ(CZQPDMSearchFunction::m_pParentWnd, m_window.get());
    find->trigger();
    EXPECT_TRUE(CZQPDMSearchFunction::m_pPDMSearchMain->isVisible());
}

TEST_F(ClientWindow, LocateIsListedAndSelectsTheTreeItem)
{
    m_window->start();
    locate(QStringLiteral("ZQ8600-01-02@^ZQ8600"));
    locate(QStringLiteral("XG2026-001@^修改单"));
    ASSERT_EQ(m_window->commandLog()->count(), 2);
    EXPECT_EQ(m_window->commandLog()->item(0)->text(), QStringLiteral("Locate  ZQ8600-01-02@^ZQ8600"));
    EXPECT_EQ(selectedPath(), QStringLiteral("ZQ8600::ZQ8600-01::ZQ8600-01-02")) << "an unknown code keeps the selection";
}

// The client fills a branch only when the user opens it; a search below an item the user never
// opened still sees the whole branch, as the command line (which reads the tree as it goes) does.
TEST_F(ClientWindow, TheTreeSearchBelowAnUnopenedProductSeesTheWholeBranch)
{
    m_window->start();
    CTreeCtrlEx* tree = m_window->tree();
    QTreeWidgetItem* product = nullptr;
    for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i)
        if (CTreeCtrlEx::Record(tree->topLevelItem(0)->child(i)).code == QLatin1String("ZQ8600"))
            product = tree->topLevelItem(0)->child(i);
    ASSERT_NE(product, nullptr);
    ASSERT_EQ(product->childCount(), 0) << "not opened yet";
    tree->setCurrentItem(product);
    m_window->openSearch();
    CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
    ASSERT_TRUE(main->SelectPageByCaption(QStringLiteral("数据视图项")));
    zq::SetControlText(*main->CurrentPage(), 1046, QStringLiteral("*轴*"));
    main->OnFind();
    QStringList rows;
    const CReportListCtrl* list = main->CurrentPage()->GetResultList();
    for (int r = 0; r < list->GetItemCount(); ++r)
        rows << list->GetItemText(r, 0) + u'\t' + list->GetItemText(r, 1) + u'\t' + list->GetItemText(r, 2);

    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tool.setProcessEnvironment(environment);
    tool.start(qEnvironmentVariable("ZQ_BINARY_DIR", QStringLiteral(".")) + QStringLiteral("/bin/zqpdm-search"),
               {QStringLiteral("--home"), s_home->path(), QStringLiteral("--page"), QStringLiteral("数据视图项"),
                QStringLiteral("--tree"), QStringLiteral("ZQ8600"), QStringLiteral("--set"), QStringLiteral("1046=*轴*")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QStringList expected = QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(expected.isEmpty());
    expected.removeFirst();   // the header line
    EXPECT_EQ(rows, expected);
    EXPECT_GE(rows.size(), 7);
    EXPECT_TRUE(m_desktop.messages().isEmpty()) << m_desktop.messages().join(u'\n').toStdString();
}

// The user's moves in the tree (mouse, keyboard) reach the design-part page's scope; the move
// the host makes to answer a "Locate" does not, so the scope stays as the user set it.
TEST_F(ClientWindow, UserTreeMovesReachThePageALocateDoesNot)
{
    m_window->start();
    m_window->show();
    m_window->openSearch();
    CZQSearchPage* page = CZQPDMSearchFunction::m_pPDMSearchMain->CurrentPage();
    ASSERT_NE(page, nullptr);
    auto* kind = zq::ControlAs<QComboBox>(*page, 1256);
    ASSERT_NE(kind, nullptr) << "the first page is the design-part page";
    kind->setCurrentIndex(1);
    emit kind->activated(1);
    CTreeCtrlEx* tree = m_window->tree();
    QCoreApplication::processEvents();

    QTreeWidgetItem* product = tree->topLevelItem(0)->child(0);
    ASSERT_NE(product, nullptr);
    const QPoint at = tree->visualItemRect(product).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &click);
    }
    const QString clicked = zq::host::ProductTreeLoader::pathOf(product);
    ASSERT_EQ(selectedPath(), clicked);
    const QString scope = zq::ControlText(*page, 1167);
    EXPECT_EQ(scope.toStdString(), clicked.toStdString()) << "a click in the tree moves the scope";

    locate(QStringLiteral("ZQ8600-03-01@^ZQ8600"));
    EXPECT_EQ(selectedPath(), QStringLiteral("ZQ8600::ZQ8600-03::ZQ8600-03-01"));
    EXPECT_EQ(zq::ControlText(*page, 1167).toStdString(), scope.toStdString())
        << "a Locate leaves the scope as the user set it";

    tree->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(tree, &down);
    ASSERT_NE(selectedPath(), QStringLiteral("ZQ8600::ZQ8600-03::ZQ8600-03-01"));
    EXPECT_EQ(zq::ControlText(*page, 1167).toStdString(), selectedPath().toStdString())
        << "a key press in the tree moves the scope";
}

TEST_F(ClientWindow, AFailedConnectionIsToldAndLeavesAnEmptyTree)
{
    qputenv("ZQPDM_DB", "sqlite:/nonexistent-folder/pdm.db");
    m_window->start();
    ASSERT_EQ(m_desktop.eventsOf(QStringLiteral("MSG")).size(), 1);
    const zq::ScriptedDesktop::Event box = m_desktop.eventsOf(QStringLiteral("MSG")).first();
    EXPECT_EQ(box.fields.value(0), QStringLiteral("ZQPDM－产品数据管理系统"));
    EXPECT_TRUE(box.fields.value(1).startsWith(QStringLiteral("不能连接产品数据库 sqlite:/nonexistent-folder/pdm.db"))) << box.fields.value(1).toStdString();
    EXPECT_EQ(m_window->tree()->topLevelItemCount(), 1);
    EXPECT_EQ(m_window->tree()->topLevelItem(0)->childCount(), 0);
    EXPECT_TRUE(statusText().contains(QStringLiteral("未连接"))) << statusText().toStdString();
    locate(QStringLiteral("ZQ8600@^ZQ8600"));
    EXPECT_EQ(m_window->commandLog()->count(), 1);
    EXPECT_EQ(m_window->tree()->currentItem(), nullptr);
}

} // namespace
