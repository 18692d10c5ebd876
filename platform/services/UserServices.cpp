#include "UserServices.h"
#include "CallLog.h"

std::unique_ptr<CUser> ZQGetCurrentUser()
{
    zq::CallLog::Record(QStringLiteral("ZQUserManage"), QStringLiteral("ZQGetCurrentUser"), {});
    return nullptr;
}

std::unique_ptr<CUser> CUserManage::SelectUser(zq::CZQDBConnect*, const QString& currentLogName)
{
    zq::CallLog::Record(QStringLiteral("CUserManage"), QStringLiteral("SelectUser"), {currentLogName});
    return nullptr;
}

int CSelectEnpartment::DoModal()
{
    zq::CallLog::Record(QStringLiteral("CSelectEnpartment"), QStringLiteral("DoModal"), {});
    return 2;
}
