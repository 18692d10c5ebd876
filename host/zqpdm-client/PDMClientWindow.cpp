#include "PDMClientWindow.h"

#include "Desktop.h"
#include "ConnectionUrl.h"
#include "HostCommandReceiver.h"
#include "PageList.h"
#include "PartSql.h"
#include "QuickHitOpener.h"
#include "QuickSearchBox.h"
#include "QuickSearchController.h"
#include "QuickSearchDock.h"
#include "QuickSources.h"
#include "ProductTreeLoader.h"
#include "TaskDock.h"
#include "TreeCtrlEx.h"
#include "UserServices.h"
#include "ZQDBConnect.h"
#include "ZQPDMSearchFunction.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace zq::host {

namespace {
const QString kTitle = QStringLiteral("ZQPDM－产品数据管理系统");
}

PDMClientWindow::PDMClientWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(kTitle);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new CTreeCtrlEx(splitter);
    m_tree->setObjectName(QStringLiteral("productTree"));

    auto* pane = new QWidget(splitter);
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->addWidget(new QLabel(QStringLiteral("收到的命令:"), pane));
    m_commandLog = new QListWidget(pane);
    m_commandLog->setObjectName(QStringLiteral("commandLog"));
    paneLayout->addWidget(m_commandLog);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    setCentralWidget(splitter);

    m_statusLabel = new QLabel(this);
    statusBar()->addWidget(m_statusLabel, 1);

    m_taskDock = new TaskDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_taskDock);

    m_receiver = new HostCommandReceiver(this);
    connect(m_receiver, &HostCommandReceiver::commandReceived, this, &PDMClientWindow::onCommand);
    buildQuickSearch();
    buildMenus();
    resize(900, 640);
}

PDMClientWindow::~PDMClientWindow()
{
    CZQPDMSearchFunction::DestorySearchMain();
    CZQPDMSearchFunction::SetDllCommand(nullptr);
    if (CZQPDMSearchFunction::m_pTreeEx == m_tree)
        CZQPDMSearchFunction::m_pTreeEx = nullptr;
    if (CZQPDMSearchFunction::m_pParentWnd == this)
        CZQPDMSearchFunction::m_pParentWnd = nullptr;
}

