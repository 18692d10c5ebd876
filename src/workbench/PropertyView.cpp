#include "PropertyView.h"

#include "FlatTabCtrl.h"
#include "PropertyViewPage.h"

#include <algorithm>

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

namespace {

constexpr int kPageInset = 2;      // the page sits this far inside the tabs' display area
constexpr int kPageMargin = 4;     // room around a page's creation size
constexpr int kInitialScrollSize = 1000;

// The scrolled area: tabs and pages, with the band above the tabs in the button-face colour.
class ViewCanvas : public QWidget {
public:
    using QWidget::QWidget;
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(0, 0, width(), CPropertyView::kBand), palette().color(QPalette::Button));
    }
};

using PagePointer = QPointer<QObject>;

} // namespace

CPropertyView::CPropertyView(QWidget* parent) : QScrollArea(parent), m_pCanvas(new ViewCanvas)
{
    setWidgetResizable(false);
    setFocusPolicy(Qt::StrongFocus);
    m_pCanvas->resize(kInitialScrollSize, kInitialScrollSize);
    setWidget(m_pCanvas);
}

CPropertyView::~CPropertyView() = default;

void CPropertyView::EnsureTabCtrl()
{
    if (m_pTabCtrl)
        return;
    QRect rect(0, kBand, viewport()->width(), std::max(0, viewport()->height() - kBand));
    bool multiLine = m_bMultiLine;
    OnCreateTabCtrl(rect, multiLine);
    m_bMultiLine = multiLine;
    m_pTabCtrl = new CFlatTabCtrl(m_pCanvas);
    m_pTabCtrl->setObjectName(QString::number(kTabCtrlId));
    m_pTabCtrl->setFocusPolicy(Qt::NoFocus);
    m_pTabCtrl->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    m_pTabCtrl->tabBar()->setElideMode(Qt::ElideNone);
    // One row of tabs here; with the multi-line style no tab is hidden behind scroll buttons.
    m_pTabCtrl->tabBar()->setUsesScrollButtons(!m_bMultiLine);
    m_pTabCtrl->setGeometry(rect);
    m_pTabCtrl->show();
    connect(m_pTabCtrl, &CFlatTabCtrl::selChange, this, &CPropertyView::OnTabSelChange);
}

int CPropertyView::InsertPage(int index, std::unique_ptr<CPropertyViewPage> page, const QString& text)
{
    if (!page)
        return -1;
    EnsureTabCtrl();
    if (!page->IsCreated() && !page->Create(m_pCanvas))
        return -1;
    if (page->parentWidget() != m_pCanvas)
        page->setParent(m_pCanvas);
    page->hide();
    page->setEnabled(false);
    CPropertyViewPage* added = page.release();   // the canvas owns it now
    const int at = m_pTabCtrl->InsertItem(std::clamp(index, 0, m_pTabCtrl->GetItemCount()), text);
    m_pTabCtrl->tabBar()->setTabData(at, QVariant::fromValue(PagePointer(added)));
    if (m_nCurrentPage >= at)
        ++m_nCurrentPage;
    if (m_nCurrentPage >= 0)
        m_pTabCtrl->SetCurSel(m_nCurrentPage);
    Layout();
    return at;
}

int CPropertyView::GetPageCount() const
{
    return m_pTabCtrl ? m_pTabCtrl->GetItemCount() : 0;
}

int CPropertyView::GetActiveIndex() const
{
    return m_pTabCtrl ? m_nCurrentPage : -1;
}

CPropertyViewPage* CPropertyView::GetPage(int index) const
{
    if (!m_pTabCtrl || index < 0 || index >= m_pTabCtrl->GetItemCount())
        return nullptr;
    return qobject_cast<CPropertyViewPage*>(m_pTabCtrl->tabBar()->tabData(index).value<PagePointer>().data());
}

bool CPropertyView::SetActivePage(int index)
{
    if (!m_pTabCtrl || index < 0 || index >= m_pTabCtrl->GetItemCount())
        return false;
    if (index == m_nCurrentPage)
        return true;
    CPropertyViewPage* current = GetPage(m_nCurrentPage);
    CPropertyViewPage* next = GetPage(index);
    if (!next || (current && !current->OnKillActive()) || !next->OnSetActive())
        return false;
    ShowPage(index);
    return true;
}

