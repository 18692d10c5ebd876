#pragma once
// A scrollable view that shows one of several pages under a row of tabs, like a property sheet
// embedded in a view. Whoever creates the view inserts the pages, each tab carrying its page.
// A page may refuse to be left (OnKillActive) or shown (OnSetActive); Ctrl+Tab / Ctrl+Page Down
// and Ctrl+Shift+Tab / Ctrl+Page Up step through the pages; with auto-size the scroll area grows
// to the current page's size.
#include <QScrollArea>
#include <memory>

class CFlatTabCtrl;
class CPropertyViewPage;

class CPropertyView : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kTabCtrlId = 29029;
    static constexpr int kBand = 4;          // pixels above the tabs

    Q_INVOKABLE explicit CPropertyView(QWidget* parent = nullptr);
    ~CPropertyView() override;

    // Inserts a tab with the text whose page is the given one; the page is created from its
    // template when it has no window yet, and belongs to the view from now on. The page stays
    // hidden until it is made active. Returns the tab's index, −1 when the page could not be created.
    int InsertPage(int index, std::unique_ptr<CPropertyViewPage> page, const QString& text);
    int GetPageCount() const;

    // Index of the shown page; −1 without a tab control or page.
    int GetActiveIndex() const;
    // The page of a tab; null when out of range.
    CPropertyViewPage* GetPage(int index) const;
    CPropertyViewPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
    // Shows page index after the current page let go of it and it accepted; false otherwise.
    bool SetActivePage(int index);
    // The tab control; null until the first page is inserted or the view is shown.
    CFlatTabCtrl* GetTabCtrl() const { return m_pTabCtrl; }

    // The view's update notification, passed to every page's OnUpdatePage in tab order.
    void OnUpdate(QObject* sender = nullptr, qintptr hint = 0, QObject* hintObject = nullptr);
    // Told by a page whose modified state changes.
    virtual void OnPageModified(CPropertyViewPage* page, bool modified);

    void SetMultiLine(bool multiLine) { m_bMultiLine = multiLine; }
    bool IsMultiLine() const { return m_bMultiLine; }
    void SetAutoSize(bool autoSize);
    bool IsAutoSize() const { return m_bAutoSize; }
    // The scrolled area (the scroll sizes).
    QSize ScrollSize() const;

Q_SIGNALS:
    void pageModified(CPropertyViewPage* page, bool modified);

protected:
    // Lets a derived view change the tab control's rectangle and multi-line style before it is
    // created; nothing in the base.
    virtual void OnCreateTabCtrl(QRect& rect, bool& multiLine) {}

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void EnsureTabCtrl();
    void OnTabSelChange(int index);
    // Hides the current page and shows page index (both already agreed).
    void ShowPage(int index);
    void Step(int delta);
    void Layout();

    QWidget* m_pCanvas = nullptr;
    CFlatTabCtrl* m_pTabCtrl = nullptr;
    bool m_bBroughtToTop = false;
    int m_nCurrentPage = -1;
    bool m_bMultiLine = false;
    bool m_bAutoSize = true;
    bool m_bInLayout = false;
};
