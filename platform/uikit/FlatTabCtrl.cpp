#include "FlatTabCtrl.h"
#include <QResizeEvent>

CFlatTabCtrl::CFlatTabCtrl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(true);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setIconSize(QSize(16, 16));
    m_bar->setFocusPolicy(Qt::NoFocus);   // the tabs never take the focus from the page
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_settingSelection)
            Q_EMIT selChange(index);
    });
    layoutBar();
}

void CFlatTabCtrl::SetImageList(const CImageList* images)
{
    m_images = images;
}

int CFlatTabCtrl::InsertItem(int index, const QString& text, int image)
{
    const QIcon icon = m_images && image >= 0 ? m_images->icon(image) : QIcon();
    m_settingSelection = true;   // the first tab becomes current without a notification
    const int at = m_bar->insertTab(index, icon, text);
    m_settingSelection = false;
    layoutBar();
    return at;
}

int CFlatTabCtrl::GetItemCount() const
{
    return m_bar->count();
}

int CFlatTabCtrl::GetCurSel() const
{
    return m_bar->currentIndex();
}

int CFlatTabCtrl::SetCurSel(int index)
{
    if (index < 0 || index >= m_bar->count())
        return -1;
    const int previous = m_bar->currentIndex();
    m_settingSelection = true;
    m_bar->setCurrentIndex(index);
    m_settingSelection = false;
    return previous;
}

QString CFlatTabCtrl::GetItemText(int index) const
{
    return m_bar->tabText(index);
}

QRect CFlatTabCtrl::DisplayRect() const
{
    return rect().adjusted(0, barHeight(), 0, 0);
}

int CFlatTabCtrl::barHeight() const
{
    return m_bar->count() > 0 ? m_bar->sizeHint().height() : 0;
}

void CFlatTabCtrl::layoutBar()
{
    m_bar->setGeometry(0, 0, width(), barHeight());
}

void CFlatTabCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutBar();
}
