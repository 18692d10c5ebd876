#include "RunQuery.h"

#include <QVarLengthArray>
#include "ComError.h"
#include "Desktop.h"
#include "ListCtrl.h"
#include "ProgressWnd.h"
#include "Recordset.h"
#include "TLItem.h"
#include "ZQPDMFC.h"

namespace zq {

QueryActivity& QueryActivity::instance()
{
    static QueryActivity activity;
    return activity;
}

void QueryActivity::end()
{
    if (m_running > 0 && --m_running == 0)
        Q_EMIT idle();
}

QString ProgressQueryingText()
{
    return QStringLiteral("正在查询符合条件的数据......\n\n      中止操作请按<取消>键...");
}

const QString& ProgressReadingPattern()
{
    static const QString pattern = QStringLiteral("正读取第 %1 条......\n\n      中止操作请按<取消>键...");
    return pattern;
}

QString ProgressReadingText(int rowNumber)
{
    return ProgressReadingPattern().arg(rowNumber);
}

namespace {

struct VariantRules {
    int upper;          // progress range 0..upper
    bool restartBar;    // bar set back to empty after every 500 rows
    bool showSqlOnError;
};

VariantRules rulesOf(QueryVariant variant)
{
    if (variant == QueryVariant::A)
        return {500, true, false};
    return {100, false, true};
}

// Keeps the module-wide count of running queries for one RunQuery call.
class ActivityScope {
public:
    ActivityScope() { QueryActivity::instance().begin(); }
    ~ActivityScope() { QueryActivity::instance().end(); }
    ActivityScope(const ActivityScope&) = delete;
    ActivityScope& operator=(const ActivityScope&) = delete;
};

// What a record is read into before it is handed on: texts, or views of the recordset's own.
struct RecordBuffers {
    QStringList fields;
    QVarLengthArray<QAnyStringView, 16> views;
    QVarLengthArray<QString, 16> scratch;   // texts of values that are not texts
};

// Hands the current record to the request's handler. The texts are let go afterwards, so that the
// next row is read into the recordset's own buffers instead of new ones.
void handOn(const QueryRequest& request, const Recordset& records, int row, RecordBuffers& buffers)
{
    const int count = request.fieldCount < 0 ? records.FieldCount() : request.fieldCount;
    if (request.onRecordViews) {
        if (buffers.views.size() != count) {
            buffers.views.resize(count);
            buffers.scratch.resize(count);
        }
        records.GetFieldTextsAsStored(buffers.views, buffers.scratch);
        request.onRecordViews(row, buffers.views);
        return;
    }
    buffers.fields.resize(count);
    for (int i = 0; i < count; ++i)
        buffers.fields[i] = records.GetFieldText(i);
    if (request.onRecord)
        request.onRecord(row, buffers.fields);
    for (QString& field : buffers.fields)
        field = QString();
}

void ReportQueryError(const _com_error& error, const QueryRequest& request, const VariantRules& rules)
{
    ReportComError(error.Description(), error.Source());
    if (rules.showSqlOnError)
        Desktop::current().messageBox(request.sql, QStringLiteral("操作提示"), MB_OK);
}

} // namespace

} // namespace zq

int RunQuery(const QueryRequest& request)
{
    using namespace zq;
    const VariantRules rules = rulesOf(request.variant);
    ActivityScope activity;

    CProgressWnd progress(nullptr, QString::fromUtf8(kProgressTitle), false);
    progress.SetRange(0, rules.upper);
    progress.SetStep(1);
    progress.SetText(ProgressQueryingText());
    progress.PeekAndPump();

    Recordset records;
    try {
        records.Open(request.sql, request.connection, adOpenForwardOnly, adLockReadOnly, request.openOptions);
        const bool fromListCount = request.variant == QueryVariant::B || request.continueListRows;
        int row = (fromListCount && request.list) ? request.list->GetItemCount() : 0;
        int sinceRestart = 0;
        bool cancelled = false;
        RecordBuffers buffers;
        while (!records.IsEOF()) {
            progress.SetText(ProgressReadingPattern(), row + 1);
            if (rules.restartBar) {
                if (sinceRestart > 500) {
                    progress.SetPos(0);
                    progress.PeekAndPump();
                    sinceRestart = 0;
                }
                ++sinceRestart;
            }
            progress.StepIt();
            progress.PeekAndPump();
            if (progress.Cancelled()) {
                cancelled = true;
                break;
            }
            handOn(request, records, row, buffers);
            records.MoveNext();
            ++row;
        }
        progress.Hide();
        if (request.dataSystemType != 0)
            records.Close();
        return cancelled ? 0 : 1;
    } catch (const _com_error& error) {
        ReportQueryError(error, request, rules);
        progress.Hide();
        return 0;
    }
}

int ReadQuery(const QueryRequest& request)
{
    using namespace zq;
    ActivityScope activity;
    Recordset records;
    try {
        records.Open(request.sql, request.connection, adOpenForwardOnly, adLockReadOnly, request.openOptions);
        int row = request.list ? request.list->GetItemCount() : 0;
        RecordBuffers buffers;
        while (!records.IsEOF()) {
            handOn(request, records, row, buffers);
            records.MoveNext();
            ++row;
        }
        if (request.dataSystemType != 0)
            records.Close();
        return 1;
    } catch (const _com_error& error) {
        ReportQueryError(error, request, rulesOf(request.variant));
        return 0;
    }
}

CTLItem* InsertRecordRow(CReportListCtrl& list, int row, const QStringList& fields)
{
    auto* record = new CTLItem(fields.value(0));
    for (int i = 1; i < fields.size(); ++i)
        record->SetSubstring(i, fields[i]);
    const int inserted = list.InsertItem(row, record->GetItemText(), 0);
    list.SetItemData(inserted, record);
    for (int i = 1; i < fields.size(); ++i)
        list.SetItemText(inserted, i, record->GetSubstring(i));
    return record;
}
