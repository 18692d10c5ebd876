// bench_scale: the module's speed and memory at scale, each figure beside a raw baseline
// measured on the same data in the same process, as one table. Exit 1 when a figure misses
// its target (or a run went wrong), 2 on a usage error.
//
//   bench_scale [--smoke] [--large | --web] [--data DIR] [--tsv FILE] [--repeats N] [--only LIST]
//
//   --smoke      small sizes and one run each: checks that every case runs and lists the same
//                rows as its baseline; timing targets are not checked
//   --large      only the large database's figures (ten million part-list lines on PostgreSQL,
//                many users at once, SQLite readers beside a writer); seeds it the first time
//   --web        only the web search under load: 50 users of zqpdm-web on the million-line
//                database, SQLite and PostgreSQL, a second apart and without pause
//   --data DIR   where the seeded installations are kept between runs (default: bench-data
//                beside the bin folder, i.e. build/bench-data)
//   --tsv FILE   also write the table as tab-separated values (bench/plot_growth.py reads it)
//   --repeats N  runs per figure, the median counts (default 5)
//   --only LIST  only these cases, comma-separated: search (title searches, memory, export),
//                structure, view, quick
// PostgreSQL figures need ZQ_TEST_PG (postgresql://user@host:port/db of a server the bench may
// create databases on); ./zq bench starts one.
#include "BenchTable.h"
#include "Cases.h"
#include "RuntimeFolderWarning.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <cstdio>

namespace {

int usage(const char* why)
{
    std::fprintf(stderr, "bench_scale: %s\nusage: bench_scale [--smoke] [--large | --web] [--data DIR] [--tsv FILE] [--repeats N] [--only LIST]\n",
                 why);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zq::console::DropRuntimeFolderWarning();
    QApplication app(argc, argv);

    zq::bench::BenchOptions options;
    options.dataDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data");
    options.postgresAdmin = qEnvironmentVariable("ZQ_TEST_PG");
    QString tsvPath;
    QStringList only;
    bool large = false;
    bool web = false;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--smoke") {
            options.smoke = true;
        } else if (arg == u"--large") {
            large = true;
        } else if (arg == u"--web") {
            web = true;
        } else if (arg == u"--data" && hasValue) {
            options.dataDir = args[++i];
        } else if (arg == u"--tsv" && hasValue) {
            tsvPath = args[++i];
        } else if (arg == u"--only" && hasValue) {
            only = args[++i].split(QLatin1Char(','));
        } else if (arg == u"--repeats" && hasValue) {
            options.repeats = args[++i].toInt();
            if (options.repeats < 1)
                return usage("--repeats takes a number from 1 on");
        } else {
            return usage(qPrintable(QStringLiteral("unknown argument ") + arg));
        }
    }
    if (large && web)
        return usage("--large and --web are measured apart");
    if (options.smoke) {
        options.repeats = 1;
        options.dataDir += QStringLiteral("/smoke");
    }
    options.dataDir = QDir::cleanPath(QDir(options.dataDir).absolutePath());
    QDir().mkpath(options.dataDir);

    // The large cases' smoke run needs a PostgreSQL server and PgBouncer; without them it is
    // skipped (77), not failed.
    if (large && options.smoke
        && (options.postgresAdmin.isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("pgbouncer"), {QStringLiteral("/usr/sbin")}).isEmpty())) {
        std::fprintf(stderr, "bench_scale: the large smoke run needs ZQ_TEST_PG and pgbouncer; skipped\n");
        return 77;
    }
    zq::bench::BenchTable table;
    const auto wanted = [&only](const char* name) { return only.isEmpty() || only.contains(QLatin1String(name)); };
    if (large) {
        zq::bench::RunLargeCases(options, table);
    } else if (web) {
        zq::bench::RunWebLoadCase(options, table);
    } else {
        if (wanted("search"))
            zq::bench::RunPlainSearchCases(options, table);
        if (wanted("structure"))
            zq::bench::RunStructureCase(options, table);
        if (wanted("view"))
            zq::bench::RunViewCase(options, table);
        if (wanted("quick"))
            zq::bench::RunQuickSearchCase(options, table);
    }

    const bool checkTargets = !options.smoke;
    std::printf("%s", qPrintable(table.text(checkTargets)));
    // The load figures are one run each, long enough to hold many searches.
    const QString runs = web ? QStringLiteral("one run each") : QStringLiteral("medians of %1 runs").arg(options.repeats);
    std::printf("(%s; %s; %d cores)\n",
                options.smoke ? "smoke run, targets not checked" : large ? "large database" : web ? "web search under load" : "all sizes",
                qPrintable(runs), QThread::idealThreadCount());
    if (!tsvPath.isEmpty()) {
        QFile tsv(tsvPath);
        if (!tsv.open(QIODevice::WriteOnly | QIODevice::Truncate) || tsv.write(table.tsv().toUtf8()) < 0)
            std::fprintf(stderr, "bench_scale: cannot write %s\n", qPrintable(tsvPath));
    }
    return table.allMet(checkTargets) ? 0 : 1;
}
