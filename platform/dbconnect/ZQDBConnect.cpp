#include "ZQDBConnect.h"

namespace zq {

QString AdaptSql(const QString& sql, const QString&) { return sql; }
void EnableSqlTrace(bool) {}
bool SqlTraceEnabled() { return false; }
void SetSqlTraceListener(std::function<void(const QString&)>) {}
void TraceSql(const QString&) {}

struct CZQDBConnect::Impl {};

CZQDBConnect::CZQDBConnect() = default;
CZQDBConnect::CZQDBConnect(const QString&) {}
CZQDBConnect::~CZQDBConnect() = default;
CZQDBConnect* CZQDBConnect::GetCurDBConnect() { return nullptr; }
void CZQDBConnect::SetCurDBConnect(CZQDBConnect*) {}
bool CZQDBConnect::Init() { return false; }
bool CZQDBConnect::ConnectPDM() { return false; }
Connection* CZQDBConnect::GetPtrPDM() { return nullptr; }
QString CZQDBConnect::LastError() const { return {}; }
QString CZQDBConnect::Url() const { return {}; }
QString CZQDBConnect::GetSelectItemData(const QString&, int) { return {}; }
long CZQDBConnect::GetRecordCount(const QString&, const QString&) { return 0; }
int CZQDBConnect::GetRecordInfo(const QString&, CReportListCtrl*, int, bool, int) { return -1; }
QString CZQDBConnect::FetchServerDate(int) { return {}; }

} // namespace zq
