#include "UserServices.h"
#include "CallLog.h"
#include "Desktop.h"
#include "ServiceDatabase.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

namespace {

// The login name of this session: ZQPDM_USER, else the operating system's.
QString sessionLogName()
{
    for (const char* name : {"ZQPDM_USER", "USER", "LOGNAME"}) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QList<QStringList> userRows(zq::CZQDBConnect& db, const QString& where)
{
    QList<QStringList> rows;
    for (const QVariantList& row : zq::svc::QueryRows(
             db, QStringLiteral("SELECT LogName, UserName, Department FROM ZqUser%1 ORDER BY LogName").arg(where))) {
        QStringList texts;
        for (const QVariant& v : row)
            texts.append(zq::ValueToText(v));
        rows.append(texts);
    }
    return rows;
}

} // namespace

std::unique_ptr<CUser> ZQGetCurrentUser()
{
    zq::CallLog::Record(QStringLiteral("ZQUserManage"), QStringLiteral("ZQGetCurrentUser"), {});
    const QString logName = sessionLogName();
    if (logName.isEmpty())
        return nullptr;
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return nullptr;
    try {
        const auto rows = userRows(*db, QStringLiteral(" WHERE LogName = '%1'").arg(zq::SqlQuote(logName)));
        if (rows.isEmpty())
            return nullptr;
        return std::make_unique<CUser>(rows.first().value(0), rows.first().value(1));
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return nullptr;
    }
}

std::unique_ptr<CUser> CUserManage::SelectUser(zq::CZQDBConnect* connection, const QString& currentLogName)
{
    zq::CallLog::Record(QStringLiteral("CUserManage"), QStringLiteral("SelectUser"),
                        {connection ? QStringLiteral("CZQDBConnect") : QString(), currentLogName});
    zq::CZQDBConnect* db = zq::svc::Database(connection);
    if (!db)
        return nullptr;
    try {
        zq::PickRequest request;
        request.title = QStringLiteral("选择用户");
        request.headers = {QStringLiteral("登录名"), QStringLiteral("姓名"), QStringLiteral("部门")};
        request.candidates = userRows(*db, QString());
        const auto chosen = zq::Desktop::current().pick(request);
        if (!chosen || chosen->isEmpty())
            return nullptr;
        for (const QStringList& row : request.candidates)
            if (row.value(0) == chosen->first())
                return std::make_unique<CUser>(row.value(0), row.value(1));
        return nullptr;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return nullptr;
    }
}

int CSelectEnpartment::DoModal()
{
    zq::CallLog::Record(QStringLiteral("CSelectEnpartment"), QStringLiteral("DoModal"), {});
    m_arrEnpartment.clear();
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return zq::IDCANCEL;
    try {
        zq::PickRequest request;
        request.title = QStringLiteral("选择部门");
        request.headers = {QStringLiteral("部门名称")};
        request.multiSelect = true;
        for (const QVariantList& row :
             zq::svc::QueryRows(*db, QStringLiteral("SELECT Name FROM ZqDepartment ORDER BY DeptNo")))
            request.candidates.append({zq::ValueToText(row.value(0))});
        const auto chosen = zq::Desktop::current().pick(request);
        if (!chosen || chosen->isEmpty())
            return zq::IDCANCEL;
        m_arrEnpartment = *chosen;
        return zq::IDOK;
    } catch (const zq::_com_error& e) {
        zq::svc::ReportDatabaseError(e);
        return zq::IDCANCEL;
    }
}
