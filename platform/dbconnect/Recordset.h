#pragma once
// ADO-style recordset over a connection: forward-only, read-only. Several recordsets may be
// open at once on one connection, and single-value lookups may run while they are open.
#include "ComError.h"
#include <QAnyStringView>
#include <QString>
#include <QVariant>
#include <memory>
#include <span>

namespace zq {

class Connection;

enum CursorTypeEnum { adOpenForwardOnly = 0 };
enum LockTypeEnum { adLockReadOnly = 1 };
enum { adCmdUnspecified = -1 };
// Options of Open of our own, for the server's planner.
enum {
    // The caller reads every row, so the statement is planned for its whole result rather than
    // for its first rows (which is how PostgreSQL plans a cursor, so that a list can show its
    // first rows early).
    zqPlanForEveryRow = 0x4000,
    // The statement's conditions are answered by an index far better than by a scan of the
    // table, whatever the server estimates (PostgreSQL's trigram index against LIKE over long texts).
    zqPreferIndexScans = 0x8000,
};

class Recordset {
public:
    Recordset();
    ~Recordset();                                  // releases whatever is still held
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Throws _com_error when the statement fails; the text is traced exactly as given.
    void Open(const QString& sql, Connection* connection, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, int options = adCmdUnspecified);
    bool IsOpen() const;
    bool IsEOF() const;                            // the adoEOF property
    int FieldCount() const;
    QVariant GetFieldValue(int index) const;       // throws _com_error for a bad index
    QString GetFieldText(int index) const;         // ValueToText of the value
    // The same without a copy: a view of the value's own text, or of `scratch` holding the text of
    // a value of another kind. Valid until the next MoveNext (or change of scratch).
    QStringView GetFieldTextView(int index, QString& scratch) const;
    // The same text as the database holds it where it can (UTF-8 straight from the engine),
    // else as GetFieldTextView gives it. Valid until the next MoveNext (or change of scratch).
    QAnyStringView GetFieldTextAsStored(int index, QString& scratch) const;
    // The same for the first texts.size() fields at once (scratch: one text a field).
    void GetFieldTextsAsStored(std::span<QAnyStringView> texts, std::span<QString> scratch) const;
    void MoveNext();                               // throws _com_error on a read error
    void Close();

    struct Impl;
private:
    const QVariant& field(int index) const;   // the checks of GetFieldValue, without a copy
    void checkField(int index) const;         // throws as GetFieldValue does for a field not there
    QAnyStringView textAsStored(int index, QString& scratch) const;   // of a field checked

    std::unique_ptr<Impl> d;
};

using RecordsetPtr = std::unique_ptr<Recordset>;

} // namespace zq
