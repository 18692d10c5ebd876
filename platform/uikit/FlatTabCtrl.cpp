#include "FlatTabCtrl.h"

CFlatTabCtrl::CFlatTabCtrl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {}
void CFlatTabCtrl::SetImageList(const CImageList* images) { m_images = images; }
int CFlatTabCtrl::InsertItem(int index, const QString& text, int) { return m_bar->insertTab(index, text); }
int CFlatTabCtrl::GetItemCount() const { return m_bar->count(); }
int CFlatTabCtrl::GetCurSel() const { return m_bar->currentIndex(); }
int CFlatTabCtrl::SetCurSel(int index) { int old = m_bar->currentIndex(); m_bar->setCurrentIndex(index); return old; }
QString CFlatTabCtrl::GetItemText(int index) const { return m_bar->tabText(index); }
QRect CFlatTabCtrl::DisplayRect() const { return rect(); }
