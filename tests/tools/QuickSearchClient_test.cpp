// The quick search in the client window: the box in the toolbar, Ctrl+K, suggestions, the counts
// that filter the hits, a double-click that opens the hit on its tab with its row selected, and
// 定位 that selects a design part in the product tree.
#include "DialogTemplate.h"
#include "FlatTabCtrl.h"
#include "ListCtrl.h"
#include "PDMClientWindow.h"
#include "ProductTreeLoader.h"
#include "QuickSearchBox.h"
#include "QuickSearchController.h"
#include "QuickSearchDock.h"
#include "ScriptedDesktop.h"
#include "Seeder.h"
#include "TreeCtrlEx.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QCompleter>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string str(const QString& s) { return s.toStdString(); }

class QuickSearchClient : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_home = new QTemporaryDir;
        zq::seed::SeedOptions options;
        options.home = s_home->path();
        zq::seed::Seeder seeder(options);
        ASSERT_TRUE(seeder.Run()) << seeder.LastError().toStdString();
        // The content index, for the hits of 文档内容 (without zqpdm-index they are not tried).
        const QString indexer = qEnvironmentVariable("ZQ_BINARY_DIR", QStringLiteral(".")) + QStringLiteral("/bin/zqpdm-index");
        if (QFile::exists(indexer)) {
            QProcess index;
            index.start(indexer, {QStringLiteral("--home"), s_home->path(), QStringLiteral("--quiet")});
            s_indexed = index.waitForFinished(60000) && index.exitStatus() == QProcess::NormalExit && index.exitCode() == 0;
        }
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
        m_window->start();
        ASSERT_NE(m_window->quickSearch(), nullptr);
    }
    void TearDown() override
    {
        m_window.reset();
        qunsetenv("ZQPDM_HOME");
        qunsetenv("ZQPDM_SYSDIR");
    }

    // Types and presses Return, then lets the worker answer.
    void Search(const QString& text)
    {
        zq::host::QuickSearchBox* box = m_window->quickSearchBox();
        box->setText(text);
        Q_EMIT box->returnPressed();
        WaitFor([this] { return m_window->quickSearch()->idle(); });
    }
    static void WaitFor(const std::function<bool()>& done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_TRUE(done()) << "the quick search did not answer";
    }
    QTableWidget& Hits() const { return *m_window->quickSearchDock()->hitTable(); }
    QString Cell(int row, int column) const
    {
        const QTableWidgetItem* item = Hits().item(row, column);
        return item ? item->text() : QString();
    }
    QLabel& Counts() const { return *m_window->quickSearchDock()->findChild<QLabel*>(QStringLiteral("quickCounts")); }

    static inline QTemporaryDir* s_home = nullptr;
    static inline bool s_indexed = false;
    zq::ScriptedDesktop m_desktop;
    zq::ScopedDesktop m_scoped{m_desktop};
    std::unique_ptr<zq::host::PDMClientWindow> m_window;
};

