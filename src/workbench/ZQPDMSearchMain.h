#pragma once
// The search window: a row of tabs, one search page each (the list of pages comes from the
// installation's "\Support\Search.cfg"), Find, export of the current result list, the status
// line and the "关联视图项" link through which the host is told the selected row.
#include "ListCtrl.h"
#include "TreeCtrlEx.h"
#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

class CFlatTabCtrl;
class CZQSearchPage;
namespace zq { class SavedSearchMenu; class SearchWindowState; class ColumnWidthMemory; struct KnownPage; }
namespace zq::preview { class PreviewDock; }

class CZQPDMSearchMain : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 23001;
    enum ControlId {
        IDC_TAB = 24004, IDC_TAB_FRAME = 24000, IDC_STATUS = 1044, IDC_LOCATE = 1057,
        IDC_SAVEAS = 1137, IDC_FIND = 1300, IDC_EXIT = 2, IDC_SAVED = 1402,
    };

    CZQPDMSearchMain();
    ~CZQPDMSearchMain() override;

    // When the pages of the tabs are built from their templates: each when its tab is first
    // selected (or when all are asked for), so a window opened for one tab builds only that one
    // and the first; or all of them as the window is created. Either way every page asks the
    // sibling services what it needs as the window is created, in tab order. Set before Create.
    enum class PageBuilding { WhenFirstSelected, AllAtCreation };
    void SetPageBuilding(PageBuilding building) { m_pageBuilding = building; }

    // Builds the window from template 23001 as a modeless dialog owned by parent (top-level
    // when null) and initialises it. False when the template cannot be found.
    bool Create(QWidget* parent);
    bool IsCreated() const { return m_bCreated; }
    // Centres the window over its owner, or over the screen without one.
    void CenterWindow();
    // Puts the window where its user last left it (size, position, maximised), when that is on a
    // screen there is now; centres it otherwise.
    void PlaceWindow();

    // Sends "Locate" with the text to the host while "关联视图项" is ticked; 1 when sent (or
    // when the host has no command object), 0 otherwise.
    int NotifyLocate(const QString& text);
    // Passes the host's tree item to the current page.
    void SetCurTreeItem(CTreeCursor item);

    CZQSearchPage* CurrentPage() const { return m_pCurPage; }
    // Every tab's page, in tab order; pages not built yet are built first.
    QList<CZQSearchPage*> Pages();
    // How many of the tabs' pages are built so far.
    int BuiltPageCount() const;
    CFlatTabCtrl* TabCtrl() const { return m_pTabCtrl; }
    QString StatusText() const;
    // Whether the status line tells of a search the user cancelled (its count is of the rows read
    // until then).
    bool StatusFromCancelledSearch() const;
    bool LinkChecked() const;
    // The next or previous tab (wrapping round), as Ctrl+Tab / Ctrl+PgDn and Ctrl+Shift+Tab /
    // Ctrl+PgUp select it.
    void StepPage(int delta);

    // The preview pane beside the result list (the "预览" button, F3).
    zq::preview::PreviewDock* Preview() const { return m_preview.get(); }

    // The "常用查询..." button's saved and recent searches.
    zq::SavedSearchMenu& SavedSearches() { return *m_savedSearches; }
    // Whether each Find is remembered among the tab's recent searches (a script's are not).
    void SetRemembersRecentSearches(bool on) { m_bRemembersRecent = on; }

    // True while a query runs anywhere in the module.
    bool IsQueryBusy() const;
    // Hides the window now and deletes it once no query runs any more.
    void DestroyWhenIdle();
    bool IsDestroyPending() const { return m_bDestroyPending; }

public Q_SLOTS:
    void SelectPage(int index);
    // Selects the first tab with that caption; false when there is none.
    bool SelectPageByCaption(const QString& caption);
    // The tabs' captions, in the order shown.
    QStringList TabCaptions() const;
    void OnFind();
    void OnSaveAs();
    void OnLocateClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void reject() override;

private:
    void OnInitDialog();
    void BuildTabImages();
    bool LoadPages();
    bool AddPage(const QString& caption);
    // The page of tab index, built now if it was not yet; null when it cannot be built.
    CZQSearchPage* BuildPage(size_t index);
    void LayoutCurrentPage();
    void OnTabSelChange(int index);
    void OnQueriesIdle();
    void SetLinkControl(bool checked);
    void AddTabKeys();
    void ShowPageStatus();
    void SavePlacement();

    // The status line of a page's last search.
    struct PageStatus {
        QString text;
        bool cancelled = false;
    };

    CFlatTabCtrl* m_pTabCtrl = nullptr;
    bool m_bLink = false;
    CZQSearchPage* m_pCurPage = nullptr;
    // A tab of the page list and its page, its controls built or not yet.
    struct PageSlot {
        QString caption;
        const zq::KnownPage* known = nullptr;
        std::unique_ptr<CZQSearchPage> page;
        bool built = false;
    };
    std::vector<PageSlot> m_pages;
    PageBuilding m_pageBuilding = PageBuilding::WhenFirstSelected;
    CImageList m_tabImages;
    int m_nRefWidth = 0;
    int m_nRefHeight = 0;
    bool m_bCreated = false;
    bool m_bDestroyPending = false;
    std::unique_ptr<zq::SavedSearchMenu> m_savedSearches;
    bool m_bRemembersRecent = true;
    QString m_strInitialStatus;                          // the status line's caption before any search
    QHash<const CZQSearchPage*, PageStatus> m_pageStatus;
    std::unique_ptr<zq::SearchWindowState> m_state;
    std::unique_ptr<zq::ColumnWidthMemory> m_columnWidths;
    std::unique_ptr<zq::preview::PreviewDock> m_preview;
    bool m_bShown = false;                               // shown since its place was last remembered
};
