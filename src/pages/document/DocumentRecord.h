#pragma once
// The row record of the document and resource pages: thirteen text slots, numbered 1 to 13,
// kept as a result row's item data so the row's stored file can be fetched later.
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace zq::doc {

class DocumentRecord {
public:
    static constexpr int kSlotCount = 13;

    // The text of slot n (1 … 13); "" for any other n.
    QString Slot(int n) const;
    void SetSlot(int n, const QString& text);

    // A record with query field i in slot slotOfField[i]; fields beyond the map are not read.
    static DocumentRecord FromFields(const QStringList& fields, const QList<int>& slotOfField);

private:
    std::array<QString, kSlotCount> m_slots;
};

// How a page lists records: the slot of each query field (fields beyond the map are not read),
// the item text, the slots shown in list columns 1, 2, …, and what becomes of a record's slots
// before it is listed (nothing when null).
struct RowLayout {
    QList<int> fieldSlots;
    QString (*itemText)(const DocumentRecord& record) = nullptr;
    QList<int> subItemSlots;
    void (*finish)(DocumentRecord& record) = nullptr;
};

// The slots retrieval reads.
enum RecordSlot { SlotCode1 = 1, SlotCode2 = 2, SlotRevision = 3, SlotDescription = 4, SlotFileName = 5,
                  SlotFileType = 6, SlotSize = 7, SlotDate = 8 };

} // namespace zq::doc
