#pragma once
// The row record of the document, resource and content pages, kept as a result row's item data so
// the row's stored file can be fetched later. Underneath it is the system's row record of thirteen
// text slots numbered 1 to 13; our code reads and writes it by field name.
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace zq::doc {

// The record's fields, each valued with the slot the system's row record keeps it in. The first
// eight are every document page's; the rest are the content page's own.
enum class RecordField {
    Code1 = 1,        // the product or task code
    Code2,            // the part or item code
    Revision,         // the version
    Description,      // the document's description (DocType)
    FileName,
    FileType,
    Size,             // the stored file's size (FileBulk)
    Date,             // the file's date
    Kind,             // content page: the kind of document, as its tab names it
    SourceTable,      // content page: the table the file is stored by
    Snippet,          // content page: the text around the word found, shaped for the list
    ExcerptStart,     // content page: where the excerpt starts in the text (1-based characters)
    TextLength,       // content page: the length of the whole text
};

class DocumentRecord {
public:
    static constexpr int kSlotCount = 13;

    QString Field(RecordField field) const { return Slot(int(field)); }
    void SetField(RecordField field, const QString& text) { SetSlot(int(field), text); }

    // The text of the system's slot n (1 … 13); "" for any other n.
    QString Slot(int n) const;
    void SetSlot(int n, const QString& text);

    // A record with query column i in field fieldOfColumn[i]; columns beyond the map are not read.
    static DocumentRecord FromFields(const QStringList& fields, const QList<RecordField>& fieldOfColumn);

private:
    std::array<QString, kSlotCount> m_slots;
};

// How a page lists records: the field each query column fills (columns beyond the map are not
// read), the item text, the fields shown in list columns 1, 2, …, and what becomes of a record
// before it is listed (nothing when null).
struct RowLayout {
    QList<RecordField> queryFields;
    QString (*itemText)(const DocumentRecord& record) = nullptr;
    QList<RecordField> listedFields;
    void (*finish)(DocumentRecord& record) = nullptr;
};

} // namespace zq::doc
