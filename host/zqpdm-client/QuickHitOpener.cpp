#include "QuickHitOpener.h"

#include "ControlDriver.h"
#include "DialogTemplate.h"
#include "HitOpening.h"
#include "ListCtrl.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

namespace zq::host {

QString OpenHitInSearchWindow(QWidget* parent, const quick::QuickHit& hit, const QDate& today)
{
    CZQPDMSearchFunction::CreateSearchMain(parent);
    CZQPDMSearchFunction::ShowSearchMain(true);
    CZQPDMSearchMain* main = CZQPDMSearchFunction::m_pPDMSearchMain;
    if (!main)
        return QStringLiteral("查找窗口不能打开。");
    if (!main->SelectPageByCaption(hit.kind))
        return QStringLiteral("\"%1\" 不在查找窗口的页面中 (Support/Search.cfg)。").arg(hit.kind);
    CZQSearchPage* page = main->CurrentPage();
    const quick::HitOpening opening = quick::OpeningOf(hit, today);
    if (!page || opening.steps.isEmpty())
        return {};
    for (const quick::ConditionStep& step : opening.steps) {
        QWidget* control = zq::Control(*page, step.control);
        if (!control)
            continue;
        if (step.row >= 0)
            ControlDriver::typeIntoCell(control, step.row, 1, step.value);
        else
            ControlDriver::setValue(control, step.value);
    }
    ControlDriver::click(zq::Control(*main, CZQPDMSearchMain::IDC_FIND));
    CReportListCtrl* list = main->CurrentPage() ? main->CurrentPage()->GetResultList() : nullptr;
    if (!list)
        return {};
    // The row the first column names, else one that holds the code in another column.
    for (const bool anyColumn : {false, true}) {
        for (int row = 0; row < list->GetItemCount(); ++row) {
            QStringList texts;
            for (int column = 0; column < list->GetColumnCount(); ++column)
                texts.append(list->GetItemText(row, column));
            if (quick::ListsHit(texts, hit, anyColumn)) {
                list->SelectRow(row);
                list->EnsureVisible(row);
                list->setFocus();
                return {};
            }
        }
    }
    return {};
}

} // namespace zq::host
