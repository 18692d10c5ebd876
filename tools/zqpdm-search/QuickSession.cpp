#include "QuickSession.h"

#include "ConnectionUrl.h"
#include "GbkText.h"
#include "HostDatabase.h"
#include "OutputLines.h"
#include "PageList.h"
#include "PastedList.h"
#include "QuickSearch.h"
#include "QuickSources.h"
#include "ResultFormats.h"
#include "SearchSession.h"
#include "ZQDBConnect.h"

#include <QFile>

namespace zq::tool {

namespace {

enum ExitCode { Ok = 0, Failed = 1, UsageError = 2 };

// Writes a list of rows to standard output in the chosen format; the reason when not all of it
// was taken.
QString PrintRows(OutputFormat format, const QStringList& headers, const QList<QStringList>& rows)
{
    StandardOutput output;
    ResultWriter writer(format, headers, output.sink());
    for (const QStringList& row : rows) {
        QList<QStringView> cells(row.cbegin(), row.cend());
        writer.row(cells);
    }
    writer.finish();
    return output.finish();
}

QStringList HitRow(const quick::QuickHit& hit)
{
    return {hit.kind, hit.code, hit.name, hit.date, quick::TierName(hit.tier), hit.note};
}

} // namespace

// The connections one run reads through.
class QuickSearchRun {
public:
    explicit QuickSearchRun(zq::Connection* pdm)
        : m_index(zq::db::ConfiguredContentIndexUrl()), m_search(pdm, &m_index)
    {
    }
    quick::QuickSearch& search() { return m_search; }

private:
    quick::ContentIndex m_index;
    quick::QuickSearch m_search;
};

QuickSession::QuickSession(SearchOptions options) : m_options(std::move(options)), m_events(m_options.events) {}

void QuickSession::note(const QString& text) const
{
    WriteErrorLine(m_events.note(text));
}

// What a caller needs to open listed row ROW on its tab, beyond the row's columns (json events only:
// the text form stays as it was).
void QuickSession::hitDetails(int row, const quick::QuickHit& hit) const
{
    if (m_events.format() != EventFormat::Json)
        return;
    WriteErrorLine(m_events.event(QStringLiteral("HIT"), {QString::number(row), hit.kind, hit.code, hit.name, hit.date,
                                                          hit.table, hit.product, hit.fileName, hit.listed}));
}

std::optional<QStringList> QuickSession::kinds() const
{
    const QStringList all = quick::AllKindCaptions();
    for (const QString& kind : m_options.kinds) {
        if (!all.contains(kind)) {
            WriteErrorLine(QStringLiteral("zqpdm-search: --kind: \"%1\" is not a kind the quick search knows; the kinds "
                                          "are %2")
                               .arg(kind, all.join(u',')));
            return std::nullopt;
        }
    }
    QStringList installed = all;
    if (const auto lines = ReadPageList(PageListPath()))
        installed = quick::InstalledKinds(*lines);
    else
        note(QStringLiteral("no page list at %1: every kind is searched").arg(PageListPath()));
    if (m_options.kinds.isEmpty())
        return installed;
    QStringList chosen;
    for (const QString& kind : m_options.kinds) {
        if (installed.contains(kind))
            chosen.append(kind);
        else
            note(QStringLiteral("%1 is not in the installation's page list and is not searched").arg(kind));
    }
    return chosen;
}

int QuickSession::run()
{
    if (m_options.traceSql)
        SearchSession::InstallSqlTrace(m_events);
    const std::optional<QStringList> searched = kinds();
    if (!searched)
        return UsageError;
    m_options.kinds = *searched;
    zq::host::HostDatabase database;
    if (!database.open()) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"),
                                      {QStringLiteral("database"),
                                       QStringLiteral("cannot connect to %1: %2").arg(database.url(), database.error())}));
        return Failed;
    }
    QuickSearchRun run(database.connection());
    const int status = m_options.quick ? searchText(run) : checkList(run);
    zq::SetSqlTraceListener({});
    return status;
}

int QuickSession::searchText(QuickSearchRun& run)
{
    quick::QuickRequest request;
    request.text = *m_options.quick;
    request.kinds = m_options.kinds;
    const quick::QuickResult result = run.search().run(request);

    QList<QStringList> rows;
    const QList<quick::QuickHit> hits = result.rankedHits();
    for (const quick::QuickHit& hit : hits)
        rows.append(HitRow(hit));
    const QString outputError = PrintRows(
        m_options.format,
        {QStringLiteral("类别"), QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("日期"),
         QStringLiteral("匹配"), QStringLiteral("说明")},
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
    WriteErrorLine(m_events.quickStatus(countsText.isEmpty() ? QStringLiteral("未找到") : countsText, counts));
    bool failed = !outputError.isEmpty();
    for (const quick::KindResult& kind : result.kinds) {
        if (!kind.problem.isEmpty()) {
            WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {kind.kind, kind.problem}));
            failed = true;
        }
    }
    if (!outputError.isEmpty())
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("output"), outputError}));
    return failed ? Failed : Ok;
}

int QuickSession::checkList(QuickSearchRun& run)
{
    QByteArray bytes;
    QFile file;
    const bool opened = *m_options.quickList == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                                      : (file.setFileName(*m_options.quickList), file.open(QIODevice::ReadOnly));
    if (opened)
        bytes = file.readAll();
    if (!opened || file.error() != QFileDevice::NoError) {
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {*m_options.quickList, file.errorString()}));
        return Failed;
    }
    const QStringList codes = quick::PastedCodes(zq::DecodeFileText(bytes));
    const QList<quick::ListLine> lines = quick::CheckPastedList(run.search(), codes, m_options.kinds);
    const QString outputError = PrintRows(m_options.format, quick::ListHeader(), quick::ListRows(lines));

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
            WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {line.input, line.problem}));
            failed = true;
        }
    }
    const int missing = int(lines.size()) - found;
    WriteErrorLine(m_events.quickStatus(QStringLiteral("找到 %1 · %2 %3").arg(found).arg(quick::kNotFound).arg(missing),
                                        {{QStringLiteral("找到"), found}, {quick::kNotFound, missing}}));
    if (!outputError.isEmpty())
        WriteErrorLine(m_events.event(QStringLiteral("ERROR"), {QStringLiteral("output"), outputError}));
    return failed ? Failed : Ok;
}

} // namespace zq::tool
