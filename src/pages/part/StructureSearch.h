#pragma once
// The product-structure search of the design-part page: every part-list line of one product that
// matches the condition, walked up to the product (with a cancellable progress window), and the
// places inside the selected branch listed in the result list.
#include "StructureWalk.h"

#include <QList>
#include <QString>

class CReportListCtrl;
namespace zq { class CZQDBConnect; class Connection; class _com_error; }

namespace zq::part {

// Tells the user about a database error (the COM-error report).
void ReportDatabaseError(const _com_error& error);

// Parent codes read with one forward-only recordset per code; errors are reported and end the
// read of that code only.
class RecordsetParentSource : public ParentSource {
public:
    RecordsetParentSource(Connection* connection, int dataSystemType)
        : m_connection(connection), m_dataSystemType(dataSystemType) {}
    QStringList ParentCodes(const QString& productCode, const QString& code) override;

private:
    Connection* m_connection;
    int m_dataSystemType;
};

struct StructureDatabase {
    CZQDBConnect* dbConnect = nullptr;   // count and name look-ups
    Connection* connection = nullptr;    // recordsets
    int dataSystemType = 0;              // non-zero: recordsets are closed before release
};

// The paths of every matching line of the product, in the order found. A cancel or a database
// error in the collection loop ends the collection; the paths found so far are returned.
QList<StructurePath> CollectStructurePaths(const StructureDatabase& database, const QString& productCode,
                                           const QString& condition);

// True when the path begins with the scope path, character by character, ignoring case.
bool InScope(const QString& pathText, const QString& scope);

// Replaces the rows of the list with the paths inside the scope: part code, part name, path.
void ShowStructurePaths(CReportListCtrl& list, const QList<StructurePath>& paths, const QString& scope,
                        CZQDBConnect* dbConnect);

} // namespace zq::part
