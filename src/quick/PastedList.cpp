#include "PastedList.h"

#include "QuickSearch.h"

namespace zq::quick {

QList<ListLine> CheckPastedList(QuickSearch& search, const QStringList& codes, const QStringList& kinds,
                                const std::atomic_bool* cancel)
{
    QList<ListLine> lines;
    for (const QString& code : codes) {
        if (cancel && *cancel)
            break;
        ListLine line;
        line.input = code;
        const QuickResult result = search.runCode(code, kinds, kHitsPerKind);
        for (const QuickHit& hit : result.rankedHits())
            if (IsCodeFound(hit.tier))
                line.found.append(hit);
        line.problem = result.problems().join(QStringLiteral("; "));
        if (line.found.isEmpty())
            line.nearest = search.nearestCode(code, kinds);
        lines.append(line);
    }
    return lines;
}

QStringList ListHeader()
{
    return {QStringLiteral("输入"), QStringLiteral("类别"), QStringLiteral("编号"), QStringLiteral("名称"),
            QStringLiteral("匹配"), QStringLiteral("说明")};
}

QList<QStringList> ListRows(const QList<ListLine>& lines)
{
    QList<QStringList> rows;
    for (const ListLine& line : lines) {
        if (line.found.isEmpty()) {
            rows.append({line.input, kNotFound, QString(), QString(), QString(), line.nearest});
            continue;
        }
        for (const QuickHit& hit : line.found)
            rows.append({line.input, hit.kind, hit.code, hit.name, TierName(hit.tier), hit.note});
    }
    return rows;
}

} // namespace zq::quick
