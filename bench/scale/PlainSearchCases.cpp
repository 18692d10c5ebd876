// The design-part title search with its default conditions (the drawings of the last 360
// days), from "查找" to the status line, against a C loop over the engine's API that runs the
// same SELECT and looks each row's product name up with one prepared statement.
#include "Cases.h"

#include "BenchData.h"
#include "ListCtrl.h"
#include "RawBaselines.h"
#include "SearchWindow.h"
#include "ZQDBConnect.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QFile>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>

namespace zq::bench {

namespace {

constexpr int kConditionList = 1318;
constexpr int kMaterialRow = 2;   // 材料: Tmaterial
constexpr const char* kPage = "设计零部件";

struct Sizes {
    QList<int> scales;   // pdm-seed scales of the growth rows; the middle one is the main size
    int mainScale;
};

Sizes sizesFor(bool smoke)
{
    return smoke ? Sizes{{2, 3, 4}, 3} : Sizes{{11, 103, 307}, 103};
}

// The rows in a comparable form: code, name, product, old code, product name.
QStringList listedRows(const CReportListCtrl& list)
{
    QStringList rows;
    rows.reserve(list.GetItemCount());
    for (int r = 0; r < list.GetItemCount(); ++r)
        rows.append(QStringList{list.GetItemText(r, 0), list.GetItemText(r, 1), list.GetItemText(r, 2),
                                list.GetItemText(r, 4), list.GetItemText(r, 3)}
                        .join(QChar(0x1f)));
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList rawRows(const raw::Cells& cells)
{
    QStringList rows;
    rows.reserve(qsizetype(cells.rows()));
    for (size_t r = 0; r < cells.rows(); ++r) {
        QStringList fields;
        for (int c = 0; c < cells.columns(); ++c)
            fields.append(QString::fromUtf8(cells.at(r, c)));
        rows.append(fields.join(QChar(0x1f)));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

struct PlainResult {
    qint64 rows = 0;
    double ours = -1;
    double raw = -1;
    double bytesPerRow = -1;      // ours, measured on the first search
    double rawBytesPerRow = -1;
    double oursSpread = -1;       // of the timed runs, in per cent
    double rawSpread = -1;
    QString select;               // the SELECT as the module built it
    QString error;
};

// Runs a search that lists nothing, so that what one search sets up once is in place before
// the memory of the empty window is taken.
bool searchForNothing(SearchWindow& window)
{
    return window.typeCell(kConditionList, 0, QStringLiteral("无此图号")) && window.find() >= 0
        && window.typeCell(kConditionList, 0, QString());
}

// A condition typed into one row of the condition list before the search.
struct TypedCondition {
    int row = -1;
    QString text;
};

PlainResult measurePlain(const Installation& installation, const BenchOptions& options, bool measureMemory,
                         const std::function<void(SearchWindow&)>& afterwards = {}, const TypedCondition& condition = {})
{
    PlainResult result;
    SearchWindow window(installation, QString::fromUtf8(kPage));
    if (!window.ok() || (measureMemory && !searchForNothing(window))
        || (condition.row >= 0 && !window.typeCell(kConditionList, condition.row, condition.text))) {
        result.error = window.error();
        return result;
    }
    StatementLog log;
    const qint64 emptyWindow = ResidentBytes();
    const double first = window.find();
    const qint64 listed = ResidentBytes();
    result.rows = window.results()->GetItemCount();
    if (first < 0 || !window.ok()) {
        result.error = window.error();
        return result;
    }
    if (window.status() != QStringLiteral("操作提示:共查到%1项记录").arg(result.rows)) {
        result.error = QStringLiteral("status line: ") + window.status();
        return result;
    }
    if (measureMemory && result.rows > 0)
        result.bytesPerRow = double(listed - emptyWindow) / double(result.rows);
    const QString select = log.statements().value(0);
    result.select = select;
    const QStringList ours = listedRows(*window.results());

    // Ours and raw take turns, so that a slower moment of the machine hits both. Every timed
    // search starts on an empty list, as the raw loop starts on empty memory; emptying the list
    // of the search before is measured on its own.
    const bool postgres = installation.sqlitePath.isEmpty();
    // The text the engine gets, as the database component adapts it.
    const QString engineSelect = AdaptSql(select, postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"));
    QList<double> times{first};
    QList<double> clearing;
    raw::Cells cells;
    QList<double> rawTimes;
    result.raw = MedianSeconds(options.repeats, [&] {
        if (times.size() < options.repeats) {
            const double start = raw::Now();
            window.results()->DeleteAllItems();
            clearing.append(raw::Now() - start);
            times.append(window.find());
        }
        cells = raw::Cells(5);
        const raw::Result run =
            postgres ? raw::PostgresPlainSearch(installation.conninfo.toStdString(), engineSelect.toStdString(),
                                                "SELECT ProductName FROM Product WHERE ProductDwgCode = $1", cells)
                     : raw::SqlitePlainSearch(installation.sqlitePath.toStdString(), engineSelect.toStdString(),
                                              "SELECT ProductName FROM Product WHERE ProductDwgCode = ?", cells);
        if (!run.ok())
            result.error = QString::fromStdString(run.error);
        return run.seconds;
    }, &rawTimes);
    result.ours = Median(times);
    result.oursSpread = Spread(times);
    result.rawSpread = Spread(rawTimes);
    if (!clearing.isEmpty())
        Note(QStringLiteral("emptying the list of %1 rows before a search: %2 ms")
                 .arg(result.rows)
                 .arg(Median(clearing) * 1e3, 0, 'f', 1));
    if (result.rows > 0)
        result.rawBytesPerRow = double(cells.bytes()) / double(result.rows);
    if (result.error.isEmpty() && ours != rawRows(cells))
        result.error = QStringLiteral("the window listed %1 rows, the raw loop read %2 (or they differ)")
                           .arg(ours.size())
                           .arg(cells.rows());
    if (result.error.isEmpty() && afterwards)
        afterwards(window);
    if (result.error.isEmpty() && !window.ok())
        result.error = window.error();
    return result;
}

// The title search's own target beside the plain loop; other per-row figures keep the looser one.
constexpr double kTitleSearchRatio = 1.3;
constexpr double kPerRowRatio = 1.5;

Figure perRow(const QString& name, const PlainResult& run, Limit limit, double target = kPerRowRatio)
{
    Figure f{name, run.rows, 0, 0, QStringLiteral("us/row"), limit, target, !run.error.isEmpty()};
    f.oursSpread = run.oursSpread;
    f.rawSpread = run.rawSpread;
    if (run.rows > 0) {
        f.ours = run.ours * 1e6 / double(run.rows);
        f.raw = run.raw * 1e6 / double(run.rows);
    }
    if (!run.error.isEmpty())
        Note(name + QStringLiteral(": ") + run.error);
    return f;
}

// The largest deviation from the mean, in per cent.
double spread(const QList<double>& values)
{
    if (values.isEmpty())
        return 0;
    double mean = 0;
    for (double v : values)
        mean += v / double(values.size());
    double worst = 0;
    for (double v : values)
        worst = std::max(worst, std::abs(v / mean - 1) * 100);
    return worst;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The list's header and cells as GBK C strings, the way a C program would hold them.
void gbkCells(const CReportListCtrl& list, raw::Cells& header, raw::Cells& rows)
{
    QStringEncoder gbk("GB18030");
    auto add = [&gbk](raw::Cells& cells, const QString& text) {
        const QByteArray bytes = gbk.encode(text);
        cells.add(bytes.constData(), size_t(bytes.size()));
    };
    header = raw::Cells(list.GetColumnCount());
    rows = raw::Cells(list.GetColumnCount());
    for (int c = 0; c < list.GetColumnCount(); ++c)
        add(header, list.model()->headerData(c, Qt::Horizontal).toString());
    for (int r = 0; r < list.GetItemCount(); ++r)
        for (int c = 0; c < list.GetColumnCount(); ++c)
            add(rows, list.GetItemText(r, c));
}

void measureExport(SearchWindow& window, const BenchOptions& options, BenchTable& table)
{
    const QString scratch = options.dataDir + QStringLiteral("/scratch");
    QDir().mkpath(scratch);
    raw::Cells header, cells;
    gbkCells(*window.results(), header, cells);
    const struct { int filter; const char* name; } formats[] = {{1, "export, comma-separated"},
                                                                 {2, "export, space-aligned"}};
    for (const auto& format : formats) {
        const QString path = scratch + QStringLiteral("/export-%1.txt").arg(format.filter);
        const QString rawPath = path + QStringLiteral(".raw");
        QString error;
        QList<double> ours;
        const double raw = MedianSeconds(options.repeats, [&] {
            ours.append(window.exportTo(path, format.filter));
            const raw::Result run =
                raw::WriteExport(rawPath.toStdString(), header, cells, format.filter == 2);
            if (!run.ok())
                error = QString::fromStdString(run.error);
            return run.seconds;
        });
        if (error.isEmpty())
            error = window.error();
        if (error.isEmpty() && (readFile(path) != readFile(rawPath) || readFile(path).isEmpty()))
            error = QStringLiteral("the exported file differs from the raw one");
        if (!error.isEmpty())
            Note(QString::fromUtf8(format.name) + QStringLiteral(": ") + error);
        table.add({QString::fromUtf8(format.name), window.results()->GetItemCount(), Median(ours) * 1e3, raw * 1e3,
                   QStringLiteral("ms"), Limit::Ratio, 1.5, !error.isEmpty()});
    }
}

// A program run to its end with its standard output in a file: its wall seconds, or -1 with
// *error saying why.
double processSeconds(const QString& program, const QStringList& arguments, const QString& outputFile, QString* error)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* name : {"ZQPDM_DB", "ZQPDM_HOME", "ZQPDM_SQL_TRACE", "ZQPDM_OLDCODE"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(outputFile);
    process.setStandardErrorFile(QProcess::nullDevice());
    const double start = raw::Now();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 failed (exit %2)").arg(QFileInfo(program).fileName()).arg(process.exitCode());
        return -1;
    }
    return raw::Now() - start;
}

qint64 lineCount(const QString& path)
{
    return readFile(path).count('\n');
}

QStringList toolArguments(const Installation& installation, const QStringList& actions)
{
    return QStringList{QStringLiteral("--home"), installation.home, QStringLiteral("--today"),
                       BenchToday().toString(Qt::ISODate), QStringLiteral("--page"), QString::fromUtf8(kPage)}
           + actions;
}

// From the program's start to the first action: zqpdm-search opens the page and describes it.
// The host tree holds only the products then, whatever the size of the database.
Figure measureStartUp(const Installation& installation, const BenchOptions& options)
{
    QString error;
    const QString sink = options.dataDir + QStringLiteral("/scratch/start-up.txt");
    QDir().mkpath(QFileInfo(sink).absolutePath());
    QList<double> runs;
    const double seconds = MedianSeconds(options.repeats, [&] {
        return processSeconds(BenchTool("zqpdm-search"), toolArguments(installation, {QStringLiteral("--describe")}), sink, &error);
    }, &runs);
    if (!error.isEmpty())
        Note(QStringLiteral("start-up: ") + error);
    Figure figure{QStringLiteral("start-up to the first action, zqpdm-search"), CountRows(installation, QStringLiteral("ZqlomiraAll_title")),
                  seconds * 1e3, 0, QStringLiteral("ms"), Limit::Ours, 40, !error.isEmpty() || seconds < 0};
    figure.oursSpread = Spread(runs);
    return figure;
}

// The title search as a whole process: zqpdm-search printing the list, against the plainest
// program that runs the engine's text of the same SELECT and prints the same lines, and against
// the same program keeping the rows as strings without printing them (the least a C program does).
QList<Figure> measureWholeProcess(const Installation& installation, const BenchOptions& options, const QString& moduleSelect)
{
    QString error;
    const QString scratch = options.dataDir + QStringLiteral("/scratch");
    QDir().mkpath(scratch);
    const QString oursOut = scratch + QStringLiteral("/whole-ours.tsv");
    const QString rawOut = scratch + QStringLiteral("/whole-raw.tsv");
    const QString keptOut = scratch + QStringLiteral("/whole-kept.txt");
    const QString select = AdaptSql(moduleSelect, QStringLiteral("QSQLITE"));
    const QStringList rawArguments{installation.sqlitePath, select,
                                   QStringLiteral("SELECT ProductName FROM Product WHERE ProductDwgCode = ?")};
    QList<double> ours, kept, printed;
    const double raw = MedianSeconds(options.repeats, [&] {
        ours.append(processSeconds(BenchTool("zqpdm-search"), toolArguments(installation, {}), oursOut, &error));
        kept.append(processSeconds(BenchTool("zq-raw-title-search"), rawArguments + QStringList{QStringLiteral("--keep")},
                                   keptOut, &error));
        return processSeconds(BenchTool("zq-raw-title-search"), rawArguments, rawOut, &error);
    }, &printed);
    const qint64 lines = lineCount(oursOut);
    const qint64 rows = std::max<qint64>(0, lines - 1);
    if (error.isEmpty() && lines != lineCount(rawOut))
        error = QStringLiteral("zqpdm-search printed %1 lines, the plain program %2").arg(lines).arg(lineCount(rawOut));
    if (error.isEmpty() && readFile(keptOut).trimmed().toLongLong() != rows)
        error = QStringLiteral("zqpdm-search printed %1 rows, the plain program kept %2").arg(rows).arg(QString::fromUtf8(readFile(keptOut).trimmed()));
    if (!error.isEmpty())
        Note(QStringLiteral("whole process: ") + error);
    const bool failed = !error.isEmpty() || Median(ours) < 0;
    Figure againstPrinting{QStringLiteral("title search, whole process, SQLite"), rows, Median(ours) * 1e3, raw * 1e3,
                           QStringLiteral("ms"), Limit::Ratio, 1.5, failed};
    againstPrinting.oursSpread = Spread(ours);
    againstPrinting.rawSpread = Spread(printed);
    Figure againstKeeping{QStringLiteral("title search, whole process / C keeping the rows"), rows, Median(ours) * 1e3,
                          Median(kept) * 1e3, QStringLiteral("ms"), Limit::Ratio, 3, failed || Median(kept) < 0};
    againstKeeping.oursSpread = Spread(ours);
    againstKeeping.rawSpread = Spread(kept);
    return {againstPrinting, againstKeeping};
}

} // namespace

void RunPlainSearchCases(const BenchOptions& options, BenchTable& table)
{
    const Sizes sizes = sizesFor(options.smoke);
    QList<double> ours, raw;
    qint64 mainTitles = -1;
    for (int scale : sizes.scales) {
        const Installation installation = SqliteInstallation(options.dataDir, scale);
        const bool main = scale == sizes.mainScale;
        PlainResult run;
        if (installation.ok()) {
            run = measurePlain(installation, options, main,
                               main ? std::function<void(SearchWindow&)>([&](SearchWindow& window) {
                                   measureExport(window, options, table);
                               })
                                    : std::function<void(SearchWindow&)>());
        } else {
            run.error = installation.error;
        }
        const Figure figure =
            perRow(QStringLiteral("title search, SQLite"), run, main ? Limit::Ratio : Limit::None, kTitleSearchRatio);
        table.add(figure);
        if (installation.ok())
            table.add(measureStartUp(installation, options));
        if (main && installation.ok() && !run.select.isEmpty())
            for (const Figure& whole : measureWholeProcess(installation, options, run.select))
                table.add(whole);
        if (main && installation.ok()) {
            // The engine's LIKE over every title row: ours, which folds every letter, against
            // SQLite's own in the raw loop ("40Cr", "20CrMnTi" among the materials).
            const PlainResult liked = measurePlain(installation, options, false, {}, {kMaterialRow, QStringLiteral("cr")});
            table.add(perRow(QStringLiteral("title search, a LIKE condition (材料 cr), SQLite"), liked, Limit::Ratio));
        }
        ours.append(figure.ours);
        raw.append(figure.raw);
        if (main) {
            mainTitles = CountRows(installation, QStringLiteral("ZqlomiraAll_title"));
            table.add({QStringLiteral("memory a listed row"), run.rows, run.bytesPerRow, run.rawBytesPerRow,
                       QStringLiteral("B/row"), Limit::Ours, 150, !run.error.isEmpty() || run.bytesPerRow < 0});
        }
    }
    table.add({QStringLiteral("title search, growth (deviation from the mean)"), 0, spread(ours), spread(raw),
               QStringLiteral("%"), Limit::Ours, 25, false});

    if (options.postgresAdmin.isEmpty()) {
        Note(QStringLiteral("ZQ_TEST_PG is not set: no PostgreSQL figures"));
        return;
    }
    const Installation pg =
        PostgresInstallation(options.dataDir, options.postgresAdmin, sizes.mainScale, mainTitles);
    PlainResult run;
    if (pg.ok())
        run = measurePlain(pg, options, false);
    else
        run.error = pg.error;
    table.add(perRow(QStringLiteral("title search, PostgreSQL"), run, Limit::Ratio, kTitleSearchRatio));
}

} // namespace zq::bench
