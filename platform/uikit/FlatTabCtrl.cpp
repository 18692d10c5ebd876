#include "FlatTabCtrl.h"
#include "Desktop.h"
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QToolButton>

CFlatTabCtrl::CFlatTabCtrl(QWidget* parent)
    : QWidget(parent), m_bar(new QTabBar(this)), m_corner(new QWidget(this)), m_cornerRow(new QHBoxLayout(m_corner))
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
    m_cornerRow->setContentsMargins(0, 0, 0, 0);
    m_cornerRow->setSpacing(0);
    m_corner->hide();
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

bool CFlatTabCtrl::SelectAsUser(int index)
{
    if (index < 0 || index >= m_bar->count())
        return false;
    m_bar->setCurrentIndex(index);
    return true;
}

QString CFlatTabCtrl::GetItemText(int index) const
{
    return m_bar->tabText(index);
}

QRect CFlatTabCtrl::DisplayRect() const
{
    return rect().adjusted(0, barHeight(), 0, 0);
}

QToolButton* CFlatTabCtrl::AddCornerButton(const QString& text, const QString& toolTip)
{
    auto* button = new QToolButton(m_corner);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);   // like the tabs, the corner never takes the page's focus
    m_cornerRow->addWidget(button);
    layoutBar();
    return button;
}

QToolButton* CFlatTabCtrl::AddTabListButton()
{
    QToolButton* button = AddCornerButton(QString(), QStringLiteral("列出所有查询页"));
    button->setObjectName(QStringLiteral("tabList"));
    button->setArrowType(Qt::DownArrow);
    connect(button, &QToolButton::clicked, this, [this, button] { showTabList(button); });
    return button;
}

// Every tab by its caption, below the button; ids are tab index + 1.
void CFlatTabCtrl::showTabList(QToolButton* button)
{
    QList<zq::MenuEntry> entries;
    for (int i = 0; i < m_bar->count(); ++i)
        entries.append({i + 1, m_bar->tabText(i)});
    if (entries.isEmpty())
        return;
    const int chosen = zq::Desktop::current().popupMenu(entries, button->mapToGlobal(QPoint(0, button->height())));
    SelectAsUser(chosen - 1);
}

int CFlatTabCtrl::barHeight() const
{
    return m_bar->count() > 0 ? m_bar->sizeHint().height() : 0;
}

void CFlatTabCtrl::layoutBar()
{
    const int height = barHeight();
    const bool corner = height > 0 && m_cornerRow->count() > 0;
    // The corner's buttons are as high as the bar and square, or wider where their text needs it.
    int cornerWidth = 0;
    for (int i = 0; corner && i < m_cornerRow->count(); ++i) {
        QWidget* button = m_cornerRow->itemAt(i)->widget();
        const int width = std::max(height, button->sizeHint().width());
        button->setFixedSize(width, height);
        cornerWidth += width;
    }
    cornerWidth = std::min(cornerWidth, width());
    m_corner->setVisible(corner);
    m_corner->setGeometry(width() - cornerWidth, 0, cornerWidth, height);
    m_bar->setGeometry(0, 0, width() - cornerWidth, height);
}

void CFlatTabCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutBar();
}
