#include "SqlBuilders.h"
#include "DateCondition.h"
#include "ECOOldDrawingNumber.h"
#include "ECOSql.h"
#include "PartSql.h"

namespace zqfuzz {

namespace {

constexpr Reading kContains{false, true, true, true};           // "%" + pattern + "%", when not empty
constexpr Reading kContainsTrimmed{true, true, true, true};
constexpr Reading kContainsAlways{false, true, true, false};    // also when empty
constexpr Reading kPattern{false, true, false, true};           // as typed, user's wildcards only
constexpr Reading kExact{false, false, false, false};           // compared as it is

QList<Reading> Repeat(const Reading& reading, int count)
{
    return QList<Reading>(count, reading);
}

QStringList Slice(const QStringList& texts, int from, int count)
{
    return texts.mid(from, count);
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
    };
    return builders;
}

} // namespace zqfuzz
