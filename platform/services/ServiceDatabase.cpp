#include "ServiceDatabase.h"
#include "Desktop.h"
#include "Recordset.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"
#include <memory>

namespace zq::svc {

namespace {
constexpr long kFailure = static_cast<long>(0x80004005L);
}

CZQDBConnect* Database(CZQDBConnect* preferred)
{
    if (preferred)
        return preferred;
    if (CZQDBConnect* current = CZQDBConnect::GetCurDBConnect())
        return current;
    static std::unique_ptr<CZQDBConnect> own;
    if (!own) {
        auto connection = std::make_unique<CZQDBConnect>();
        if (!connection->Init() || !connection->ConnectPDM()) {
            Tell(QStringLiteral("不能连接数据库: ") + connection->LastError());
            return nullptr;
        }
        own = std::move(connection);
    }
    return own.get();
}

QList<QVariantList> QueryRows(CZQDBConnect& db, const QString& sql)
{
    Connection* connection = db.GetPtrPDM();
    if (!connection)
        throw _com_error(kFailure, QStringLiteral("没有数据库连接"), QStringLiteral("ZQPDMServices"), sql);
    QList<QVariantList> rows;
    Recordset rs;
    rs.Open(sql, connection);
    while (!rs.IsEOF()) {
        QVariantList row;
        for (int i = 0; i < rs.FieldCount(); ++i)
            row.append(rs.GetFieldValue(i));
        rows.append(row);
        rs.MoveNext();
    }
    rs.Close();
    return rows;
}

std::optional<QVariantList> QueryFirstRow(CZQDBConnect& db, const QString& sql)
{
    Connection* connection = db.GetPtrPDM();
    if (!connection)
        throw _com_error(kFailure, QStringLiteral("没有数据库连接"), QStringLiteral("ZQPDMServices"), sql);
    Recordset rs;
    rs.Open(sql, connection);
    if (rs.IsEOF())
        return std::nullopt;
    QVariantList row;
    for (int i = 0; i < rs.FieldCount(); ++i)
        row.append(rs.GetFieldValue(i));
    rs.Close();
    return row;
}

std::optional<QList<QVariantList>> QueryOwnTable(CZQDBConnect& db, const QString& table, const QString& sql)
{
    try {
        return QueryRows(db, sql);
    } catch (const _com_error& e) {
        // Asked only after a failure, so with the table present nothing but the query runs.
        if (e.Error() != kErrInvalidConnection && !db.HasTable(table))
            return std::nullopt;
        throw;
    }
}

void ReportDatabaseError(const _com_error& error)
{
    ReportComError(error.Description(), error.Source());
}

void Tell(const QString& text)
{
    Desktop::current().messageBox(text, QStringLiteral("操作提示"), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace zq::svc
