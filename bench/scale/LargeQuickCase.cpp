// The quick search on the large PostgreSQL database (ten million part-list lines, with the
// trigram indexes of tools/sql/postgresql-trigram-indexes.sql): a code fragment that matches about
// a hundred records searched over every kind of the database, and the suggestions under the box,
// each beside the same statements timed by psql.
#include "LargeQuickCase.h"
#include "PsqlTiming.h"

#include "QuickSearch.h"
#include "QuickSources.h"
#include "ZQDBConnect.h"

#include <QElapsedTimer>

namespace zq::bench {

namespace {

// The statements in psql, as the module adapted them for the server; seconds, negative on failure.
double psqlSeconds(const Installation& installation, const QStringList& statements)
{
    QStringList adapted;
    for (const QString& sql : statements)
        adapted.append(AdaptSql(sql, QStringLiteral("QPSQL")));
    QString error;
    const double milliseconds = PsqlMilliseconds(installation, adapted, {}, &error);
    if (!error.isEmpty())
        Note(QStringLiteral("quick search baseline: ") + error);
    return milliseconds < 0 ? -1 : milliseconds / 1e3;
}

// Runs WORK with the statements it sends recorded; its seconds.
double traced(const std::function<void()>& work, QStringList& statements)
{
    statements.clear();
    SetSqlTraceListener([&statements](const QString& sql) { statements.append(sql); });
    QElapsedTimer timer;
    timer.start();
    work();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    SetSqlTraceListener({});
    return seconds;
}

} // namespace

void RunLargeQuickSearch(const BenchOptions& options, const Installation& installation, int scale, BenchTable& table)
{
    CZQDBConnect database(installation.databaseUrl);
    if (!database.Init() || !database.ConnectPDM()) {
        Note(QStringLiteral("large quick search: ") + database.LastError());
        table.add({QStringLiteral("quick search, PostgreSQL"), 0, -1, 0, QStringLiteral("ms"), Limit::None, 0, true});
        return;
    }
    quick::QuickSearch search(database.GetPtrPDM(), nullptr);
    QStringList kinds;
    for (const quick::QuickKind& kind : quick::DatabaseKinds())
        kinds.append(kind.caption);
    const qint64 count = CountRows(installation, QStringLiteral("ZqlomiraAll_detail"));
    const QString lines = (count >= 1000000 ? QStringLiteral("%1M").arg(double(count) / 1e6, 0, 'f', 1) : QString::number(count))
                          + QStringLiteral(" part-list lines");

    // The assemblies of a product in the middle of the range, as the part-list search's fragment
    // (lower case, as typed): about a hundred records.
    const QString fragment = QStringLiteral("zqg%1-0").arg(std::max(1, scale / 2), 4, 10, QLatin1Char('0'));
    QStringList statements;
    qint64 hits = 0;
    bool failed = false;
    const double whole = MedianSeconds(options.repeats, [&] {
        quick::QuickResult result;
        const double seconds = traced([&] { result = search.run({fragment, kinds, quick::kHitsPerKind}); }, statements);
        hits = 0;
        for (const quick::KindResult& kind : result.kinds)
            hits += kind.count;
        if (!result.problems().isEmpty()) {
            Note(QStringLiteral("large quick search: ") + result.problems().join(u' '));
            failed = true;
        }
        return failed ? -1 : seconds;
    });
    const double raw = MedianSeconds(options.repeats, [&] { return psqlSeconds(installation, statements); });
    table.add({QStringLiteral("quick search \"%1\", every kind, PostgreSQL (%2), trigram").arg(fragment, lines), hits,
               whole * 1e3, raw * 1e3, QStringLiteral("ms"), Limit::Ours, 100, failed || whole < 0 || hits <= 0});

    const QString typed = fragment.left(9).toUpper();   // ZQGnnnn-0
    QStringList codes;
    const double suggest = MedianSeconds(options.repeats, [&] {
        return traced([&] { codes = search.suggestCodes(typed, {}, 10); }, statements);
    });
    const double rawSuggest = MedianSeconds(options.repeats, [&] { return psqlSeconds(installation, statements); });
    table.add({QStringLiteral("quick search suggestions \"%1\", PostgreSQL (%2)").arg(typed, lines), codes.size(),
               suggest * 1e3, rawSuggest * 1e3, QStringLiteral("ms"), Limit::Ours, 100, suggest < 0 || codes.isEmpty()});
}

} // namespace zq::bench