TEST_F(QuickSearchClient, TheBoxIsInTheToolbarAndCtrlKFocusesIt)
{
    zq::host::QuickSearchBox* box = m_window->quickSearchBox();
    EXPECT_EQ(box->placeholderText(), QStringLiteral("快速查找"));
    auto* action = m_window->findChild<QAction*>(QStringLiteral("actionQuickSearch"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
}

TEST_F(QuickSearchClient, SuggestsAtMostTenCodesThatBeginAsTyped)
{
    zq::host::QuickSearchBox* box = m_window->quickSearchBox();
    box->setText(QStringLiteral("zq8600 0"));
    box->requestSuggestions();
    QAbstractItemModel* model = box->suggestions()->model();
    WaitFor([model] { return model->rowCount() > 0; });
    EXPECT_LE(model->rowCount(), 10);
    for (int row = 0; row < model->rowCount(); ++row)
        EXPECT_TRUE(model->index(row, 0).data().toString().startsWith(QStringLiteral("ZQ8600-0")))
            << str(model->index(row, 0).data().toString());
}

TEST_F(QuickSearchClient, CountsAboveTheHitsFilterByKind)
{
    Search(QStringLiteral("ZQ8600-01"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("设计零部件"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("ZQ8600-01"));
    EXPECT_EQ(Cell(0, 4), QStringLiteral("编号相同"));
    const QString counts = m_window->quickSearchDock()->countsText();
    EXPECT_TRUE(counts.startsWith(QStringLiteral("设计零部件 "))) << str(counts);
    EXPECT_TRUE(Counts().text().contains(QStringLiteral("批次产品"))) << str(Counts().text());

    Q_EMIT Counts().linkActivated(QStringLiteral("批次产品"));
    ASSERT_GT(Hits().rowCount(), 0);
    for (int row = 0; row < Hits().rowCount(); ++row)
        EXPECT_EQ(Cell(row, 0), QStringLiteral("批次产品"));
    Q_EMIT Counts().linkActivated(QStringLiteral("全部"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("设计零部件"));
}

// Each kind's hit opens on its own tab, listed and selected: the conditions that list it are
// the page's own controls, so a wrong id or row shows here.
TEST_F(QuickSearchClient, DoubleClickOpensTheHitOnItsTabSelected)
{
    struct Case {
        const char* typed;
        const char* kind;
    } const cases[] = {
        {"zq8600 01", "设计零部件"},
        {"ZQ8600-01-02", "批次产品"},
        {"XG2026-001", "更改单"},
        {"ZQ8600", "设计文档"},
        {"GB5783", "资源文件"},
        {"XM2026-01", "设计任务"},
        {"鼠笼转子", "文档内容"},   // a word inside a stored PDF: the page lists the file by those words
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (QByteArray(c.kind) == "文档内容" && !s_indexed)
            continue;
        Search(QString::fromUtf8(c.typed));
        Q_EMIT Counts().linkActivated(QString::fromUtf8(c.kind));
        ASSERT_GT(Hits().rowCount(), 0) << "counts: " << str(m_window->quickSearchDock()->countsText());
        const auto hit = m_window->quickSearchDock()->hitAt(0);
        ASSERT_TRUE(hit);
        Q_EMIT Hits().cellDoubleClicked(0, 1);
        CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
        ASSERT_NE(main, nullptr);
        CZQSearchPage* page = main->CurrentPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(main->TabCtrl()->GetItemText(main->TabCtrl()->GetCurSel()), QString::fromUtf8(c.kind));
        CReportListCtrl* list = page->GetResultList();
        ASSERT_NE(list, nullptr);
        const QList<int> selected = list->GetSelectedRows();
        ASSERT_EQ(selected.size(), 1) << str(hit->code) << " among " << list->GetItemCount() << " rows; messages: "
                                      << str(m_desktop.messages().join(u'|'));
        QStringList texts;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            texts.append(list->GetItemText(selected[0], column));
        EXPECT_TRUE(texts.join(u'|').contains(hit->listed)) << str(texts.join(u'|'));
    }
}

// Several lines pasted into the box are a list to check, not a search; the check keeps the
// lines' order and is saved as CSV.
TEST_F(QuickSearchClient, PastedListIsCheckedLineByLineAndSavedAsCsv)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("ZQ8600-01\nZQ9999-99\nXG2026-001\n"));
    zq::host::QuickSearchBox* box = m_window->quickSearchBox();
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::sendEvent(box, &paste);
    EXPECT_TRUE(box->text().isEmpty()) << "the list is not typed into the box";
    WaitFor([this] { return m_window->quickSearch()->idle(); });
    ASSERT_GE(Hits().rowCount(), 3);
    EXPECT_EQ(Hits().horizontalHeaderItem(0)->text(), QStringLiteral("输入"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("ZQ8600-01"));
    EXPECT_EQ(Cell(Hits().rowCount() - 1, 0), QStringLiteral("XG2026-001"));
    EXPECT_TRUE(Counts().text().startsWith(QStringLiteral("找到 2 · 未找到 1"))) << str(Counts().text());

    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("check.csv"));
    m_desktop.saveAnswer = zq::SaveFileAnswer{path, 1};
    auto* save = m_window->quickSearchDock()->findChild<QPushButton*>(QStringLiteral("quickExport"));
    ASSERT_NE(save, nullptr);
    save->click();
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("输入,类别,编号,名称,匹配,说明\r\nZQ8600-01,设计零部件,ZQ8600-01,"))) << str(text);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nZQ9999-99,未找到,"))) << str(text);
}

TEST_F(QuickSearchClient, LocateSelectsTheDesignPartInTheProductTree)
{
    Search(QStringLiteral("ZQ8600-01-02"));
    ASSERT_EQ(Cell(0, 1), QStringLiteral("ZQ8600-01-02"));
    Hits().setCurrentCell(0, 1);
    auto* locate = m_window->quickSearchDock()->findChild<QPushButton*>(QStringLiteral("quickLocate"));
    ASSERT_TRUE(locate && locate->isEnabled());
    locate->click();
    EXPECT_EQ(zq::host::ProductTreeLoader::pathOf(m_window->tree()->currentItem()),
              QStringLiteral("ZQ8600::ZQ8600-01::ZQ8600-01-02"));
}

} // namespace
