#pragma once
// A tab bar with images; the area below the tabs is the display area pages are laid into. The
// right end of the bar is a corner that holds a row of small buttons (a list of every tab, a
// pane's switch), beside the arrows that scroll tabs that do not fit.
#include "ListCtrl.h"
#include <QTabBar>
#include <QWidget>

class QHBoxLayout;
class QToolButton;

class CFlatTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CFlatTabCtrl(QWidget* parent = nullptr);
    void SetImageList(const CImageList* images);   // not owned
    int InsertItem(int index, const QString& text, int image = -1);
    int GetItemCount() const;
    int GetCurSel() const;                 // −1 when none
    int SetCurSel(int index);              // returns the previous selection; no notification
    QString GetItemText(int index) const;
    // Client rectangle reduced to the display area below the tabs (widget coordinates).
    QRect DisplayRect() const;
    QTabBar* tabBar() const { return m_bar; }

    // A button at the right end of the corner's row (the row grows to the left); owned by the control.
    QToolButton* AddCornerButton(const QString& text, const QString& toolTip);
    // The corner's button that lists every tab: the tab chosen becomes current as a click on it would.
    QToolButton* AddTabListButton();
    QWidget* Corner() const { return m_corner; }
    // Makes the tab at index current as a user's click would (selChange follows); false when there is none.
    bool SelectAsUser(int index);

Q_SIGNALS:
    void selChange(int index);             // the user selected another tab
protected:
    void resizeEvent(QResizeEvent* event) override;
private:
    int barHeight() const;
    void layoutBar();
    void showTabList(QToolButton* button);
    QTabBar* m_bar = nullptr;
    QWidget* m_corner = nullptr;
    QHBoxLayout* m_cornerRow = nullptr;
    bool m_settingSelection = false;       // a change made by code, not by the user
    const CImageList* m_images = nullptr;
};
