#include "StatementRows.h"
#include "Recordset.h"

namespace zqfuzz {

Rows ReadRows(const QString& sql, zq::Connection* connection)
{
    Rows rows;
    zq::Recordset records;
    records.Open(sql, connection);
    while (!records.IsEOF()) {
        QStringList row;
        for (int i = 0; i < records.FieldCount(); ++i)
            row << records.GetFieldText(i);
        rows << row;
        records.MoveNext();
    }
    return rows;
}

} // namespace zqfuzz
