#pragma once
// The database error every failing database operation throws (the COM error of the ADO world).
#include <QString>
#include <exception>
#include <string>

namespace zq {

// The HRESULT values the component reports.
inline constexpr long kErrFail = 0x80004005L;               // the engine refused (its message is the description)
inline constexpr long kErrBofEof = 0x800A0BCDL;             // no current record
inline constexpr long kErrItemNotFound = 0x800A0CC1L;       // field index out of range
inline constexpr long kErrObjectClosed = 0x800A0E78L;       // recordset not open
inline constexpr long kErrObjectOpen = 0x800A0E79L;         // recordset already open
inline constexpr long kErrInvalidConnection = 0x800A0E7DL;  // no usable connection

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
