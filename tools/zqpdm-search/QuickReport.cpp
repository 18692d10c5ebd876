#include "QuickReport.h"

#include "GbkText.h"
#include "PageList.h"
#include "PastedList.h"
#include "QuickSearch.h"
#include "QuickSources.h"

namespace zq::tool {

namespace {

QStringList HitRow(const quick::QuickHit& hit)
{
    return {hit.kind, hit.code, hit.name, hit.date, quick::TierName(hit.tier), hit.note};
}

} // namespace

void QuickReport::note(const QString& text) const
{
    m_output.eventLine(m_events.note(text));
}

QString QuickReport::printRows(const QStringList& headers, const QList<QStringList>& rows) const
{
    ResultWriter writer(m_format, headers, m_output.rowSink());
    for (const QStringList& row : rows) {
        QList<QStringView> cells(row.cbegin(), row.cend());
        writer.row(cells);
    }
    writer.finish();
    return m_output.finishRows();
}

// What a caller needs to open listed row ROW on its tab, beyond the row's columns (json events only:
// the text form stays as it was).
void QuickReport::hitDetails(int row, const quick::QuickHit& hit) const
{
    if (m_events.format() != EventFormat::Json)
        return;
    m_output.eventLine(m_events.event(QStringLiteral("HIT"), {QString::number(row), hit.kind, hit.code, hit.name,
                                                              hit.date, hit.table, hit.product, hit.fileName,
                                                              hit.listed}));
}

std::optional<QStringList> QuickReport::kinds(const QStringList& asked) const
{
    const QStringList all = quick::AllKindCaptions();
    for (const QString& kind : asked) {
        if (!all.contains(kind)) {
            m_output.eventLine(QStringLiteral("zqpdm-search: --kind: \"%1\" is not a kind the quick search knows; the "
                                              "kinds are %2")
                                   .arg(kind, all.join(u',')));
            return std::nullopt;
        }
    }
    QStringList installed = all;
    if (const auto lines = ReadPageList(PageListPath()))
        installed = quick::InstalledKinds(*lines);
    else
        note(QStringLiteral("no page list at %1: every kind is searched").arg(PageListPath()));
    if (asked.isEmpty())
        return installed;
    QStringList chosen;
    for (const QString& kind : asked) {
        if (installed.contains(kind))
            chosen.append(kind);
        else
            note(QStringLiteral("%1 is not in the installation's page list and is not searched").arg(kind));
    }
    return chosen;
}

int QuickReport::searchText(quick::QuickSearch& search, const QString& text, const QStringList& kinds,
                            const std::atomic_bool* cancel) const
{
    quick::QuickRequest request;
    request.text = text;
    request.kinds = kinds;
    const quick::QuickResult result = search.run(request, {}, cancel);

    QList<QStringList> rows;
    const QList<quick::QuickHit> hits = result.rankedHits();
    for (const quick::QuickHit& hit : hits)
        rows.append(HitRow(hit));
    const QString outputError = printRows({QStringLiteral("类别"), QStringLiteral("编号"), QStringLiteral("名称"),
                                           QStringLiteral("日期"), QStringLiteral("匹配"), QStringLiteral("说明")},
                                          rows);
    for (qsizetype i = 0; i < hits.size(); ++i)
        hitDetails(int(i), hits[i]);

    QList<std::pair<QString, int>> counts;
    for (const quick::KindResult& kind : result.kinds) {
        counts.append({kind.kind, kind.count});
        if (!kind.advice.isEmpty())
            note(kind.kind + QStringLiteral(": ") + QString(kind.advice).replace(u'\n', u' '));
    }
    const QString countsText = result.countsText();
    m_output.eventLine(m_events.quickStatus(countsText.isEmpty() ? QStringLiteral("未找到") : countsText, counts));
    bool failed = !outputError.isEmpty();
    for (const quick::KindResult& kind : result.kinds) {
        if (!kind.problem.isEmpty()) {
            m_output.eventLine(m_events.event(QStringLiteral("ERROR"), {kind.kind, kind.problem}));
            failed = true;
        }
    }
    if (!outputError.isEmpty())
        m_output.eventLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("output"), outputError}));
    return failed ? QuickFailed : QuickOk;
}

int QuickReport::checkList(quick::QuickSearch& search, const QByteArray& list, const QStringList& kinds,
                           const std::atomic_bool* cancel) const
{
    const QStringList codes = quick::PastedCodes(zq::DecodeFileText(list));
    const QList<quick::ListLine> lines = quick::CheckPastedList(search, codes, kinds, cancel);
    const QString outputError = printRows(quick::ListHeader(), quick::ListRows(lines));

    int found = 0;
    int row = 0;
    bool failed = !outputError.isEmpty();
    for (const quick::ListLine& line : lines) {
        found += line.found.isEmpty() ? 0 : 1;
        for (const quick::QuickHit& hit : line.found)
            hitDetails(row++, hit);
        if (line.found.isEmpty())
            ++row;
        if (!line.problem.isEmpty()) {
            m_output.eventLine(m_events.event(QStringLiteral("ERROR"), {line.input, line.problem}));
            failed = true;
        }
    }
    const int missing = int(lines.size()) - found;
    m_output.eventLine(m_events.quickStatus(QStringLiteral("找到 %1 · %2 %3").arg(found).arg(quick::kNotFound).arg(missing),
                                            {{QStringLiteral("找到"), found}, {quick::kNotFound, missing}}));
    if (!outputError.isEmpty())
        m_output.eventLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("output"), outputError}));
    return failed ? QuickFailed : QuickOk;
}

} // namespace zq::tool
