#include "ECOPageSupport.h"

#include "ListCtrl.h"
#include "TLItem.h"

namespace zq::eco {

void SetupConditionList(CReportListCtrl* list)
{
    if (!list)
        return;
    list->SetExtendedStyle(list->GetExtendedStyle() | CReportListCtrl::LVS_EX_GRIDLINES
                           | CReportListCtrl::LVS_EX_FULLROWSELECT);
    list->InsertColumn(0, QStringLiteral("提示内容"), CReportListCtrl::LVCFMT_LEFT, 100);
    list->InsertColumn(1, QStringLiteral("查询条件值"), CReportListCtrl::LVCFMT_LEFT, 120);
}

} // namespace zq::eco
