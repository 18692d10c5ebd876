#include "ECOPageSupport.h"

#include "Desktop.h"
#include "DialogTemplate.h"
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

void AuthorField::ShowCurrentUser()
{
    WaitCursor wait;
    const std::unique_ptr<CUser> user = ZQGetCurrentUser();
    if (user)
        Show(user->GetLogName(), user->GetName());
}

void AuthorField::Pick(CZQDBConnect* connection)
{
    const std::unique_ptr<CUser> user = CUserManage::SelectUser(connection, m_logName);
    if (user)
        Show(user->GetLogName(), user->GetName());
}

void AuthorField::Show(const QString& logName, const QString& name)
{
    m_logName = logName;
    SetControlText(m_page, m_editId, name);
}

} // namespace zq::eco
