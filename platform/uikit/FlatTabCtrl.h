#pragma once
// A tab bar with images; the area below the tabs is the display area pages are laid into.
#include "ListCtrl.h"
#include <QTabBar>
#include <QWidget>

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
Q_SIGNALS:
    void selChange(int index);             // the user selected another tab
protected:
    void resizeEvent(QResizeEvent* event) override;
private:
    int barHeight() const;
    void layoutBar();
    QTabBar* m_bar = nullptr;
    bool m_settingSelection = false;       // a change made by code, not by the user
    const CImageList* m_images = nullptr;
};
