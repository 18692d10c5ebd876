#include "HostDatabase.h"

#include "ConnectionUrl.h"
#include "ZQDBConnect.h"

namespace zq::host {

HostDatabase::HostDatabase() : m_connect(std::make_unique<zq::CZQDBConnect>()) {}

HostDatabase::~HostDatabase()
{
    if (zq::CZQDBConnect::GetCurDBConnect() == m_connect.get())
        zq::CZQDBConnect::SetCurDBConnect(nullptr);
}

bool HostDatabase::open()
{
    m_open = false;
    m_error.clear();
    if (!m_connect->Init()) {
        m_error = m_connect->LastError().isEmpty() ? QStringLiteral("没有可用的数据库设置") : m_connect->LastError();
        return false;
    }
    if (!m_connect->ConnectPDM()) {
        m_error = m_connect->LastError().isEmpty() ? QStringLiteral("连接数据库失败") : m_connect->LastError();
        return false;
    }
    m_open = true;
    zq::CZQDBConnect::SetCurDBConnect(m_connect.get());
    return true;
}

QString HostDatabase::url() const { return zq::db::RedactUrl(m_connect->Url()); }

zq::Connection* HostDatabase::connection() const { return m_open ? m_connect->GetPtrPDM() : nullptr; }

} // namespace zq::host
