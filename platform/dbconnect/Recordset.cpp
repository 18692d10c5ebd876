#include "Recordset.h"
#include "ConnectionImpl.h"
#include "ZQPDMFC.h"
#include <QVarLengthArray>

namespace zq {

namespace {

const QString kSource = QStringLiteral("ADODB.Recordset");

[[noreturn]] void Fail(long hr, const QString& message, const QString& sql = {})
{
    throw _com_error(hr, message, kSource, sql);
}

} // namespace

struct Recordset::Impl {
    std::unique_ptr<db::RowSource> rows;
    QString sql;
    QVariantList current;   // the current record's values, once asked for
    bool decoded = false;
    bool eof = true;

    void advance()
    {
        decoded = false;
        try {
            eof = !rows->advance();
        } catch (...) {
            eof = true;        // a read error ends the records; the caller's loop stops
            current.clear();
            throw;
        }
        if (eof)
            current.clear();
    }

    // Decoded when first asked for: a reader taking the texts as stored never needs them.
    const QVariantList& values()
    {
        if (!decoded) {
            rows->read(current);
            decoded = true;
        }
        return current;
    }
};

Recordset::Recordset() : d(std::make_unique<Impl>()) {}

Recordset::~Recordset() = default;

void Recordset::Open(const QString& sql, Connection* connection, int, int, int options)
{
    if (IsOpen())
        Fail(kErrObjectOpen, QStringLiteral("对象打开时，不允许操作。"), sql);
    TraceSql(sql);
    Connection::Impl* impl = connection ? connection->impl() : nullptr;
    if (!impl)
        Fail(kErrInvalidConnection, QStringLiteral("连接无法用于执行此操作。在此上下文中它可能已被关闭或无效。"), sql);
    db::PlanHints hints;
    if (options != adCmdUnspecified) {
        hints.everyRow = (options & zqPlanForEveryRow) != 0;
        hints.indexScans = (options & zqPreferIndexScans) != 0;
    }
    d->rows = impl->openRecordset(sql, hints);
    d->sql = sql;
    try {
        d->advance();
    } catch (...) {
        d->rows.reset();
        throw;
    }
}

bool Recordset::IsOpen() const
{
    return d->rows != nullptr;
}

bool Recordset::IsEOF() const
{
    return !IsOpen() || d->eof;
}

int Recordset::FieldCount() const
{
    return IsOpen() ? d->rows->fieldCount() : 0;
}

QVariant Recordset::GetFieldValue(int index) const
{
    return field(index);
}

const QVariant& Recordset::field(int index) const
{
    checkField(index);
    return d->values().at(index);
}

void Recordset::checkField(int index) const
{
    if (!IsOpen())
        Fail(kErrObjectClosed, QStringLiteral("对象关闭时，不允许操作。"));
    if (index < 0 || index >= d->rows->fieldCount())
        Fail(kErrItemNotFound, QStringLiteral("项目不能在与请求名称或序数相对应的集合中找到。"), d->sql);
    if (d->eof)
        Fail(kErrBofEof, QStringLiteral("BOF 或 EOF 中有一个是“真”，或者当前的记录已被删除，所需的操作要求一个当前的记录。"),
             d->sql);
}

QString Recordset::GetFieldText(int index) const
{
    return ValueToText(field(index));
}

QStringView Recordset::GetFieldTextView(int index, QString& scratch) const
{
    const QVariant& value = field(index);
    if (value.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(value.constData());
    scratch = ValueToText(value);
    return scratch;
}

QAnyStringView Recordset::GetFieldTextAsStored(int index, QString& scratch) const
{
    checkField(index);
    return textAsStored(index, scratch);
}

void Recordset::GetFieldTextsAsStored(std::span<QAnyStringView> texts, std::span<QString> scratch) const
{
    const int count = int(std::min(texts.size(), scratch.size()));
    if (count == 0)
        return;
    checkField(count - 1);
    QVarLengthArray<QByteArrayView, 16> utf8(count);
    if (!d->decoded && d->rows->allTextBytes(utf8)) {
        for (int i = 0; i < count; ++i)
            texts[size_t(i)] = QUtf8StringView(utf8[i]);
        return;
    }
    for (int i = 0; i < count; ++i)
        texts[size_t(i)] = textAsStored(i, scratch[size_t(i)]);
}

QAnyStringView Recordset::textAsStored(int index, QString& scratch) const
{
    QByteArrayView utf8;
    if (!d->decoded && d->rows->textBytes(index, utf8))
        return QUtf8StringView(utf8);
    return GetFieldTextView(index, scratch);
}

void Recordset::MoveNext()
{
    if (!IsOpen())
        Fail(kErrObjectClosed, QStringLiteral("对象关闭时，不允许操作。"));
    if (d->eof)
        Fail(kErrBofEof, QStringLiteral("BOF 或 EOF 中有一个是“真”，或者当前的记录已被删除，所需的操作要求一个当前的记录。"),
             d->sql);
    d->advance();
}

void Recordset::Close()
{
    d->rows.reset();
    d->current.clear();
    d->eof = true;
}

} // namespace zq
