// The web search under load: 50 web users of zqpdm-web on the million-line database, first at a
// person's pace (a second between an answer and the next search), then without any pause, to
// show where the server saturates; on SQLite and on PostgreSQL. The server runs as it ships:
// one search process a worker, one worker a core.
#include "BenchData.h"
#include "Cases.h"
#include "WebLoad.h"

#include "Seeder.h"

#include <QSqlError>
#include <QSqlQuery>

namespace zq::bench {

namespace {

// pdm-seed --scale 958: about a million part-list lines.
constexpr int kWebScale = 958;
constexpr int kSmokeScale = 3;
constexpr int kUsers = 50;
constexpr int kSmokeUsers = 3;
constexpr double kPacedSeconds = 60;
constexpr double kSaturatedSeconds = 30;
constexpr double kSmokeSeconds = 3;
// A quick search's answer at a person's pace on PostgreSQL, 95 of 100 within it.
constexpr double kQuickP95Target = 300;

void addFigures(BenchTable& table, const QString& name, const WebLoadFigures& load, bool quickTarget)
{
    for (const QString& sample : load.errorSamples)
        Note(name + QStringLiteral(", answered: ") + sample);
    table.add({name + QStringLiteral(": searches a second"), load.searches, load.perSecond, 0, QStringLiteral("/s"),
               Limit::None, 0, false});
    for (auto it = load.kinds.begin(); it != load.kinds.end(); ++it) {
        const QString kind = name + QStringLiteral(", ") + it.key();
        const WebKindFigures& figures = it.value();
        const bool none = figures.p50 < 0;
        const bool targeted = quickTarget && it.key() == u"quick search";
        if (figures.listedNothing > 0)
            Note(QStringLiteral("%1: %2 of %3 listed nothing").arg(kind).arg(figures.listedNothing).arg(figures.searches));
        table.add({kind + QStringLiteral(": p50"), figures.searches, figures.p50, 0, QStringLiteral("ms"), Limit::None, 0, none});
        table.add({kind + QStringLiteral(": p95"), figures.searches, figures.p95, 0, QStringLiteral("ms"),
                   targeted ? Limit::Ours : Limit::None, targeted ? kQuickP95Target : 0, none});
        table.add({kind + QStringLiteral(": p99"), figures.searches, figures.p99, 0, QStringLiteral("ms"), Limit::None, 0, none});
    }
    // An answer other than 200 fails the smoke run too: the requests themselves are wrong.
    table.add({name + QStringLiteral(": errors"), load.searches, double(load.errors), 0, QString(), Limit::Ours, 0,
               load.errors > 0});
    table.add({name + QStringLiteral(": server's peak memory (with its search processes)"), 0,
               double(load.peakMemoryBytes) / (1024.0 * 1024.0), 0, QStringLiteral("MiB"), Limit::None, 0,
               load.peakMemoryBytes <= 0});
}

void measureOn(const BenchOptions& options, BenchTable& table, const Installation& installation, const QString& engine)
{
    const QString label = QStringLiteral("web, %1 users").arg(options.smoke ? kSmokeUsers : kUsers);
    if (!installation.ok()) {
        Note(QStringLiteral("web load, %1: %2").arg(engine, installation.error));
        table.add({label + QStringLiteral(", ") + engine, 0, -1, 0, QString(), Limit::None, 0, true});
        return;
    }
    WebServerProcess server;
    QString error;
    const QString log = QStringLiteral("%1/web-load-%2.log").arg(options.dataDir, engine.toLower());
    if (!server.start(installation, log, &error)) {
        Note(QStringLiteral("web load, %1: %2").arg(engine, error));
        table.add({label + QStringLiteral(", ") + engine, 0, -1, 0, QString(), Limit::None, 0, true});
        return;
    }
    WebLoadRun run;
    run.port = server.port();
    run.serverPid = server.pid();
    run.users = options.smoke ? kSmokeUsers : kUsers;
    run.products = options.smoke ? kSmokeScale - 1 : kWebScale - 1;
    run.quickSearch = ServesQuickSearch(run.port);
    if (!run.quickSearch)
        Note(QStringLiteral("web load: zqpdm-web has no quick search (GET /api/quick answers 404): tab searches only"));
    Note(QStringLiteral("web load, %1: %2 users a second apart, the server's log in %3").arg(engine).arg(run.users).arg(log));
    run.seconds = options.smoke ? kSmokeSeconds : kPacedSeconds;
    run.pauseSeconds = 1;
    addFigures(table, QStringLiteral("%1 1 s apart, %2").arg(label, engine), RunWebLoad(run),
               engine == u"PostgreSQL");
    Note(QStringLiteral("web load, %1: %2 users without pause").arg(engine).arg(run.users));
    run.seconds = options.smoke ? kSmokeSeconds : kSaturatedSeconds;
    run.pauseSeconds = 0;
    addFigures(table, QStringLiteral("%1 without pause, %2").arg(label, engine), RunWebLoad(run), false);
}

// The trigram indexes docs/postgresql.md has a large database given, which a PostgreSQL
// installation for many users has; each statement keeps an index already there.
Installation withTrigramIndexes(Installation installation)
{
    if (!installation.ok())
        return installation;
    QString failed;
    const QString error = WithPostgres(installation.databaseUrl, [&failed](QSqlDatabase& db) {
        for (const QString& sql : seed::TrigramIndexStatements()) {
            QSqlQuery query(db);
            if (!query.exec(sql) && failed.isEmpty())
                failed = query.lastError().text();
        }
    });
    installation.error = error.isEmpty() ? failed : error;
    return installation;
}

} // namespace

void RunWebLoadCase(const BenchOptions& options, BenchTable& table)
{
    const int scale = options.smoke ? kSmokeScale : kWebScale;
    const Installation sqlite = SqliteInstallation(options.dataDir, scale);
    measureOn(options, table, sqlite, QStringLiteral("SQLite"));
    if (options.postgresAdmin.isEmpty()) {
        Note(QStringLiteral("ZQ_TEST_PG is not set: no PostgreSQL figures of the web load"));
        return;
    }
    const qint64 titles = sqlite.ok() ? CountRows(sqlite, QStringLiteral("ZqlomiraAll_title")) : -1;
    measureOn(options, table,
              withTrigramIndexes(PostgresInstallation(options.dataDir, options.postgresAdmin, scale, titles)),
              QStringLiteral("PostgreSQL"));
}

} // namespace zq::bench
