// The module on a large PostgreSQL database: ten million part-list lines and a million drawings
// (pdm-seed --scale 9580), seeded once and kept. Each figure goes through the real pages.
//
//   - a selective search on the part list (a drawing-number fragment matching 84 lines) at three
//     sizes, with the trigram indexes and without them, beside the same statement in psql
//     (\timing). "Without" is the same database with bitmap scans turned off for the session
//     (PGOPTIONS): a GIN index is only ever read by a bitmap scan, so the planner then reads the
//     table as it would with no trigram index, and the data need not be seeded twice;
//   - the quick search of a code fragment over every kind, and its suggestions (LargeQuickCase);
//   - a plain title search listing every drawing (dates from eleven years back): time to the
//     first rows in the list and to the status line, memory a row, and what the ORDER BY that
//     the database component adds to a DISTINCT costs at that size;
//   - many users at once: client processes, each with its own connection, searching a mix of
//     tabs for a while, against the server and then through PgBouncer in transaction mode;
//   - SQLite: readers beside a writer, in WAL mode and in the default rollback-journal mode.
#include "Cases.h"

#include "BenchData.h"
#include "ConnectionUrl.h"
#include "LoadHarness.h"
#include "LoadMix.h"
#include "LargeQuickCase.h"
#include "ListCtrl.h"
#include "PsqlTiming.h"
#include "RawBaselines.h"
#include "SearchWindow.h"
#include "ZQDBConnect.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <sqlite3.h>

