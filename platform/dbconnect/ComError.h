#pragma once
// The database error every failing database operation throws (the COM error of the ADO world).
#include <QString>
#include <exception>
#include <string>

namespace zq {

class _com_error : public std::exception {
public:
    _com_error(long hresult, QString description, QString source = {}, QString sql = {});
    long Error() const { return m_hr; }
    QString Description() const { return m_description; }
    QString Source() const { return m_source; }
    QString Sql() const { return m_sql; }                 // the statement that failed, when there was one
    QString ErrorMessage() const;                         // "错误 0x80004005: description"
    const char* what() const noexcept override { return m_what.c_str(); }
private:
    long m_hr;
    QString m_description, m_source, m_sql;
    std::string m_what;
};

} // namespace zq
