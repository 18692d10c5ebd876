#include "UserServices.h"
#include "CallLog.h"
#include "Desktop.h"
#include "ServiceDatabase.h"
#include "ZQDBConnect.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

#include <pwd.h>
#include <unistd.h>

namespace {

const QString kUserTable = QStringLiteral("ZqUser");
const QString kDepartmentTable = QStringLiteral("ZqDepartment");

} // namespace

// From the environment, else the account the process runs under.
QString ZQCurrentLogName()
{
    for (const char* name : {"ZQPDM_USER", "USER", "LOGNAME"}) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (!value.isEmpty())
            return value;
    }
    if (const passwd* account = getpwuid(geteuid()); account && account->pw_name)
        return QString::fromLocal8Bit(account->pw_name).trimmed();
    return {};
}

namespace {

QList<QStringList> texts(const QList<QVariantList>& rows)
{
    QList<QStringList> out;
    for (const QVariantList& row : rows) {
        QStringList line;
        for (const QVariant& v : row)
            line.append(zq::ValueToText(v));
        out.append(line);
    }
    return out;
}

// Rows of the user table (login name, full name, department); nullopt when there is no user table.
std::optional<QList<QStringList>> userRows(zq::CZQDBConnect& db, const QString& where)
{
    const auto rows = zq::svc::QueryOwnTable(
        db, kUserTable, QStringLiteral("SELECT LogName, UserName, Department FROM ZqUser%1 ORDER BY LogName").arg(where));
    if (!rows)
        return std::nullopt;
    return texts(*rows);
}

// The first column of every row, trimmed, each name once, sorted; empty names left out.
QStringList distinctNames(const QList<QVariantList>& rows)
{
    QStringList names;
    for (const QVariantList& row : rows) {
        const QString name = zq::ValueToText(row.value(0)).trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    names.removeDuplicates();
    names.sort();
    return names;
}

// Without a user table: the people the module's own tables name as authors, managers and auditors.
QStringList namedPeople(zq::CZQDBConnect& db)
{
    return distinctNames(zq::svc::QueryRows(
        db, QStringLiteral("SELECT SaveUser FROM ECOModifyManage UNION SELECT Tdesigner FROM ZqlomiraAll_title "
                           "UNION SELECT Manager FROM ZqlomiraAll_title UNION SELECT UserName FROM TeamWorkPart "
                           "UNION SELECT ProjectManager FROM ProjectManage UNION SELECT Manager FROM TeamWorkManage "
                           "UNION SELECT Auditor FROM TaskAuditManage UNION SELECT Auditor FROM TeamWorkAudit")));
}

// Without a department table: the departments change orders are handed out to.
QStringList handoutDepartments(zq::CZQDBConnect& db)
{
    return distinctNames(zq::svc::QueryRows(db, QStringLiteral("SELECT DISTINCT Enpartment FROM ECOHandout")));
}

QList<QStringList> oneColumn(const QStringList& names)
{
    QList<QStringList> rows;
    for (const QString& name : names)
        rows.append({name});
    return rows;
}

} // namespace

std::unique_ptr<CUser> ZQGetCurrentUser()
{
    zq::CallLog::Record(QStringLiteral("ZQUserManage"), QStringLiteral("ZQGetCurrentUser"), {});
    const QString logName = ZQCurrentLogName();
    if (logName.isEmpty())
        return nullptr;
    zq::CZQDBConnect* db = zq::svc::Database();
    if (!db)
        return nullptr;
    try {
        const auto rows = userRows(*db, QStringLiteral(" WHERE LogName = '%1'").arg(zq::SqlQuote(logName)));
        if (!rows)
            return std::make_unique<CUser>(logName, logName);   // no user table: the login name is all we know
        if (rows->isEmpty())
            return nullptr;
        return std::make_unique<CUser>(rows->first().value(0), rows->first().value(1));
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
        if (const auto users = userRows(*db, QString())) {
            request.headers = {QStringLiteral("登录名"), QStringLiteral("姓名"), QStringLiteral("部门")};
            request.candidates = *users;
        } else {
            request.headers = {QStringLiteral("用户")};
            request.candidates = oneColumn(namedPeople(*db));
            request.acceptTyped = true;
        }
        const auto chosen = zq::Desktop::current().pick(request);
        if (!chosen || chosen->isEmpty())
            return nullptr;
        const QString key = chosen->first();
        for (const QStringList& row : request.candidates)
            if (row.value(0) == key)
                return std::make_unique<CUser>(row.value(0), row.value(1, row.value(0)));
        return std::make_unique<CUser>(key, key);   // a typed login name
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
        if (const auto departments = zq::svc::QueryOwnTable(
                *db, kDepartmentTable, QStringLiteral("SELECT Name FROM ZqDepartment ORDER BY DeptNo"))) {
            for (const QVariantList& row : *departments)
                request.candidates.append({zq::ValueToText(row.value(0))});
        } else {
            request.candidates = oneColumn(handoutDepartments(*db));
            request.acceptTyped = true;
        }
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
