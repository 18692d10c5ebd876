#include "UserField.h"

#include "DialogTemplate.h"
#include "Desktop.h"
#include "UserServices.h"

namespace zq {

void UserField::FetchCurrentUser()
{
    WaitCursor wait;
    const std::unique_ptr<CUser> user = ZQGetCurrentUser();
    if (user)
        m_fetched = std::pair{user->GetLogName(), user->GetName()};
}

void UserField::ShowFetchedUser()
{
    if (m_fetched)
        Show(m_fetched->first, m_fetched->second);
}

void UserField::Pick(CZQDBConnect* connection)
{
    const std::unique_ptr<CUser> user = CUserManage::SelectUser(connection, LogName());
    if (user)
        Show(user->GetLogName(), user->GetName());
}

QString UserField::LogName() const
{
    return m_shows == Shows::LogName ? ControlText(m_page, m_editId) : m_logName;
}

void UserField::Show(const QString& logName, const QString& name)
{
    m_logName = logName;
    SetControlText(m_page, m_editId, m_shows == Shows::LogName ? logName : name);
}

} // namespace zq
