#pragma once
// How the services reach the PDM database: the process's current connection object (the host's or
// the first page's), else one of their own, connected on first use.
#include "ComError.h"
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace zq {

class CZQDBConnect;

namespace svc {

// The connection the services use, or null when none can be made (the reason is then reported).
CZQDBConnect* Database(CZQDBConnect* preferred = nullptr);

// Every row of a query, each as its field values in query order. Throws _com_error.
QList<QVariantList> QueryRows(CZQDBConnect& db, const QString& sql);

// The first row of a query, nullopt when there is none. Throws _com_error.
std::optional<QVariantList> QueryFirstRow(CZQDBConnect& db, const QString& sql);

// Every row of a query on one of the stand-ins' own tables (users, departments, design files),
// which a customer's PDM database does not have: nullopt, and no message, when the table is
// missing. Throws _com_error on any other failure.
std::optional<QList<QVariantList>> QueryOwnTable(CZQDBConnect& db, const QString& table, const QString& sql);

// Tells the user about a database failure of a service (message box through the Desktop).
void ReportDatabaseError(const _com_error& error);

// Shows "操作提示" message text with the exclamation icon.
void Tell(const QString& text);

} // namespace svc
} // namespace zq
