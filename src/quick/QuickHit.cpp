#include "QuickHit.h"

#include "QuickSources.h"

#include <algorithm>
#include <tuple>

namespace zq::quick {

bool RanksBefore(const QuickHit& a, const QuickHit& b)
{
    if (a.tier != b.tier)
        return a.tier < b.tier;
    if (a.date != b.date)
        return a.date > b.date;
    return std::tie(a.code, a.kind, a.name) < std::tie(b.code, b.kind, b.name);
}

QList<QuickHit> QuickResult::rankedHits() const
{
    QList<QuickHit> hits;
    for (const KindResult& kind : kinds)
        hits += kind.hits;
    // Within a tier the kinds keep their order, so a drawing comes before the batches made of it.
    const QStringList order = AllKindCaptions();
    std::stable_sort(hits.begin(), hits.end(), [&order](const QuickHit& a, const QuickHit& b) {
        if (a.tier != b.tier || a.kind == b.kind)
            return RanksBefore(a, b);
        return order.indexOf(a.kind) < order.indexOf(b.kind);
    });
    return hits;
}

QString QuickResult::countsText() const
{
    QStringList parts;
    for (const KindResult& kind : kinds)
        if (kind.count > 0)
            parts.append(QStringLiteral("%1 %2").arg(kind.kind, QString::number(kind.count)));
    return parts.join(QStringLiteral(" · "));
}

QStringList QuickResult::problems() const
{
    QStringList problems;
    for (const KindResult& kind : kinds)
        if (!kind.problem.isEmpty())
            problems.append(kind.kind + QStringLiteral(": ") + kind.problem);
    return problems;
}

} // namespace zq::quick
