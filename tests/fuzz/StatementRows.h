#pragma once
// The rows of a statement run through the database component, as the SQL fuzz target and the
// engine agreement test compare them.
#include <QList>
#include <QString>
#include <QStringList>

namespace zq { class Connection; }

namespace zqfuzz {

using Rows = QList<QStringList>;

// Every row, each field as its text. Throws zq::_com_error when the statement fails.
Rows ReadRows(const QString& sql, zq::Connection* connection);

} // namespace zqfuzz
