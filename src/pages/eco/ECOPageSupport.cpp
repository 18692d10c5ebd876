#include "ECOPageSupport.h"

#include "Desktop.h"
#include "ListCtrl.h"
#include "TLItem.h"
#include "UserServices.h"

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

UserNames CurrentUserNames()
{
    WaitCursor wait;
    const std::unique_ptr<CUser> user = ZQGetCurrentUser();
    if (!user)
        return {};
    return {user->GetLogName(), user->GetName()};
}

bool PickUser(CZQDBConnect* connection, const QString& currentLogName, UserNames& picked)
{
    const std::unique_ptr<CUser> user = CUserManage::SelectUser(connection, currentLogName);
    if (!user)
        return false;
    picked = {user->GetLogName(), user->GetName()};
    return true;
}

} // namespace zq::eco
