#pragma once
// The PDM client's main window as a host of the search module: the product tree from the
// database, a menu entry and Ctrl+F that open the search window, and a pane listing the
// commands the module sends (a "Locate" also selects the named tree item), and the "任务" view
// of tasks that are not finished, and the quick search (a box in the toolbar, Ctrl+K, its
// results in a dock). The user's moves in the tree are handed to the module; the
// selection made to answer a "Locate" is not.
#include "HostDatabase.h"
#include "TreeLocator.h"

#include <QMainWindow>
#include <memory>

class CTreeCtrlEx;
class QLabel;
class QListWidget;
class QTreeWidgetItem;

namespace zq::quick { struct QuickHit; }

namespace zq::host {

class HostCommandReceiver;
class ProductTreeLoader;
class QuickSearchBox;
class QuickSearchController;
class QuickSearchDock;
class TaskDock;

class PDMClientWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PDMClientWindow(QWidget* parent = nullptr);
    ~PDMClientWindow() override;

    // Connects to the database, fills the tree and hands tree and command object to the module.
    // A failure is told to the user; the window then stays up with an empty tree.
    void start();

    // Selects the tree item at a structure path ("P::A::B") as the user would; false when absent,
    // with *choices saying what could have been typed where the path goes wrong.
    bool selectTreePath(const QString& path, QString* choices = nullptr);

    CTreeCtrlEx* tree() const { return m_tree; }
    QListWidget* commandLog() const { return m_commandLog; }
    TaskDock* taskDock() const { return m_taskDock; }
    QuickSearchBox* quickSearchBox() const { return m_quickBox; }
    QuickSearchDock* quickSearchDock() const { return m_quickDock; }
    QuickSearchController* quickSearch() const { return m_quickSearch; }

public Q_SLOTS:
    void openSearch();

private:
    void buildMenus();
    void buildQuickSearch();
    void startQuickSearch();
    void openQuickHit(const zq::quick::QuickHit& hit);
    void locateQuickHit(const zq::quick::QuickHit& hit);
    void showStatus();
    void onCurrentItemChanged(QTreeWidgetItem* current);
    void onLocate(const QString& locateText);
    void onCommand(const QString& command, const QString& argument);
    void tellUser(const QString& text);

    HostDatabase m_database;
    CTreeCtrlEx* m_tree = nullptr;
    QListWidget* m_commandLog = nullptr;
    QLabel* m_statusLabel = nullptr;
    ProductTreeLoader* m_loader = nullptr;
    HostCommandReceiver* m_receiver = nullptr;
    TaskDock* m_taskDock = nullptr;
    QuickSearchBox* m_quickBox = nullptr;
    QuickSearchDock* m_quickDock = nullptr;
    QuickSearchController* m_quickSearch = nullptr;
    std::unique_ptr<TreeLocator> m_locator;
    // True while the tree selection is moved to answer a "Locate": that move is the host's own,
    // not the user's, and is not handed to the module.
    bool m_answeringLocate = false;
};

} // namespace zq::host
