#include "QuickSources.h"

#include "PageList.h"
#include "PartSql.h"

namespace zq::quick {

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

QList<QuickKind> MakeKinds()
{
    // The design-part page's condition columns, by row: 0 drawing number, 1 name, 9 designer.
    const QStringList& title = part::TitleColumns();
    const QStringList& detail = part::DetailColumns();
    const NoteColumn product{S("ProductDwgCode"), S("产品")};

    QList<QuickKind> kinds;
    kinds.append({S("设计零部件"),
                  {{S("ZqlomiraAll_title"), {title.at(0)}, {title.at(0)}, title.at(1), {}, title.at(9), S("Ttime"),
                    {product}},
                   {S("ZqlomiraAll_detail"), {detail.at(0)}, {detail.at(0)}, detail.at(1), {}, {}, {},
                    {product, {S("UpCode"), S("上级")}}}},
                  true});
    kinds.append({S("批次产品"),
                  {{S("ZqOrderProduct_title"), {title.at(0), S("TOrdercode")}, {title.at(0)}, title.at(1), {},
                    title.at(9), S("Ttime"), {{S("TOrdercode"), S("批次")}, {S("OrderProductCode"), S("产品")}},
                    S("TOrdercode")}},
                  false});
    const NoteColumn file{S("FileName"), S("文件")};
    kinds.append({S("设计文档"),
                  {{S("Documents"), {S("Code"), S("ProductDwgCode")}, {S("Code"), S("ProductDwgCode")},
                    S("DocumentType"), {S("FileName"), S("FileRemark")}, {}, S("FileDate"), {file}},
                   {S("TeamWorkResult"), {S("PartCode"), S("FileID")}, {S("PartCode")}, S("FilePrompt"),
                    {S("FileName")}, {}, S("FileDate"), {file}},
                   {S("TaskDocuments"), {S("ProjectNo")}, {}, S("DocumentType"), {S("FileName"), S("FileRemark")}, {},
                    S("FileDate"), {file}}},
                  false});
    kinds.append({S("资源文件"),
                  {{S("EngineerViewDoc"), {S("ItemCode")}, {}, S("DocType"), {S("FileName"), S("DocRemark")}, {},
                    S("FileDate"), {file}, S("DocType")}},
                  false});
    kinds.append({S("更改单"),
                  {{S("ECOModifyManage"), {S("ECONo")}, {}, S("Remark"), {}, S("SaveUser"), S("SaveDate"),
                    {{S("State"), S("状态")}}}},
                  false});
    const NoteColumn state{S("WorkState"), S("状态")};
    kinds.append({S("设计任务"),
                  {{S("ProjectManage"), {S("ProjectNo")}, {}, S("ProjectName"), {}, S("ProjectManager"),
                    S("CreatedTime"), {state}},
                   {S("TeamWorkManage"), {S("WorkID")}, {}, S("WorkName"), {}, S("Manager"), S("CreateTime"), {state}},
                   {S("TaskAuditManage"), {S("ProjectNo")}, {}, S("AuditName"), {}, S("Auditor"), S("BeginTime"),
                    {{S("AuditState"), S("状态")}}},
                   {S("TeamWorkAudit"), {S("FileID")}, {}, S("AuditTask"), {}, S("Auditor"), S("BeginDate"),
                    {{S("State"), S("状态")}}}},
                  false});
    return kinds;
}

} // namespace

QStringList SourceTable::readColumns() const
{
    QStringList columns;
    const auto add = [&](const QString& column) {
        if (!column.isEmpty() && !columns.contains(column))
            columns.append(column);
    };
    for (const QString& column : codeColumns)
        add(column);
    for (const QString& column : drawingColumns)
        add(column);
    add(nameColumn);
    for (const QString& column : otherColumns)
        add(column);
    add(authorColumn);
    add(dateColumn);
    for (const NoteColumn& note : notes)
        add(note.column);
    add(listedColumn);
    return columns;
}

const QList<QuickKind>& DatabaseKinds()
{
    static const QList<QuickKind> kinds = MakeKinds();
    return kinds;
}

const QuickKind* FindDatabaseKind(const QString& caption)
{
    for (const QuickKind& kind : DatabaseKinds())
        if (kind.caption == caption)
            return &kind;
    return nullptr;
}

QStringList AllKindCaptions()
{
    QStringList captions;
    for (const QuickKind& kind : DatabaseKinds())
        captions.append(kind.caption);
    captions.append(kContentCaption);
    return captions;
}

QStringList InstalledKinds(const QStringList& pageListLines)
{
    QStringList installed;
    for (const QString& caption : AllKindCaptions()) {
        for (const QString& line : pageListLines) {
            const KnownPage* page = FindKnownPage(line);
            if (page && QString::fromUtf8(page->caption) == caption) {
                installed.append(caption);
                break;
            }
        }
    }
    return installed;
}

} // namespace zq::quick
