#include "SqlBuilders.h"
#include "DateCondition.h"
#include "ECOOldDrawingNumber.h"
#include "ECOSql.h"
#include "DocumentSql.h"
#include "OrderSql.h"
#include "PartSql.h"
#include "ProcessPartSql.h"
#include "ResourceSql.h"
#include "TaskSql.h"

namespace zqfuzz {

namespace {

constexpr Reading kContains{.pattern = true, .lead = 1, .trail = 1};   // "%" + pattern + "%", when not empty
constexpr Reading kContainsTrimmed{.trimmed = true, .pattern = true, .lead = 1, .trail = 1};
constexpr Reading kContainsAlways{.pattern = true, .optional = false, .lead = 1, .trail = 1};   // also when empty
constexpr Reading kPattern{.pattern = true};                         // as typed, user's wildcards only
constexpr Reading kExact{.optional = false};                         // compared as it is
// The archived documents wrap the wrapped pattern once more: "%%" + pattern + "%%".
constexpr Reading kContainsTwiceTrimmed{.trimmed = true, .pattern = true, .lead = 2, .trail = 2};
// The design-process grid: trimmed, "*" read, matched from the start of the column.
constexpr Reading kStartsWithTrimmed{.trimmed = true, .pattern = true, .starOnly = true, .trail = 1};

QList<Reading> Repeat(const Reading& reading, int count)
{
    return QList<Reading>(count, reading);
}

QStringList Slice(const QStringList& texts, int from, int count)
{
    return texts.mid(from, count);
}

// The statement a choice picks from the several a search runs; "" when it runs none.
QString Pick(const QStringList& statements, int choice)
{
    return statements.isEmpty() ? QString() : statements.at((choice >> 3) % statements.size());
}

// 文档: the kind (choice % 5, 4 being out of range) and, for "所有", which of its three statements.
enum class DocumentStatement { None, Project, Design, Archived };
DocumentStatement DocumentStatementOf(int choice)
{
    switch (choice % 5) {
    case zq::doc::KindAll: return DocumentStatement(1 + (choice >> 3) % 3);
    case zq::doc::KindProject: return DocumentStatement::Project;
    case zq::doc::KindDesign: return DocumentStatement::Design;
    case zq::doc::KindArchived: return DocumentStatement::Archived;
    default: return DocumentStatement::None;
    }
}

} // namespace

const std::vector<SqlBuilder>& SqlBuilders()
{
    using namespace zq;
    static const std::vector<SqlBuilder> builders = {
        // 设计零部件: the three condition kinds, the structure search and its lookups.
        {"part.title", [](int) { return Repeat(kContains, part::kTitleRowCount); },
         [](const BuilderInput& in) { return part::BuildTitleSql(in.texts, in.from, in.to).sql; }},
        {"part.detail",
         [](int choice) {
             QList<Reading> readings = Repeat(kContains, part::kDetailRowCount);
             if (choice & 1)
                 readings << kContains;   // the scope, when "范围" is ticked
             return readings;
         },
         [](const BuilderInput& in) {
             const bool scoped = in.choice & 1;
             return part::BuildDetailSql(Slice(in.texts, 0, part::kDetailRowCount), scoped,
                                         scoped ? in.texts.value(part::kDetailRowCount) : QString())
                 .sql;
         }},
        {"part.attribute", [](int) { return Repeat(kPattern, part::kAttributeRowCount); },
         [](const BuilderInput& in) { return part::BuildAttributeSql(in.texts, in.from, in.to).sql; }},
        {"part.structure",
         [](int) { return QList<Reading>{kExact} + Repeat(kContains, part::kDetailRowCount); },
         [](const BuilderInput& in) {
             const QString condition = part::StructureCondition(Slice(in.texts, 1, part::kDetailRowCount));
             return (in.choice & 1) ? part::StructureCountSql(in.texts.value(0), condition)
                                    : part::StructureRowsSql(in.texts.value(0), condition);
         }},
        {"part.lookups", [](int) { return Repeat(kExact, 2); },
         [](const BuilderInput& in) {
             switch (in.choice % 3) {
             case 0: return part::ParentCodesSql(in.texts.value(0), in.texts.value(1));
             case 1: return part::PartNameSql(in.texts.value(0), in.texts.value(1));
             default: return part::ProductNameSql(in.texts.value(0));
             }
         }},

        // 更改单: author, order number, subject (trimmed) and the part code as the page passes it.
        {"eco.order", [](int) { return Repeat(kContainsTrimmed, 3) << kContains; },
         [](const BuilderInput& in) {
             eco::OrderConditions c;
             c.author = in.texts.value(0);
             c.orderNumber = in.texts.value(1);
             c.subject = in.texts.value(2);
             c.partCode = in.texts.value(3);
             c.stateIndex = in.choice % 9 - 1;   // −1 … 7: the six states, "所有" and out of range
             c.from = in.from;
             c.to = in.to;
             return eco::BuildOrderSql(c).sql;
         }},
        // 更改影响面: the changed parts or the parts above them.
        {"eco.changedpart", [](int) { return Repeat(kContainsTrimmed, 4); },
         [](const BuilderInput& in) {
             eco::PartConditions c;
             c.author = in.texts.value(0);
             c.orderNumber = in.texts.value(1);
             c.subject = in.texts.value(2);
             c.partCode = in.texts.value(3);
             c.mode = (in.choice & 1) ? eco::PartResultMode::UpperParts : eco::PartResultMode::ChangedParts;
             c.from = in.from;
             c.to = in.to;
             return eco::BuildChangedPartSql(c).sql;
         }},
        // 更改发放部门 and 更改处理意见: lists of names and opinions.
        {"eco.department", [](int choice) { return Repeat(kExact, choice % 4); },
         [](const BuilderInput& in) { return eco::BuildDepartmentSql(in.from, in.to, in.texts).sql; }},
        {"eco.opinion", [](int choice) { return Repeat(kContainsAlways, choice % 4); },
         [](const BuilderInput& in) { return eco::BuildOpinionSql(in.from, in.to, in.texts).sql; }},
        // The stored order file and the old drawing number.
        {"eco.lookups", [](int) { return Repeat(kExact, 2); },
         [](const BuilderInput& in) {
             switch (in.choice % 3) {
             case 0: return eco::StoredFileSizeSql(in.texts.value(0), in.texts.value(1));
             case 1: return eco::StoredFileContentSql(in.texts.value(0), in.texts.value(1));
             default: return eco::OldCodeLookupSql(in.choice % 7, in.texts.value(0));
             }
         }},
        // 文档: description, file name, part and remark; the archived statement wraps twice and
        // reads no part, the design statement reads no remark.
        {"document",
         [](int choice) {
             const Reading used = DocumentStatementOf(choice) == DocumentStatement::Archived ? kContainsTwiceTrimmed
                                                                                             : kContainsTrimmed;
             return Repeat(used, 4);
         },
         [](const BuilderInput& in) {
             doc::DocumentConditions c;
             c.description = in.texts.value(0);
             c.fileName = in.texts.value(1);
             c.part = in.texts.value(2);
             c.remark = in.texts.value(3);
             c.from = in.from;
             c.to = in.to;
             switch (DocumentStatementOf(in.choice)) {
             case DocumentStatement::Project: return doc::ProjectDocumentSql(c);
             case DocumentStatement::Design: return doc::DesignDocumentSql(c);
             case DocumentStatement::Archived: return doc::ArchivedDocumentSql(c);
             case DocumentStatement::None: break;
             }
             c.kind = in.choice % 5;
             return Pick(doc::BuildDocumentSql(c).sql, in.choice);
         }},
        // 资源文件: eight condition rows, matched anywhere.
        {"resource", [](int) { return Repeat(kContains, doc::kResourceRowCount); },
         [](const BuilderInput& in) { return doc::BuildResourceSql(in.texts); }},
        // 批次产品: the title rows with the date range or the detail rows; a third kind builds none.
        {"order",
         [](int choice) {
             return Repeat(kContains, choice % 3 == part::KindDetail ? part::kOrderDetailRowCount
                                                                     : part::kOrderTitleRowCount);
         },
         [](const BuilderInput& in) { return part::BuildOrderSearchSql(in.choice % 3, in.texts, in.from, in.to).sql; }},
        // 任务: name, number and person matched anywhere, the state list's text as it stands; every
        // kind and state, and for "所有" one of its five statements.
        {"task", [](int) { return Repeat(kContainsTrimmed, 3) << kExact; },
         [](const BuilderInput& in) {
             task::TaskConditions c;
             c.name = in.texts.value(0);
             c.number = in.texts.value(1);
             c.person = in.texts.value(2);
             c.stateText = in.texts.value(3);
             c.kind = in.choice % 7;   // 6: out of range
             c.stateIndex = (in.choice >> 3) % 12;
             c.from = in.from;
             c.to = in.to;
             return Pick(task::BuildTaskSql(c, [] { return QStringLiteral("2026-12-08"); }).sql, in.choice >> 2);
         }},
        // 设计过程零部件: the grid's seven rows, each from its start; either end of the time range ticked.
        {"processpart", [](int) { return Repeat(kStartsWithTrimmed, int(task::ProcessPartRows().size())); },
         [](const BuilderInput& in) {
             task::ProcessPartConditions c;
             for (int i = 0; i < task::ProcessPartRows().size(); ++i)
                 c.grid.append({QString::fromUtf8(task::ProcessPartRows().at(i).label), in.texts.value(i)});
             if (in.choice & 1)
                 c.from = in.from;
             if (in.choice & 2)
                 c.to = in.to;
             return task::BuildProcessPartSql(c);
         }},
    };
    return builders;
}

} // namespace zqfuzz
