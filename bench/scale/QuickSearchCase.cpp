// The quick search on the million-line SQLite database: a code fragment that matches about a
// hundred records searched over every kind of the database (the whole answer, and the first
// kind's hits) through the index of folded codes zqpdm-index keeps, and by the narrowing SELECTs
// alone; the suggestions under the box; each beside the same statements run on sqlite3 directly.
// zqpdm-index brings the index up to date first: its run with nothing changed is a figure too.
#include "BenchData.h"
#include "Cases.h"
#include "RawBaselines.h"

#include "QuickSearch.h"
#include "QuickSources.h"
#include "ZQDBConnect.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

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

// Which file a traced statement went to: the content index's (the index of folded codes, and
// the look at its layout as it opens) or the PDM database.
bool ForTheIndex(const QString& sql)
{
    return sql.contains(QStringLiteral("QuickCode")) || sql.contains(QStringLiteral("ContentIndexInfo")) ||
           sql.contains(QStringLiteral("sqlite_master"));
}

// The statements run on sqlite3 itself, every field of every row read; seconds, or negative.
double RawStatements(const QString& dbPath, const QString& indexPath, const QStringList& statements, qint64* rows)
{
    double seconds = 0;
    *rows = 0;
    for (const QString& sql : statements) {
        raw::Cells cells(SelectedColumns(sql));
        const QString path = ForTheIndex(sql) ? indexPath : dbPath;
        const raw::Result result = raw::SqliteRows(path.toStdString(), sql.toStdString(), cells);
        if (!result.ok()) {
            Note(QStringLiteral("quick search baseline: %1").arg(QString::fromStdString(result.error)));
            return -1;
        }
        seconds += result.seconds;
        *rows += qint64(cells.rows());
    }
    return seconds;
}

// zqpdm-index over the installation, quiet; seconds, or negative with a note.
double RunIndexer(const QString& home)
{
    QProcess indexer;
    indexer.setProcessChannelMode(QProcess::MergedChannels);
    // The installation named, not the one an earlier case's window left in the environment.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"ZQPDM_DB", "ZQPDM_HOME", "ZQPDM_SYSDIR", "ZQPDM_INDEX"})
        environment.remove(QString::fromLatin1(name));
    indexer.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    indexer.start(QCoreApplication::applicationDirPath() + QStringLiteral("/zqpdm-index"),
                  {QStringLiteral("--home"), home, QStringLiteral("--quiet")});
    if (!indexer.waitForFinished(30 * 60 * 1000) || indexer.exitStatus() != QProcess::NormalExit ||
        indexer.exitCode() != 0) {
        Note(QStringLiteral("quick search: zqpdm-index failed: ") + QString::fromUtf8(indexer.readAll()));
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

struct QuickRun {
    double whole = -1;     // seconds
    double firstKind = -1;
    qint64 hits = 0;
    QStringList statements;
    qsizetype firstKindStatements = 0;   // those sent before the first kind was reported
};

// The kinds of the PDM database: the content of stored files is another bench's.
QStringList DatabaseKindCaptions()
{
    QStringList captions;
    for (const quick::QuickKind& kind : quick::DatabaseKinds())
        captions.append(kind.caption);
    return captions;
}

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
    // The index of folded codes, made or brought up to date; then its run with nothing changed.
    const QString indexPath = installation.home + QStringLiteral("/content-index.db");
    const bool indexed = RunIndexer(installation.home) >= 0;
    const double keepIndex = indexed ? RunIndexer(installation.home) : -1;
    quick::ContentIndex contentIndex(QStringLiteral("sqlite:") + indexPath);
    quick::QuickSearch search(database.GetPtrPDM(), &contentIndex);
    const QString fragment = options.smoke ? kSmokeFragment : kFragment;
    const QStringList kinds = DatabaseKindCaptions();

    // One search over every kind, the statements it sent recorded for the baseline.
    const auto runOnce = [&] {
        QuickRun run;
        QStringList statements;
        SetSqlTraceListener([&statements](const QString& sql) { statements.append(sql); });
        QElapsedTimer timer;
        timer.start();
        const quick::QuickResult result = search.run({fragment, kinds, quick::kHitsPerKind}, [&](const quick::KindResult&) {
            if (run.firstKind < 0) {
                run.firstKind = double(timer.nsecsElapsed()) / 1e9;
                run.firstKindStatements = statements.size();
            }
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
    const QString scale = QStringLiteral("%1 part-list lines").arg(CountRows(installation, QStringLiteral("ZqlomiraAll_detail")));
    const auto measure = [&](bool useIndex, const QString& name, double target) {
        search.setUseCodeIndex(useIndex);
        QList<double> whole, first;
        QuickRun last;
        for (int i = 0; i < options.repeats; ++i) {
            last = runOnce();
            whole.append(last.whole);
            first.append(last.firstKind);
        }
        qint64 rawRows = 0;
        const double rawWhole = MedianSeconds(options.repeats, [&] {
            return RawStatements(installation.sqlitePath, indexPath, last.statements, &rawRows);
        });
        qint64 firstRows = 0;
        const double rawFirst = MedianSeconds(options.repeats, [&] {
            return RawStatements(installation.sqlitePath, indexPath, last.statements.mid(0, last.firstKindStatements),
                                 &firstRows);
        });
        table.add({name.arg(fragment, scale), last.hits, Median(whole) * 1e3, rawWhole * 1e3, QStringLiteral("ms"),
                   target > 0 ? Limit::Ours : Limit::None, target, Median(whole) < 0});
        table.add({QStringLiteral("  the first kind's hits (设计零部件)"), firstRows, Median(first) * 1e3, rawFirst * 1e3,
                   QStringLiteral("ms"), Limit::None, 0, Median(first) < 0});
        return last.hits;
    };
    const qint64 withIndex =
        measure(true, QStringLiteral("quick search \"%1\", every kind, SQLite (%2), index of folded codes"), indexed ? 300 : 0);
    const qint64 withoutIndex =
        measure(false, QStringLiteral("quick search \"%1\", every kind, SQLite (%2), without it"), 0);
    if (withIndex != withoutIndex)
        Note(QStringLiteral("quick search: %1 hits through the index, %2 without it").arg(withIndex).arg(withoutIndex));
    table.add({QStringLiteral("zqpdm-index, nothing changed (files and folded codes)"), 0, keepIndex * 1e3, 0,
               QStringLiteral("ms"), Limit::None, 0, keepIndex < 0 || withIndex != withoutIndex});

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
        return RawStatements(installation.sqlitePath, indexPath, suggestStatements, &suggestRows);
    });
    table.add({QStringLiteral("quick search suggestions \"%1\", SQLite").arg(kSuggestTyped), codes.size(), suggest * 1e3,
               rawSuggest * 1e3, QStringLiteral("ms"), Limit::Ours, 100, suggest < 0});
}

} // namespace zq::bench