void PDMClientWindow::buildMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* quit = fileMenu->addAction(QStringLiteral("退出(&X)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* searchMenu = menuBar()->addMenu(QStringLiteral("查询(&S)"));
    QAction* find = searchMenu->addAction(QStringLiteral("查找..."));
    find->setObjectName(QStringLiteral("actionFind"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setShortcutContext(Qt::ApplicationShortcut);
    connect(find, &QAction::triggered, this, &PDMClientWindow::openSearch);

    QAction* quick = searchMenu->addAction(QStringLiteral("快速查找"));
    quick->setObjectName(QStringLiteral("actionQuickSearch"));
    quick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    quick->setShortcutContext(Qt::ApplicationShortcut);
    connect(quick, &QAction::triggered, this, [this] {
        m_quickBox->setFocus(Qt::ShortcutFocusReason);
        m_quickBox->selectAll();
    });

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    viewMenu->addAction(m_taskDock->toggleViewAction());
    viewMenu->addAction(m_quickDock->toggleViewAction());
}

void PDMClientWindow::buildQuickSearch()
{
    QToolBar* toolbar = addToolBar(QStringLiteral("快速查找"));
    toolbar->setObjectName(QStringLiteral("quickSearchToolBar"));
    toolbar->setMovable(false);
    m_quickBox = new QuickSearchBox(toolbar);
    toolbar->addWidget(m_quickBox);
    // Beside the task view, raised when a search starts.
    m_quickDock = new QuickSearchDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_quickDock);
    tabifyDockWidget(m_taskDock, m_quickDock);
    m_taskDock->raise();
    connect(m_quickDock, &QuickSearchDock::openRequested, this, &PDMClientWindow::openQuickHit);
    connect(m_quickDock, &QuickSearchDock::locateRequested, this, &PDMClientWindow::locateQuickHit);
}

// The quick search reads through connections of its own, on the database the window uses, over
// the kinds whose tabs the installation's page list shows.
void PDMClientWindow::startQuickSearch()
{
    const std::optional<QStringList> pageList = ReadPageList(PageListPath());
    const QStringList kinds = pageList ? quick::InstalledKinds(*pageList) : quick::AllKindCaptions();
    m_quickSearch = new QuickSearchController(*m_quickBox, *m_quickDock, m_database.connect()->Url(),
                                              zq::db::ConfiguredContentIndexUrl(), kinds, this);
}

void PDMClientWindow::openQuickHit(const quick::QuickHit& hit)
{
    const QString problem = OpenHitInSearchWindow(this, hit, zq::Desktop::current().now().date());
    if (!problem.isEmpty())
        tellUser(problem);
}

// As a page's Locate: the host command, which the tree answers.
void PDMClientWindow::locateQuickHit(const quick::QuickHit& hit)
{
    m_receiver->ExecuteCommand(QString::fromLatin1(HostCommandReceiver::kLocate),
                               part::LocateText(hit.code, hit.product, false, QString()));
}

void PDMClientWindow::start()
{
    if (!m_database.open())
        tellUser(QStringLiteral("不能连接产品数据库 %1:\n%2\n\n产品树将是空的。").arg(m_database.url(), m_database.error()));
    showStatus();

    m_loader = new ProductTreeLoader(*m_tree, m_database.connection(), this);
    connect(m_loader, &ProductTreeLoader::loadFailed, this,
            [this](const QString& message) { tellUser(QStringLiteral("读取产品结构时出错:\n%1").arg(message)); });
    m_locator = std::make_unique<TreeLocator>(*m_tree, *m_loader);
    m_receiver->setLocateHandler([this](const QString& text) { onLocate(text); });
    if (!m_loader->loadProducts() && m_database.isOpen())
        tellUser(QStringLiteral("读取产品时出错:\n%1").arg(m_loader->lastError()));

    const std::unique_ptr<CUser> user = m_database.isOpen() ? ZQGetCurrentUser() : nullptr;
    // A login the database does not know has no tasks of its own: "我的任务" must not list
    // everyone's as the user's.
    const bool loginKnown = !m_database.isOpen() || user != nullptr;
    m_taskDock->start(m_database.isOpen() ? m_database.connect() : nullptr,
                      user ? user->GetLogName() : ZQCurrentLogName(), loginKnown);

    CZQPDMSearchFunction::m_pTreeEx = m_tree;
    CZQPDMSearchFunction::SetDllCommand(m_receiver);
    if (m_database.isOpen())
        startQuickSearch();
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onCurrentItemChanged(current); });
}

bool PDMClientWindow::selectTreePath(const QString& path, QString* choices)
{
    QTreeWidgetItem* item = m_loader ? m_loader->findPath(path) : nullptr;
    if (!item) {
        if (m_loader && choices)
            *choices = m_loader->pathChoices(path);
        return false;
    }
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    return true;
}

void PDMClientWindow::openSearch()
{
    CZQPDMSearchFunction::CreateSearchMain(this);
    CZQPDMSearchFunction::ShowSearchMain(true);
}

void PDMClientWindow::showStatus()
{
    m_statusLabel->setText(m_database.isOpen()
                               ? QStringLiteral("数据库: %1").arg(m_database.url())
                               : QStringLiteral("数据库: 未连接 (%1)").arg(m_database.url()));
}

void PDMClientWindow::onCurrentItemChanged(QTreeWidgetItem* current)
{
    if (!m_answeringLocate)
        CZQPDMSearchFunction::SetCurTreeItem(m_tree->Cursor(current));
}

void PDMClientWindow::onLocate(const QString& locateText)
{
    const QScopedValueRollback answering(m_answeringLocate, true);
    m_locator->locate(locateText);
}

void PDMClientWindow::onCommand(const QString& command, const QString& argument)
{
    m_commandLog->addItem(QStringLiteral("%1  %2").arg(command, argument));
    m_commandLog->scrollToBottom();
}

void PDMClientWindow::tellUser(const QString& text)
{
    zq::Desktop::current().messageBox(text, kTitle, zq::MB_OK | zq::MB_ICONEXCLAMATION);
}

} // namespace zq::host