// A tab the user clicked: the current page may refuse to go, the new one may refuse to come;
// either way the previous tab is selected again.
void CPropertyView::OnTabSelChange(int index)
{
    const int previous = m_nCurrentPage;
    CPropertyViewPage* current = GetPage(previous);
    CPropertyViewPage* next = GetPage(index);
    if (index == previous)
        return;
    if (!next || (current && !current->OnKillActive()) || !next->OnSetActive()) {
        if (previous >= 0)
            m_pTabCtrl->SetCurSel(previous);
        return;
    }
    ShowPage(index);
}

void CPropertyView::ShowPage(int index)
{
    if (CPropertyViewPage* old = GetPage(m_nCurrentPage)) {
        old->hide();
        old->setEnabled(false);
    }
    m_nCurrentPage = index;
    CPropertyViewPage* page = GetPage(index);
    Layout();
    page->setEnabled(true);
    page->show();
    page->raise();
    page->setFocus();
    m_pTabCtrl->SetCurSel(index);
}

void CPropertyView::Step(int delta)
{
    const int count = GetPageCount();
    if (count == 0)
        return;
    const int from = m_nCurrentPage < 0 ? 0 : m_nCurrentPage;
    SetActivePage(((from + delta) % count + count) % count);
}

void CPropertyView::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & Qt::ControlModifier) && GetPageCount() > 0) {
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        switch (event->key()) {
        case Qt::Key_Tab:
            Step(shift ? -1 : 1);
            event->accept();
            return;
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
            Step(-1);
            event->accept();
            return;
        case Qt::Key_PageDown:
            Step(1);
            event->accept();
            return;
        default:
            break;
        }
    }
    QScrollArea::keyPressEvent(event);
}

void CPropertyView::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    if (CPropertyViewPage* page = GetActivePage())
        page->setFocus();
}

void CPropertyView::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    EnsureTabCtrl();
    Layout();
}

bool CPropertyView::viewportEvent(QEvent* event)
{
    const bool handled = QScrollArea::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        Layout();
    return handled;
}

void CPropertyView::SetAutoSize(bool autoSize)
{
    m_bAutoSize = autoSize;
    Layout();
}

QSize CPropertyView::ScrollSize() const
{
    return m_pCanvas->size();
}

void CPropertyView::OnUpdate(QObject* sender, qintptr hint, QObject* hintObject)
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (CPropertyViewPage* page = GetPage(i))
            page->OnUpdatePage(sender, hint, hintObject);
}

void CPropertyView::OnPageModified(CPropertyViewPage* page, bool modified)
{
    Q_EMIT pageModified(page, modified);
}

// The tabs and the current page fill the client area, or, with auto-size, at least the extent
// the page was created with (the view then scrolls).
void CPropertyView::Layout()
{
    if (!m_pTabCtrl || m_bInLayout)
        return;
    m_bInLayout = true;
    const QSize client = viewport()->size();
    CPropertyViewPage* page = GetPage(m_nCurrentPage);
    if (!page) {
        m_pCanvas->resize(client);
        m_pTabCtrl->setGeometry(0, kBand, client.width(), std::max(0, client.height() - kBand));
    } else {
        QRect tabs(QPoint(0, 0), client);
        if (m_bAutoSize) {
            // The tab control around a display area of the page's size and margin, plus the band.
            const QSize display = page->CreationSize() + QSize(kPageMargin, kPageMargin);
            const int barHeight = m_pTabCtrl->height() - m_pTabCtrl->DisplayRect().height();
            const QSize needed(display.width(), display.height() + barHeight + kBand);
            tabs.setSize(client.expandedTo(needed));
        }
        m_pCanvas->resize(tabs.size());
        tabs.setTop(kBand);
        m_pTabCtrl->setGeometry(tabs);
        const QRect area = m_pTabCtrl->DisplayRect().translated(m_pTabCtrl->pos());
        page->setGeometry(area.adjusted(kPageInset, kPageInset, -kPageInset, -kPageInset));
        if (!m_bBroughtToTop) {
            page->raise();
            m_bBroughtToTop = true;
        }
    }
    m_bInLayout = false;
}
