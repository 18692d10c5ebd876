#include "ZQPDMSearchTask.h"

#include "DatePickers.h"
#include "Desktop.h"
#include "DialogTemplate.h"
#include "ListCtrl.h"
#include "TaskSql.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QResizeEvent>

using namespace zq::task;

namespace {

constexpr int kDaysBack = 30;

bool IsEnterOrEscape(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

} // namespace

CZQPDMSearchTask::CZQPDMSearchTask(const QString& caption) : CPropertyViewPage(kTemplateId, caption)
{
    const QDate today = zq::Desktop::current().now().date();
    m_data.from = today.addDays(-kDaysBack);
    m_data.to = today;
}

bool CZQPDMSearchTask::OnInitDialog()
{
    m_pResultList = zq::ControlAs<CReportListCtrl>(*this, IdResult);
    if (m_pResultList) {
        SetupTaskList(*m_pResultList, QStringLiteral("编号"), nullptr);
        connect(m_pResultList, &CReportListCtrl::itemChanged, this, &CZQPDMSearchTask::OnItemChanged);
    }
    // The date pickers as on the search page; the page data decides the dates they show.
    zq::SetupDatePickers(*this, kDaysBack, true);
    DoDataExchange(false);
    return true;
}

bool CZQPDMSearchTask::DoDataExchange(bool save)
{
    ExchangeTaskForm(*this, m_data, save);
    return true;
}

void CZQPDMSearchTask::OnItemChanged(int row)
{
    if (!m_pResultList || row < 0)
        return;
    const int mark = m_pResultList->GetSelectionMark();
    if (mark < 0 || mark >= m_pResultList->GetItemCount())
        return;
    if (CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain)
        main->NotifyLocate(m_pResultList->GetItemText(mark, 0));
}

bool CZQPDMSearchTask::ForwardToParent(QKeyEvent* event)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return false;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                   ushort(event->count()));
    QCoreApplication::sendEvent(parent, &copy);
    return true;
}

void CZQPDMSearchTask::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterOrEscape(event)) {
        ForwardToParent(event);
        event->accept();
        return;
    }
    CPropertyViewPage::keyPressEvent(event);
}

bool CZQPDMSearchTask::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = qobject_cast<QWidget*>(watched);
    if (IsEnterOrEscape(event) && control && control->window() == window()) {
        ForwardToParent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return CPropertyViewPage::eventFilter(watched, event);
}

void CZQPDMSearchTask::resizeEvent(QResizeEvent* event)
{
    CPropertyViewPage::resizeEvent(event);
    CZQSearchPage::StretchToCorner(m_pResultList, event->size().width(), event->size().height(), false);
}
