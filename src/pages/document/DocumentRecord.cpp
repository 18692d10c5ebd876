#include "DocumentRecord.h"

namespace zq::doc {

QString DocumentRecord::Slot(int n) const
{
    return n >= 1 && n <= kSlotCount ? m_slots[size_t(n - 1)] : QString();
}

void DocumentRecord::SetSlot(int n, const QString& text)
{
    if (n >= 1 && n <= kSlotCount)
        m_slots[size_t(n - 1)] = text;
}

DocumentRecord DocumentRecord::FromFields(const QStringList& fields, const QList<RecordField>& fieldOfColumn)
{
    DocumentRecord record;
    for (qsizetype i = 0; i < fieldOfColumn.size() && i < fields.size(); ++i)
        record.SetField(fieldOfColumn.at(i), fields.at(i));
    return record;
}

} // namespace zq::doc
