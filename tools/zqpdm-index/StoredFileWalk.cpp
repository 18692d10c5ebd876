#include "StoredFileWalk.h"

#include "ContentSql.h"
#include "DocumentSql.h"
#include "Recordset.h"
#include "ResourceSql.h"

namespace zq::index {

namespace {

struct Source {
    const char* table;
    QString (*select)();
    const doc::RowLayout& (*layout)();
    bool resource;
};

const Source kSources[] = {
    {"Documents", &doc::ArchivedDocumentSelect, &doc::DocumentRowLayout, false},
    {"TaskDocuments", &doc::ProjectDocumentSelect, &doc::DocumentRowLayout, false},
    {"TeamWorkResult", &doc::DesignDocumentSelect, &doc::DocumentRowLayout, false},
    {"EngineerViewDoc", &doc::ResourceSelect, &doc::ResourceRowLayout, true},
};

StoredFile FileOfRecord(const Source& source, const doc::DocumentRecord& record)
{
    StoredFile file;
    file.record = record;
    file.resource = source.resource;
    using doc::RecordField;
    const auto text = [&record](RecordField field) { return StorableText(record.Field(field)); };
    file.identity = {QString::fromLatin1(source.table), text(RecordField::Code1), text(RecordField::Code2),
                     text(RecordField::Revision), text(RecordField::FileName)};
    file.facts = {content::KindOfSourceTable(file.identity.sourceTable), text(RecordField::Description),
                  text(RecordField::FileType), text(RecordField::Size), text(RecordField::Date)};
    return file;
}

} // namespace

QStringList WalkedTableNames()
{
    QStringList names;
    for (const Source& source : kSources)
        names.append(QString::fromLatin1(source.table));
    return names;
}

QList<WalkedTable> WalkStoredFiles(Connection* pdm, const std::function<void(const StoredFile&)>& visit)
{
    QList<WalkedTable> walked;
    for (const Source& source : kSources) {
        WalkedTable table;
        table.table = QString::fromLatin1(source.table);
        const doc::RowLayout& layout = source.layout();
        try {
            Recordset rows;
            rows.Open(source.select(), pdm);
            QStringList fields;
            while (!rows.IsEOF()) {
                fields.resize(layout.queryFields.size());
                for (int i = 0; i < fields.size(); ++i)
                    fields[i] = rows.GetFieldText(i);
                visit(FileOfRecord(source, doc::DocumentRecord::FromFields(fields, layout.queryFields)));
                ++table.rows;
                rows.MoveNext();
            }
            rows.Close();
            table.complete = true;
        } catch (const _com_error& error) {
            table.error = error.Description();
        }
        walked.append(table);
    }
    return walked;
}

} // namespace zq::index
