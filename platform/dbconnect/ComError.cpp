#include "ComError.h"

namespace zq {

_com_error::_com_error(long hresult, QString description, QString source, QString sql)
    : m_hr(hresult), m_description(std::move(description)), m_source(std::move(source)), m_sql(std::move(sql))
{
    m_what = ErrorMessage().toStdString();
}

QString _com_error::ErrorMessage() const
{
    return QStringLiteral("错误 0x%1: %2").arg(QString::number(quint32(m_hr), 16).toUpper().rightJustified(8, u'0'), m_description);
}

} // namespace zq
