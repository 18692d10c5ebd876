#include "HitLocator.h"

#include "HitOpening.h"
#include "PageWorker.h"

namespace zq::web {

namespace {

quick::QuickHit hitOf(const QJsonObject& details)
{
    const auto text = [&](const char* key) { return details.value(QLatin1String(key)).toString(); };
    quick::QuickHit hit;
    hit.kind = text("kind");
    hit.code = text("code");
    hit.name = text("name");
    hit.date = text("date");
    hit.table = text("table");
    hit.product = text("product");
    hit.fileName = text("file");
    hit.listed = text("listed");
    return hit;
}

} // namespace

std::optional<TabSearch> TabSearchOf(const QJsonObject& details, const QDate& today)
{
    const quick::HitOpening opening = quick::OpeningOf(hitOf(details), today);
    if (opening.caption.isEmpty() || opening.steps.isEmpty())
        return std::nullopt;
    TabSearch search{opening.caption, {}};
    for (const quick::ConditionStep& step : opening.steps) {
        if (step.row >= 0)
            search.arguments << QStringLiteral("--cell") << QStringLiteral("%1:%2=%3").arg(step.control).arg(step.row).arg(step.value);
        else
            search.arguments << QStringLiteral("--set") << QStringLiteral("%1=%2").arg(step.control).arg(step.value);
    }
    search.arguments << QStringLiteral("--find");
    return search;
}

int RowOfHit(const QStringList& rows, const QJsonObject& details)
{
    const quick::QuickHit hit = hitOf(details);
    QList<QStringList> cells;
    for (const QString& row : rows)
        cells.append(RowCells(row).value_or(QStringList()));
    // The row the first column names, else one that holds the code in another column.
    for (const bool anyColumn : {false, true})
        for (qsizetype i = 0; i < cells.size(); ++i)
            if (!cells[i].isEmpty() && quick::ListsHit(cells[i], hit, anyColumn))
                return int(i);
    return -1;
}

} // namespace zq::web
