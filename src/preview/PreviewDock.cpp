#include "PreviewDock.h"
#include "FlatTabCtrl.h"
#include "ListCtrl.h"
#include "PaneHandle.h"
#include "PaneSplit.h"
#include "PreviewController.h"
#include "PreviewPane.h"
#include "PreviewRunner.h"
#include "ZQSearchPage.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QToolButton>

namespace zq::preview {

PreviewDock::PreviewDock(CFlatTabCtrl& tabs, const SearchWindowState* state, std::unique_ptr<PreviewRunner> runner)
    : m_tabs(tabs), m_state(state)
{
    m_pane = new PreviewPane(&tabs);
    m_pane->setObjectName(QStringLiteral("previewPane"));
    m_pane->hide();
    m_handle = new PaneHandle(&tabs);
    m_handle->hide();
    m_controller = std::make_unique<PreviewController>(*m_pane, std::move(runner), PreviewCache());
    m_button = tabs.AddCornerButton(QStringLiteral("预览"), QStringLiteral("显示或隐藏预览 (F3)"));
    m_button->setCheckable(true);
    connect(m_button, &QToolButton::clicked, this, [this](bool checked) { setShown(checked); });
    connect(m_handle, &PaneHandle::dragged, this, [this](int width) {
        m_width = std::max(kSmallestPaneWidth, width);
        layout();
    });
    connect(m_handle, &PaneHandle::released, this, [this] { remember(); });
    if (m_state) {
        const PreviewPaneState remembered = m_state->previewPane();
        m_width = remembered.width;
        m_shown = remembered.shown;
        m_button->setChecked(m_shown);
    }
}

PreviewDock::~PreviewDock() = default;

void PreviewDock::attach(CZQSearchPage& page)
{
    CReportListCtrl* list = page.GetResultList();
    if (!list)
        return;
    connect(list, &CReportListCtrl::itemChanged, this, [this, target = &page](int row) { previewRow(target, row); });
}

void PreviewDock::follow(CZQSearchPage* page)
{
    m_page = page;
    layout();
    if (m_shown)
        previewSelectedRow();
}

void PreviewDock::setShown(bool shown, bool keep)
{
    m_button->setChecked(shown);
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (!shown) {
        m_controller->clear();
        m_pane->hide();
        m_handle->hide();
        // The page's own rule gives the list its whole place again.
        if (m_page) {
            QResizeEvent again(m_page->size(), m_page->size());
            QCoreApplication::sendEvent(m_page, &again);
        }
    }
    layout();
    if (shown)
        previewSelectedRow();
    if (keep)
        remember();
}

void PreviewDock::layout()
{
    if (!m_shown || !m_page || m_laying)
        return;
    CReportListCtrl* list = m_page->GetResultList();
    if (!list || !list->isVisibleTo(m_page)) {
        m_pane->hide();
        m_handle->hide();
        return;
    }
    m_laying = true;
    // The list's place as the page's resize rule left it: to the page's right edge, 5 pixels in.
    QRect place = list->geometry();
    place.setRight(m_page->width() - 6);
    const PaneSplit split = SplitBesideList(place, m_width);
    list->setGeometry(split.list);
    const QPoint offset = m_page->mapTo(&m_tabs, QPoint(0, 0));
    m_handle->setGeometry(split.handle.translated(offset));
    m_handle->setPaneWidth(split.pane.width());
    m_pane->setGeometry(split.pane.translated(offset));
    m_handle->show();
    m_pane->show();
    m_handle->raise();
    m_pane->raise();
    m_laying = false;
}

void PreviewDock::previewRow(CZQSearchPage* page, int row)
{
    if (!m_shown || page != m_page)
        return;
    m_controller->show(page->PreviewOf(row));
}

void PreviewDock::previewSelectedRow()
{
    CReportListCtrl* list = m_page ? m_page->GetResultList() : nullptr;
    const int row = list ? list->GetSelectionMark() : -1;
    if (row < 0 || row >= list->GetItemCount() || !list->IsSelected(row))
        m_controller->clear();
    else
        m_controller->show(m_page->PreviewOf(row));
}

void PreviewDock::remember() const
{
    if (m_state)
        m_state->savePreviewPane({m_shown, m_width});
}

} // namespace zq::preview
