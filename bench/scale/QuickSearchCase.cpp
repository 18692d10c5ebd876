// The quick search on the million-line SQLite database: a code fragment that matches about a
// hundred records searched over every kind (the whole answer, and the first kind's hits), and
// the suggestions under the box; each beside the same statements run on sqlite3 directly.
#include "BenchData.h"
#include "Cases.h"
#include "RawBaselines.h"

#include "QuickSearch.h"
#include "ZQDBConnect.h"

#include <QElapsedTimer>

namespace zq::bench {

namespace {

// pdm-seed --scale 958: about a million part-list lines.
constexpr int kQuickScale = 958;
constexpr int kSmokeScale = 11;
const QString kFragment = QStringLiteral("zqg0588-02-02");   // about a hundred records: drawings, lines, documents
const QString kSmokeFragment = QStringLiteral("zq8600 01");
const QString kSuggestTyped = QStringLiteral("ZQG0588-0");

// The fields a statement selects: the commas between SELECT and FROM, plus one.
int SelectedColumns(const QString& sql)
{
    const qsizetype from = sql.indexOf(QStringLiteral(" FROM "));
    return int(sql.left(from).count(u',')) + 1;
}

// The statements run on sqlite3 itself, every field of every row read; seconds, or negative.
double RawStatements(const QString& dbPath, const QStringList& statements, qint64* rows)
{
    double seconds = 0;
    *rows = 0;
    for (const QString& sql : statements) {
        raw::Cells cells(SelectedColumns(sql));
        const raw::Result result = raw::SqliteRows(dbPath.toStdString(), sql.toStdString(), cells);
        if (!result.ok()) {
            Note(QStringLiteral("quick search baseline: %1").arg(QString::fromStdString(result.error)));
            return -1;
        }
        seconds += result.seconds;
        *rows += qint64(cells.rows());
    }
    return seconds;
}

struct QuickRun {
    double whole = -1;     // seconds
    double firstKind = -1;
    qint64 hits = 0;
    QStringList statements;
};

} // namespace

void RunQuickSearchCase(const BenchOptions& options, BenchTable& table)
{
    const Installation installation = SqliteInstallation(options.dataDir, options.smoke ? kSmokeScale : kQuickScale);
    if (!installation.ok()) {
        Note(QStringLiteral("quick search: ") + installation.error);
        table.add({QStringLiteral("quick search, SQLite"), 0, 0, 0, QStringLiteral("ms"), Limit::None, 0, true});
        return;
    }
    CZQDBConnect database(installation.databaseUrl);
    if (!database.Init() || !database.ConnectPDM()) {
        Note(QStringLiteral("quick search: ") + database.LastError());
        return;
    }
    quick::QuickSearch search(database.GetPtrPDM(), nullptr);
    const QString fragment = options.smoke ? kSmokeFragment : kFragment;

    // One search over every kind, the statements it sent recorded for the baseline.
    const auto runOnce = [&] {
        QuickRun run;
        QStringList statements;
        SetSqlTraceListener([&statements](const QString& sql) { statements.append(sql); });
        QElapsedTimer timer;
        timer.start();
        const quick::QuickResult result = search.run({fragment, {}, quick::kHitsPerKind}, [&](const quick::KindResult&) {
            if (run.firstKind < 0)
                run.firstKind = double(timer.nsecsElapsed()) / 1e9;
        });
        run.whole = double(timer.nsecsElapsed()) / 1e9;
        SetSqlTraceListener({});
        for (const quick::KindResult& kind : result.kinds)
            run.hits += kind.count;
        if (!result.problems().isEmpty()) {
            Note(QStringLiteral("quick search: ") + result.problems().join(u' '));
            run.whole = -1;
        }
        run.statements = statements;
        return run;
    };
    QList<double> whole, first;
    QuickRun last;
    for (int i = 0; i < options.repeats; ++i) {
        last = runOnce();
        whole.append(last.whole);
        first.append(last.firstKind);
    }
    // The first kind's statements alone: those before the next kind's table.
    const QStringList firstKindStatements = last.statements.mid(0, 2);
    qint64 rawRows = 0;
    const double rawWhole = MedianSeconds(options.repeats, [&] {
        return RawStatements(installation.sqlitePath, last.statements, &rawRows);
    });
    qint64 firstRows = 0;
    const double rawFirst = MedianSeconds(options.repeats, [&] {
        return RawStatements(installation.sqlitePath, firstKindStatements, &firstRows);
    });
    const QString scale = QStringLiteral("%1 part-list lines").arg(CountRows(installation, QStringLiteral("ZqlomiraAll_detail")));
    table.add({QStringLiteral("quick search \"%1\", every kind, SQLite (%2)").arg(fragment, scale), last.hits,
               Median(whole) * 1e3, rawWhole * 1e3, QStringLiteral("ms"), Limit::Ours, 300, Median(whole) < 0});
    table.add({QStringLiteral("quick search, the first kind's hits (设计零部件)"), firstRows, Median(first) * 1e3,
               rawFirst * 1e3, QStringLiteral("ms"), Limit::None, 0, Median(first) < 0});

    // The suggestions under the box: the codes that begin as typed.
    QStringList suggestStatements;
    QStringList codes;
    const double suggest = MedianSeconds(options.repeats, [&] {
        suggestStatements.clear();
        SetSqlTraceListener([&suggestStatements](const QString& sql) { suggestStatements.append(sql); });
        QElapsedTimer timer;
        timer.start();
        codes = search.suggestCodes(kSuggestTyped, {}, 10);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        SetSqlTraceListener({});
        return seconds;
    });
    qint64 suggestRows = 0;
    const double rawSuggest = MedianSeconds(options.repeats, [&] {
        return RawStatements(installation.sqlitePath, suggestStatements, &suggestRows);
    });
    table.add({QStringLiteral("quick search suggestions \"%1\", SQLite").arg(kSuggestTyped), codes.size(), suggest * 1e3,
               rawSuggest * 1e3, QStringLiteral("ms"), Limit::Ours, 100, suggest < 0});
}

} // namespace zq::bench
