#pragma once
// The shared query-with-progress routine: runs one SELECT on a page's connection and hands each
// record to the page, under a cancellable progress window.
//  Variant A: range 0..500, the bar restarted after every 500 rows, rows added from 0.
//  Variant B: range 0..100, rows added from the list's row count; after a database error the
//             SQL text is shown as well.
// Returns 1 when the read reached the end, 0 after a cancel or a database error.
#include <QAnyStringView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>

class CReportListCtrl;
namespace zq { class Connection; class Recordset; }

enum class QueryVariant { A, B };

struct QueryRequest {
    QueryVariant variant = QueryVariant::A;
    QString sql;
    zq::Connection* connection = nullptr;
    int dataSystemType = 0;          // non-zero: close the recordset before releasing it
    CReportListCtrl* list = nullptr; // rows are counted from this list (variant B)
    bool continueListRows = false;   // variant A numbering from the list's row count too (rows appended)
    int fieldCount = -1;             // fields read per record; −1: as many as the query returns
    int openOptions = -1;            // the recordset's options (zqPreferIndexScans...); −1: none
    // Called for every record with the row index n and the field texts (value-to-text converted).
    std::function<void(int row, const QStringList& fields)> onRecord;
    // Called instead when set: the same texts as views, valid during the call only, in the form
    // the database gave them (UTF-8 from SQLite and PostgreSQL): a long list read this way
    // neither decodes nor copies a text before the list takes its own.
    std::function<void(int row, std::span<const QAnyStringView> fields)> onRecordViews;
};

int RunQuery(const QueryRequest& request);

// The same read without progress window or cancel, for pages that list their rows at once:
// rows are numbered from the list's row count (0 without a list); a database error is
// reported (variant B: the SQL text is shown as well). Returns 1, or 0 after a database error.
int ReadQuery(const QueryRequest& request);

// Variant B's usual row handling: a CTLItem holding the texts, inserted with icon 0 and the
// record as item data, sub-items set from it; the record is returned for the page to own.
class CTLItem;
CTLItem* InsertRecordRow(CReportListCtrl& list, int row, const QStringList& fields);

namespace zq {

// Queries in progress in this process: RunQuery calls and pages' query guards. A query pumps
// events, so windows may be asked to go away meanwhile; they wait for idle() instead.
class QueryActivity : public QObject {
    Q_OBJECT
public:
    static QueryActivity& instance();
    int running() const { return m_running; }
    void begin() { ++m_running; }
    void end();                 // emits idle() when the last running query ends
Q_SIGNALS:
    void idle();
private:
    int m_running = 0;
};

// The texts of the progress window.
inline constexpr const char* kProgressTitle = "正在进行";
QString ProgressQueryingText();
QString ProgressReadingText(int rowNumber);
const QString& ProgressReadingPattern();   // the same with "%1" for the number

} // namespace zq