namespace zq::bench {

namespace {

constexpr int kConditionKind = 1256;   // 标题 / 明细
constexpr int kConditionGrid = 1318;
constexpr int kFromDate = 1204;
const char* const kPartPage = "设计零部件";

struct LargeSizes {
    QList<int> scales;   // the last is the large one
    int loadClients;
    double loadSeconds;
    int sqliteReaders;
    double sqliteSeconds;
    int sqliteScale;
};

LargeSizes sizesFor(bool smoke)
{
    return smoke ? LargeSizes{{3, 6}, 4, 3, 2, 3, 3} : LargeSizes{{958, 2874, 9580}, 50, 60, 8, 30, 103};
}

QString millions(qint64 n)
{
    return n >= 1000000 ? QStringLiteral("%1M").arg(double(n) / 1e6, 0, 'f', 1) : QString::number(n);
}

double medianPsql(const BenchOptions& options, const Installation& installation, const QString& sql,
                  const QString& pgOptions)
{
    return MedianSeconds(options.repeats, [&] { return PsqlMilliseconds(installation, {sql}, pgOptions) / 1e3; }) * 1e3;
}

// PGOPTIONS for the module's connections while the object lives.
class SessionOptions {
public:
    explicit SessionOptions(const QString& options) : m_before(qgetenv("PGOPTIONS"))
    {
        qputenv("PGOPTIONS", options.toUtf8());
    }
    ~SessionOptions()
    {
        if (m_before.isEmpty())
            qunsetenv("PGOPTIONS");
        else
            qputenv("PGOPTIONS", m_before);
    }
    SessionOptions(const SessionOptions&) = delete;
    SessionOptions& operator=(const SessionOptions&) = delete;

private:
    QByteArray m_before;
};

const QString kNoBitmapScans = QStringLiteral("-c enable_bitmapscan=off");

// The part-list search for one product's first-level assemblies and all below them.
void measureSelective(const BenchOptions& options, const Installation& installation, int scale, BenchTable& table)
{
    const qint64 lines = CountRows(installation, QStringLiteral("ZqlomiraAll_detail"));
    const QString fragment = QStringLiteral("ZQG%1-0").arg(std::max(1, scale / 2), 4, 10, QLatin1Char('0'));
    for (const bool indexed : {true, false}) {
        SessionOptions session(indexed ? QString() : kNoBitmapScans);
        SearchWindow window(installation, QString::fromUtf8(kPartPage));
        StatementLog log;
        const bool ready = window.ok() && window.set(kConditionKind, QStringLiteral("1"))
                           && window.typeCell(kConditionGrid, 0, fragment);
        const double ours = ready ? MedianSeconds(options.repeats, [&] { return window.find(); }) * 1e3 : -1;
        const qint64 rows = window.results() ? window.results()->GetItemCount() : 0;
        const QString select = log.statements().value(0);
        const double psql = select.isEmpty() ? -1
                                             : medianPsql(options, installation, AdaptSql(select, QStringLiteral("QPSQL")),
                                                          indexed ? QString() : kNoBitmapScans);
        if (!window.ok())
            Note(QStringLiteral("selective search: ") + window.error());
        const QString name = QStringLiteral("part-list search, %1 of %2 lines, %3")
                                 .arg(rows)
                                 .arg(millions(lines), indexed ? QStringLiteral("trigram") : QStringLiteral("no index"));
        table.add({name, lines, ours, psql, QStringLiteral("ms"), indexed ? Limit::Ours : Limit::None, 100,
                   !window.ok() || ours < 0 || rows <= 0});
    }
}

// Every drawing listed: the first rows, the status line, memory, and the ORDER BY's cost.
void measureListing(const BenchOptions& options, const Installation& installation, BenchTable& table)
{
    SearchWindow window(installation, QString::fromUtf8(kPartPage));
    StatementLog log;
    const QString from = BenchToday().addYears(-11).toString(Qt::ISODate);
    // One search that lists nothing first, so that what a search sets up once is in place.
    bool ready = window.ok() && window.set(kFromDate, from) && window.typeCell(kConditionGrid, 0, QStringLiteral("无此图号"))
                 && window.find() >= 0 && window.typeCell(kConditionGrid, 0, QString());
    const qint64 before = ResidentBytes();
    log.clear();
    double firstRows = -1;
    const double total = ready ? window.find(&firstRows) : -1;
    const qint64 after = ResidentBytes();
    const qint64 rows = window.results() ? window.results()->GetItemCount() : 0;
    const QString select = log.statements().value(0);
    ready = ready && window.ok() && rows > 0 && !select.isEmpty();
    if (!window.ok())
        Note(QStringLiteral("listing: ") + window.error());

    // The raw read of the same rows, each product's name remembered.
    const QString engineSelect = AdaptSql(select, QStringLiteral("QPSQL"));
    raw::Cells cells(5);
    const raw::Result rawRun =
        ready ? raw::PostgresPlainSearch(installation.conninfo.toStdString(), engineSelect.toStdString(),
                                         "SELECT ProductName FROM Product WHERE ProductDwgCode = $1", cells)
              : raw::Result{};
    if (!rawRun.error.empty())
        Note(QStringLiteral("listing, raw: ") + QString::fromStdString(rawRun.error));
    table.add({QStringLiteral("drawings listed, first rows in the list"), rows, firstRows * 1e3, rawRun.seconds * 1e3,
               QStringLiteral("ms"), Limit::Ours, 500, !ready || firstRows < 0});
    table.add({QStringLiteral("drawings listed, to the status line"), rows, total * 1e3, rawRun.seconds * 1e3,
               QStringLiteral("ms"), Limit::None, 0, !ready});
    table.add({QStringLiteral("drawings listed, memory a row"), rows, rows > 0 ? double(after - before) / double(rows) : -1,
               cells.rows() > 0 ? double(cells.bytes()) / double(cells.rows()) : -1, QStringLiteral("B/row"), Limit::Ours,
               250, !ready});
    // The module's DISTINCT as it wrote it against the engine's text with the ORDER BY.
    const double ordered = ready ? medianPsql(options, installation, engineSelect, QString()) : -1;
    // The module's own text has no ORDER BY: the one at the end is the component's.
    const QString unorderedSelect = engineSelect.left(engineSelect.lastIndexOf(QStringLiteral(" ORDER BY ")));
    const double unordered = ready ? medianPsql(options, installation, unorderedSelect, QString()) : -1;
    table.add({QStringLiteral("drawings listed, psql with the added ORDER BY / without"), rows, ordered, unordered,
               QStringLiteral("ms"), Limit::None, 0, ordered < 0 || unordered < 0});
}

void addLoadFigures(const QString& label, const LoadFigures& load, int clients, BenchTable& table)
{
    if (!load.ok())
        Note(label + QStringLiteral(": ") + load.error);
    for (const QString& sample : load.errorSamples)
        Note(label + QStringLiteral(", told: ") + sample);
    const bool failed = !load.ok();
    const QString name = QStringLiteral("load, %1 %2").arg(clients).arg(label);
    table.add({name + QStringLiteral(": searches a second"), load.searches, load.perSecond, 0, QStringLiteral("/s"),
               Limit::None, 0, failed});
    table.add({name + QStringLiteral(": p50"), load.searches, load.p50, 0, QStringLiteral("ms"), Limit::None, 0, failed});
    table.add({name + QStringLiteral(": p95"), load.searches, load.p95, 0, QStringLiteral("ms"), Limit::None, 0, failed});
    table.add({name + QStringLiteral(": p99"), load.searches, load.p99, 0, QStringLiteral("ms"), Limit::None, 0, failed});
    table.add({name + QStringLiteral(": errors"), load.searches, double(load.errors), 0, QString(), Limit::Ours, 0, failed});
    if (load.maxServerConnections >= 0)
        table.add({name + QStringLiteral(": server connections"), 0, double(load.maxServerConnections), 0, QString(),
                   Limit::None, 0, failed});
    const double cpu = std::max(0.0, load.serverCpu) + std::max(0.0, load.poolerCpu) + std::max(0.0, load.clientCpu);
    if (load.serverCpu >= 0 && cpu > 0)
        table.add({name + QStringLiteral(": server's share of CPU"), 0, 100 * load.serverCpu / cpu, 0,
                   QStringLiteral("%"), Limit::None, 0, failed});
    if (load.poolerCpu >= 0 && cpu > 0)
        table.add({name + QStringLiteral(": pooler's share of CPU"), 0, 100 * load.poolerCpu / cpu, 0,
                   QStringLiteral("%"), Limit::None, 0, failed});
    if (load.writes > 0)
        table.add({name + QStringLiteral(": writer's failed transactions"), load.writes, double(load.writeErrors), 0,
                   QString(), Limit::None, 0, failed});
    if (label.contains(QStringLiteral("SQLite")))
        table.add({name + QStringLiteral(": \"database is locked\" told"), load.searches, double(load.lockedMessages), 0,
                   QString(), label.contains(QStringLiteral("WAL")) ? Limit::Ours : Limit::None, 0, failed});
}

void measureLoad(const BenchOptions& options, const LargeSizes& sizes, const Installation& installation, int scale,
                 BenchTable& table)
{
    const QString database = QUrl(installation.databaseUrl).path().mid(1);
    LoadRun run;
    run.installation = installation;
    run.clients = sizes.loadClients;
    run.seconds = sizes.loadSeconds;
    run.products = scale - 1;
    run.serverAdminUrl = options.postgresAdmin;
    run.serverDatabase = database;
    run.scratch = options.dataDir + QStringLiteral("/scratch");
    addLoadFigures(QStringLiteral("clients, PostgreSQL"), RunLoad(run), run.clients, table);

    PgBouncer bouncer;
    QString error;
    if (!bouncer.start(options.postgresAdmin, options.dataDir + QStringLiteral("/pgbouncer"), 20, &error)) {
        Note(QStringLiteral("no pooled figures: ") + error);
        table.add({QStringLiteral("load through PgBouncer"), 0, -1, 0, QString(), Limit::None, 0, true});
        return;
    }
    run.installation.databaseUrl = bouncer.url(database);
    run.poolerPid = bouncer.pid();
    addLoadFigures(QStringLiteral("clients, PgBouncer (transaction mode, 20 server connections)"), RunLoad(run),
                   run.clients, table);
}

// A copy of an SQLite installation's database in the journal mode asked for.
QString sqliteCopy(const Installation& installation, const QString& folder, const char* journalMode, QString* error)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/pdm.db");
    if (!QFile::copy(installation.sqlitePath, path)) {
        *error = QStringLiteral("cannot copy ") + installation.sqlitePath;
        return QString();
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const QByteArray pragma = QByteArray("PRAGMA journal_mode=") + journalMode;
    if (sqlite3_exec(db, pragma.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return path;
}

void measureSqliteReaders(const BenchOptions& options, const LargeSizes& sizes, BenchTable& table)
{
    const Installation source = SqliteInstallation(options.dataDir, sizes.sqliteScale);
    if (!source.ok()) {
        Note(QStringLiteral("SQLite readers: ") + source.error);
        return;
    }
    for (const char* mode : {"WAL", "DELETE"}) {
        QString error;
        const QString path = sqliteCopy(source, options.dataDir + QStringLiteral("/scratch/sqlite-load"), mode, &error);
        if (!error.isEmpty()) {
            Note(QStringLiteral("SQLite readers: ") + error);
            continue;
        }
        LoadRun run;
        run.installation = source;
        run.installation.databaseUrl = QStringLiteral("sqlite:") + path;
        run.clients = sizes.sqliteReaders;
        run.seconds = sizes.sqliteSeconds;
        run.products = sizes.sqliteScale - 1;
        run.sqliteWriterPath = path;
        run.scratch = options.dataDir + QStringLiteral("/scratch");
        const QString label = QStringLiteral("readers and a writer, SQLite %1").arg(
            qstrcmp(mode, "WAL") == 0 ? QStringLiteral("WAL") : QStringLiteral("rollback journal"));
        addLoadFigures(label, RunLoad(run), run.clients, table);
    }
}

} // namespace

void RunLargeCases(const BenchOptions& options, BenchTable& table)
{
    if (options.postgresAdmin.isEmpty()) {
        Note(QStringLiteral("ZQ_TEST_PG is not set: no large figures"));
        table.add({QStringLiteral("large database (PostgreSQL)"), 0, -1, 0, QString(), Limit::None, 0, true});
        return;
    }
    const LargeSizes sizes = sizesFor(options.smoke);
    Installation largest;
    for (int scale : sizes.scales) {
        const Installation installation = LargePostgresInstallation(options.dataDir, options.postgresAdmin, scale);
        if (!installation.ok()) {
            Note(QStringLiteral("large database: ") + installation.error);
            table.add({QStringLiteral("large database, scale %1").arg(scale), 0, -1, 0, QString(), Limit::None, 0, true});
            return;
        }
        measureSelective(options, installation, scale, table);
        largest = installation;
    }
    measureListing(options, largest, table);
    RunLargeQuickSearch(options, largest, sizes.scales.last(), table);
    measureLoad(options, sizes, largest, sizes.scales.last(), table);
    measureSqliteReaders(options, sizes, table);
    Note(QStringLiteral("tabs left out of the load mix: ") + TabsLeftOutOfTheLoadMix().join(QStringLiteral("; ")));
}

} // namespace zq::bench
