#include "HitOpening.h"

#include "DateCondition.h"
#include "QuickSources.h"

#include <algorithm>

namespace zq::quick {

namespace {

// The ids the pages share for their date range, the condition-kind list and the condition grid.
constexpr int kFrom = 1204;
constexpr int kTo = 1258;
constexpr int kConditionKind = 1256;
constexpr int kConditionGrid = 1318;

// Part pages: the grid's row of the drawing number (the batch page's starts with the batch).
constexpr int kTitleCodeRow = 0;
constexpr int kBatchCodeRow = 1;
// 设计文档.
constexpr int kDocumentFileName = 1252;
constexpr int kDocumentKind = 1254;
// 资源文件: the grid's row of the file name.
constexpr int kResourceFileNameRow = 1;
// 更改单.
constexpr int kOrderNumber = 1376;
// 设计任务.
constexpr int kTaskNumber = 1021;
constexpr int kTaskKind = 1250;
// 文档内容: the words, the kind of document, and whether the file dates narrow.
constexpr int kContentWords = 1260;
constexpr int kContentKind = 1254;
constexpr int kContentByDate = 1262;

// From the day before the hit (the ranges' lower end is exclusive) to today, or to the hit's
// day when it lies ahead.
QList<ConditionStep> DateRange(const QuickHit& hit, const QDate& today)
{
    const QDate date = QDate::fromString(hit.date, QStringLiteral("yyyy-MM-dd"));
    const QDate from = date.isValid() ? date.addDays(-1) : QDate(1990, 1, 1);
    const QDate to = date.isValid() ? std::max(today, date) : today;
    return {{kFrom, -1, SqlDateText(from)}, {kTo, -1, SqlDateText(to)}};
}

QString DocumentKindOf(const QString& table)
{
    if (table == u"TeamWorkResult")
        return QStringLiteral("设计文档");
    if (table == u"TaskDocuments")
        return QStringLiteral("项目文档");
    return QStringLiteral("归档文档");
}

} // namespace

HitOpening OpeningOf(const QuickHit& hit, const QDate& today)
{
    HitOpening opening{hit.kind, {}};
    QList<ConditionStep>& steps = opening.steps;
    if (hit.kind == u"设计零部件" || hit.kind == u"批次产品") {
        const bool partList = hit.table.endsWith(QStringLiteral("_detail"));
        steps.append({kConditionKind, -1, partList ? QStringLiteral("明细") : QStringLiteral("标题")});
        if (!partList)
            steps += DateRange(hit, today);
        steps.append({kConditionGrid, hit.kind == u"批次产品" ? kBatchCodeRow : kTitleCodeRow, hit.code});
    } else if (hit.kind == u"设计文档") {
        steps.append({kDocumentKind, -1, DocumentKindOf(hit.table)});
        steps += DateRange(hit, today);
        steps.append({kDocumentFileName, -1, hit.fileName});
    } else if (hit.kind == u"资源文件") {
        steps.append({kConditionGrid, kResourceFileNameRow, hit.fileName});
    } else if (hit.kind == u"更改单") {
        steps += DateRange(hit, today);
        steps.append({kOrderNumber, -1, hit.code});
    } else if (hit.kind == kContentCaption) {
        steps.append({kContentWords, -1, hit.words});
        steps.append({kContentKind, -1, QStringLiteral("所有")});
        steps.append({kContentByDate, -1, QStringLiteral("0")});
    } else if (hit.kind == u"设计任务") {
        steps.append({kTaskKind, -1, QStringLiteral("所有")});
        steps += DateRange(hit, today);
        steps.append({kTaskNumber, -1, hit.code});
    }
    return opening;
}

bool ListsHit(const QStringList& rowTexts, const QuickHit& hit, bool anyColumn)
{
    const QString first = rowTexts.value(0).trimmed();
    // 文档内容 lists a file by its description, then its file name: both tell it apart.
    if (hit.kind == kContentCaption)
        return first == hit.listed && rowTexts.value(1).trimmed() == hit.fileName.trimmed();
    if (!hit.listed.isEmpty() && hit.listed != hit.code)
        return first == hit.listed
               && (hit.name.isEmpty() || hit.name == hit.listed || rowTexts.mid(1).contains(hit.name));
    if (anyColumn) {
        for (const QString& text : rowTexts)
            if (text.trimmed() == hit.code)
                return true;
        return false;
    }
    return first == hit.code || (first.startsWith(hit.code + u'[') && first.endsWith(u']'));
}

} // namespace zq::quick
