#pragma once
// User component: the logged-on user, the user picker and the department picker over the database.
// Their tables (ZqUser, ZqDepartment) are ours, not the module's: without them the current user is
// the login name, and the pickers list the people and departments the module's own tables name
// and take a typed name as well.
#include <QString>
#include <QStringList>
#include <memory>

namespace zq { class CZQDBConnect; }

class CUser {
public:
    CUser(QString logName, QString name) : m_logName(std::move(logName)), m_name(std::move(name)) {}
    QString GetLogName() const { return m_logName; }
    QString GetName() const { return m_name; }
private:
    QString m_logName, m_name;
};

// The login name of this session, as the pages know the user: ZQPDM_USER, else the operating
// system's. Empty when neither can be had.
QString ZQCurrentLogName();

// Ordinal 1: the row of the user table whose login name is ZQPDM_USER, else the OS login name; null
// when none. Without a user table: that login name as both login and full name.
std::unique_ptr<CUser> ZQGetCurrentUser();

class CUserManage {
public:
    // The chosen user, null when cancelled. A chosen name the list does not hold is a login name.
    static std::unique_ptr<CUser> SelectUser(zq::CZQDBConnect* connection, const QString& currentLogName);
};

class CSelectEnpartment {
public:
    int DoModal();                 // 1 (IDOK) when departments were chosen
    QStringList m_arrEnpartment;   // the chosen names, in the picker's order
};
