#pragma once
// The preview pane in the search window: the "预览" button in the tab bar's corner and F3 show
// and hide it; shown, it takes the right part of the current tab's result list, with a handle
// between them to drag; whether it shows and its width are the user's (window.json). It follows
// the selected row of whichever tab is current.
#include "SearchWindowState.h"

#include <QObject>
#include <QPointer>
#include <memory>

class CFlatTabCtrl;
class CReportListCtrl;
class CZQSearchPage;
class QToolButton;

namespace zq::preview {

class PaneHandle;
class PreviewController;
class PreviewPane;
class PreviewRunner;

class PreviewDock : public QObject {
    Q_OBJECT
public:
    // The pane lives in the tab control, over the pages; state is where its user's choices are kept.
    PreviewDock(CFlatTabCtrl& tabs, const SearchWindowState* state, std::unique_ptr<PreviewRunner> runner);
    ~PreviewDock() override;

    // The page's list: its selected row is previewed while the page is current.
    void attach(CZQSearchPage& page);
    // The page now current, laid out: the pane goes beside its list (and shows its selected row).
    void follow(CZQSearchPage* page);
    // Places pane and list again (after the window or the page changed size).
    void layout();

    bool isShown() const { return m_shown; }
    // remember: the user's choice, kept for the next session (a picture taken unattended is not).
    void setShown(bool shown, bool remember = true);
    void toggle() { setShown(!m_shown); }

    PreviewPane& pane() const { return *m_pane; }
    PreviewController& controller() const { return *m_controller; }
    QToolButton* button() const { return m_button; }

private:
    void previewRow(CZQSearchPage* page, int row);
    void previewSelectedRow();
    void remember() const;

    CFlatTabCtrl& m_tabs;
    const SearchWindowState* m_state;
    QPointer<CZQSearchPage> m_page;
    PreviewPane* m_pane = nullptr;
    PaneHandle* m_handle = nullptr;
    QToolButton* m_button = nullptr;
    std::unique_ptr<PreviewController> m_controller;
    bool m_shown = false;
    int m_width = 0;        // the width the user gave the pane; 0 for its default share
    bool m_laying = false;  // the list's resize while the pane is placed is the pane's own
};

} // namespace zq::preview
