#include "ZQDBConnect.h"
#include "ConnectionImpl.h"
#include "ConnectionUrl.h"
#include "ListCtrl.h"
#include "ZQPDMFC.h"

#include <QDate>
#include <QRegularExpression>
#include <atomic>

namespace zq {

namespace {

std::atomic<CZQDBConnect*> g_current{nullptr};

constexpr int kDefaultColumnWidth = 100;

// The server's date in the engine's own words; an ODBC system we do not know gets the ODBC
// scalar function, which its driver translates.
QString ServerDateSql(sql::Dbms dbms)
{
    switch (dbms) {
    case sql::Dbms::Postgres: return QStringLiteral("SELECT to_char(CURRENT_DATE, 'YYYY-MM-DD')");
    case sql::Dbms::SqlServer: return QStringLiteral("SELECT CONVERT(varchar(10), GETDATE(), 120)");
    case sql::Dbms::Sqlite: return QStringLiteral("SELECT date('now', 'localtime')");
    case sql::Dbms::Unknown: break;
    }
    return QStringLiteral("SELECT {fn CURDATE()}");
}

} // namespace

struct CZQDBConnect::Impl {
    std::optional<QString> explicitUrl;
    QString url;
    bool initialized = false;
    QString lastError;
    db::SqlConnection connection;

    Connection::Impl& handle() { return *connection.impl(); }

    // First row of a statement, or nothing; throws _com_error.
    std::optional<QVariantList> firstRow(const QString& sql)
    {
        TraceSql(sql);
        auto rows = handle().openDirect(sql);
        QVariantList row;
        if (!rows->next(row))
            return std::nullopt;
        return row;
    }
};

CZQDBConnect::CZQDBConnect() : d(std::make_unique<Impl>()) {}

CZQDBConnect::CZQDBConnect(const QString& url) : CZQDBConnect()
{
    d->explicitUrl = url;
}

CZQDBConnect::~CZQDBConnect()
{
    CZQDBConnect* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

CZQDBConnect* CZQDBConnect::GetCurDBConnect()
{
    return g_current;
}

void CZQDBConnect::SetCurDBConnect(CZQDBConnect* connection)
{
    g_current = connection;
}

bool CZQDBConnect::Init()
{
    d->url = d->explicitUrl ? *d->explicitUrl : db::ConfiguredConnectionUrl();
    QString why;
    const auto parsed = db::ParseConnectionUrl(d->url, &why);
    if (!parsed) {
        d->lastError = QStringLiteral("数据库地址无效 (%1): %2").arg(db::RedactUrl(d->url), why);
        d->initialized = false;
        return false;
    }
    d->handle().configure(d->url, *parsed);
    d->initialized = true;
    d->lastError.clear();
    return true;
}

bool CZQDBConnect::ConnectPDM()
{
    if (!d->initialized && !Init())
        return false;
    QString why;
    if (!d->handle().open(&why)) {
        d->lastError = QStringLiteral("连接数据库失败 (%1): %2").arg(db::RedactUrl(d->url), why);
        return false;
    }
    d->lastError.clear();
    CZQDBConnect* none = nullptr;
    g_current.compare_exchange_strong(none, this);   // the first connected object serves later pages
    return true;
}

Connection* CZQDBConnect::GetPtrPDM()
{
    return &d->connection;
}

QString CZQDBConnect::LastError() const
{
    return d->lastError;
}

QString CZQDBConnect::Url() const
{
    return d->url;
}

QString CZQDBConnect::GetSelectItemData(const QString& sql, int)
{
    const auto row = d->firstRow(sql);
    return row && !row->isEmpty() ? ValueToText(row->first()) : QString();
}

long CZQDBConnect::GetRecordCount(const QString& sql, const QString&)
{
    const auto row = d->firstRow(sql);
    if (!row || row->isEmpty())
        return 0;
    bool ok = false;
    const qlonglong count = row->first().toLongLong(&ok);
    return ok ? long(count) : 0;
}

int CZQDBConnect::GetRecordInfo(const QString& sql, CReportListCtrl* list, int start, bool append, int)
{
    if (!list) {
        d->lastError = QStringLiteral("没有结果列表");
        return -1;
    }
    if (!append)
        list->DeleteAllItems();
    try {
        TraceSql(sql);
        // Read as a recordset: filling the list may lead its owner to further statements.
        auto rows = d->handle().openRecordset(sql);
        if (list->GetColumnCount() == 0)
            for (int i = 0; i < rows->fieldCount(); ++i)
                list->InsertColumn(i, rows->fieldName(i), CReportListCtrl::LVCFMT_LEFT, kDefaultColumnWidth);
        const int columns = std::min(list->GetColumnCount(), rows->fieldCount());
        QVariantList row;
        for (int skipped = 0; skipped < start; ++skipped)
            if (!rows->next(row))
                return 0;
        int inserted = 0;
        while (rows->next(row)) {
            if (columns == 0)
                continue;
            // Image 0, as a list item inserted with its text only: the list's first icon, if it has icons.
            const int at = list->InsertItem(list->GetItemCount(), ValueToText(row[0]), 0);
            for (int c = 1; c < columns; ++c)
                list->SetItemText(at, c, ValueToText(row[c]));
            ++inserted;
        }
        return inserted;
    } catch (const _com_error& e) {
        d->lastError = e.Description();
        return -1;
    }
}

QString CZQDBConnect::FetchServerDate(int)
{
    const QString sql = ServerDateSql(d->handle().dbms.dbms);
    const auto row = d->firstRow(sql);
    QString date;
    if (row && !row->isEmpty())
        date = row->first().typeId() == QMetaType::QDate ? row->first().toDate().toString(QStringLiteral("yyyy-MM-dd"))
                                                          : row->first().toString().trimmed().left(10);
    static const QRegularExpression format(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!format.match(date).hasMatch())
        throw _com_error(kErrFail, QStringLiteral("数据库服务器没有给出日期: ") + date, QStringLiteral("ZQDBConnection"),
                         sql);
    return date;
}

bool CZQDBConnect::HasTable(const QString& table)
{
    return d->handle().hasTable(table);
}

} // namespace zq
