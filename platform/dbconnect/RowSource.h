#pragma once
// Where a recordset's rows come from: a statement running on a session, read forward.
#include "SqlSession.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>
#include <span>

namespace zq::db {

// How a server plans a recordset's statement (PostgreSQL; the other engines have no use for it).
struct PlanHints {
    bool everyRow = false;     // the whole result is read: planned for it, not for its first rows
    bool indexScans = false;   // the statement's conditions are ones an index answers far better
                               // than a scan that evaluates them on every row
};

// A field set to a text. When the field held a text the row before, its value is replaced in
// place: a long read then builds no new variant per field.
void SetFieldText(QVariant& field, QString&& text);
// The same from UTF-8 (invalid bytes read as U+FFFD): decoded into the field's own text when
// nothing else shares it and it has room, so reading row after row allocates nothing.
void SetFieldUtf8(QVariant& field, QByteArrayView utf8);

// Rows are read in two steps: advance() moves to the next record, read() decodes it into values.
// A reader that wants only texts can take them with textBytes() as the engine holds them, and
// the record is then never decoded.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // To the next record; false at the end. Throws _com_error on a read error.
    virtual bool advance() = 0;
    // The current record's values into `row` (after advance() gave true).
    virtual void read(QVariantList& row) = 0;
    // The current record's field as the UTF-8 the engine holds it in, valid until the next
    // advance(); empty for NULL. False when the field is not a text (a number, a blob) or the
    // source cannot tell: then read() gives it.
    virtual bool textBytes(int index, QByteArrayView& utf8) const
    {
        Q_UNUSED(index);
        Q_UNUSED(utf8);
        return false;
    }
    // The first texts.size() fields as textBytes gives them, at once; false (and the texts not
    // to be used) when one of them is not a text.
    virtual bool allTextBytes(std::span<QByteArrayView> texts) const
    {
        for (size_t i = 0; i < texts.size(); ++i)
            if (!textBytes(int(i), texts[i]))
                return false;
        return true;
    }
    // Both steps at once: the next record into `row`; false at the end.
    bool next(QVariantList& row)
    {
        if (!advance())
            return false;
        read(row);
        return true;
    }
};

// A statement executed on one session. Forward-only streams where the engine allows it;
// buffered holds the whole result in memory and survives further statements on the session.
class QueryRowSource final : public RowSource {
public:
    enum class Mode { ForwardOnly, Buffered };
    // Executes the adapted text; throws _com_error carrying `sql` (the text as the module built it).
    QueryRowSource(std::shared_ptr<Session> session, const QString& adapted, const QString& sql, Mode mode);
    int fieldCount() const override { return m_fieldCount; }
    QString fieldName(int index) const override;
    bool advance() override;
    void read(QVariantList& row) override;

private:
    std::shared_ptr<Session> m_session;    // outlives the query
    QSqlQuery m_query;
    QString m_sql;
    int m_fieldCount = 0;
};

} // namespace zq::db
