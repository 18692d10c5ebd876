#include "StructureSearch.h"

#include "ComError.h"
#include "ListCtrl.h"
#include "PartSql.h"
#include "ProgressWnd.h"
#include "Recordset.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QHash>
#include <climits>

namespace zq::part {

namespace {

// Closes the recordset where the database system asks for it; the recordset is released with its owner.
void Finish(Recordset& recordset, int dataSystemType)
{
    if (dataSystemType != 0 && recordset.IsOpen())
        recordset.Close();
}

_com_error NoConnectionError()
{
    return _com_error(long(0x80004005), QStringLiteral("没有可用的数据库连接"));
}

} // namespace

void ReportDatabaseError(const _com_error& error)
{
    ReportComError(error.Description(), error.Source());
}

QStringList RecordsetParentSource::ParentCodes(const QString& productCode, const QString& code)
{
    QStringList parents;
    try {
        if (!m_connection)
            throw NoConnectionError();
        Recordset recordset;
        recordset.Open(ParentCodesSql(productCode, code), m_connection, adOpenForwardOnly, adLockReadOnly,
                       adCmdUnspecified);
        while (!recordset.IsEOF()) {
            parents.append(recordset.GetFieldText(0));
            recordset.MoveNext();
        }
        Finish(recordset, m_dataSystemType);
    } catch (const _com_error& error) {
        ReportDatabaseError(error);
    }
    return parents;
}

QList<StructurePath> CollectStructurePaths(const StructureDatabase& database, const QString& productCode,
                                           const QString& condition)
{
    QList<StructurePath> paths;
    CProgressWnd progress(nullptr, QStringLiteral("正在进行"), false);
    try {
        if (!database.dbConnect || !database.connection)
            throw NoConnectionError();
        const long total = database.dbConnect->GetRecordCount(StructureCountSql(productCode, condition),
                                                              QStringLiteral("PDM"));
        progress.SetRange(0, int(qBound(0L, total, long(INT_MAX))));
        progress.SetStep(1);
        progress.PeekAndPump();

        Recordset lines;
        lines.Open(StructureRowsSql(productCode, condition), database.connection, adOpenForwardOnly,
                   adLockReadOnly, adCmdUnspecified);
        RecordsetParentSource source(database.connection, database.dataSystemType);
        UpwardWalk walk(source, productCode, [&progress] { return progress.PeekAndPump(); });
        long line = 0;
        while (!lines.IsEOF()) {
            ++line;
            progress.SetText(QStringLiteral("共 %1 条记录, 正在处理第 %2 条记录").arg(total).arg(line));
            progress.StepIt();
            progress.PeekAndPump();
            if (progress.Cancelled() || !walk.Collect(lines.GetFieldText(0), lines.GetFieldText(1), paths)) {
                // Cancelled: the recordset is only released, the paths so far stay.
                progress.Hide();
                return paths;
            }
            lines.MoveNext();
        }
        progress.Hide();
        Finish(lines, database.dataSystemType);
    } catch (const _com_error& error) {
        progress.Hide();
        ReportDatabaseError(error);
    }
    return paths;
}

bool InScope(const QString& pathText, const QString& scope)
{
    return pathText.size() >= scope.size() && EqualsNoCase(pathText.left(scope.size()), scope);
}

void ShowStructurePaths(CReportListCtrl& list, const QList<StructurePath>& paths, const QString& scope,
                        CZQDBConnect* dbConnect)
{
    list.DeleteAllItems();
    // A part used in many places of one product is named by one look-up.
    QHash<QString, QString> names;
    try {
        for (const StructurePath& path : paths) {
            if (!InScope(path.text, scope))
                continue;
            const QString key = path.part + QChar(0) + path.product;
            auto found = names.constFind(key);
            if (found == names.constEnd()) {
                if (!dbConnect)
                    throw NoConnectionError();
                found = names.insert(key, dbConnect->GetSelectItemData(PartNameSql(path.part, path.product),
                                                                       DataSystemPDM));
            }
            const int row = list.InsertItem(list.GetItemCount(), path.part);
            list.SetItemText(row, 1, found.value());
            list.SetItemText(row, 2, path.text);
        }
    } catch (const _com_error& error) {
        ReportDatabaseError(error);
    }
}

} // namespace zq::part
