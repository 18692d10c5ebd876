// bench_content: the content index at the size of a real archive, each figure beside a raw
// baseline measured in the same run, as one table (the layout of bench_scale's). Exit 1 when a
// figure misses its target (or a run went wrong), 2 on a usage error.
//
//   bench_content [--smoke] [--data DIR] [--repeats N]
//
//   --smoke      300 documents, 30 files to index, one run each; targets not checked
//   --data DIR   where the synthetic archive, its index and the installation are kept between runs
//                (default: build/bench-data)
//   --repeats N  runs per figure, the median counts (default 5)
//
// Figures: the search of the page 文档内容 on an index of 10,000 documents, for a three-character
// word in 1% and in 20% of them and a two-character word (a scan), against the same SQL on the
// sqlite3 C API (target: under 50 ms for three characters); the same on PostgreSQL (pg_trgm) when
// ZQ_TEST_PG names a server (target: under 100 ms); the index's size against the text's (SQLite:
// at most 2.5 times); indexing the demo's kinds of
// files (PDF, Office, DXF, text) through zqpdm-index's whole run, against extracting them alone.
#include "BenchData.h"
#include "BenchTable.h"
#include "Cases.h"
#include "ContentCorpus.h"
#include "ContentIndexer.h"
#include "ContentSql.h"
#include "DialogTemplate.h"
#include "HostDatabase.h"
#include "HostInstallation.h"
#include "ListCtrl.h"
#include "RuntimeFolderWarning.h"
#include "ScriptedDesktop.h"
#include "SqliteSearchFunctions.h"
#include "TextExtraction.h"
#include "ZQPDMSearchContent.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <sqlite3.h>

using namespace zq::bench;

namespace {

constexpr double kQueryTargetMs = 50;
constexpr double kServerQueryTargetMs = 100;   // PostgreSQL, a round trip and a cursor more
constexpr double kSqliteIndexSizeRatio = 2.5;  // the SQLite index against the text it holds

struct Options {
    QString dataDir;
    QString postgresAdmin;
    bool smoke = false;
    int repeats = 5;
    int documents = 10000;
    int rateFiles = 300;
};

int usage(const QString& why)
{
    std::fprintf(stderr, "bench_content: %s\nusage: bench_content [--smoke] [--data DIR] [--repeats N]\n", qPrintable(why));
    return 2;
}

// The page as the user has it: a search of the words, the list filled; milliseconds and rows.
double PageSearchMs(const QString& words, int* rows)
{
    QWidget host;
    auto* page = new CZQPDMSearchContent(&host);
    if (!page->CreatePage(&host))
        return -1;
    zq::SetControlText(*page, CZQPDMSearchContent::IDC_WORDS, words);
    page->DoSearch();   // the index opened and its pages read once, as by the first search of a day
    QElapsedTimer clock;
    clock.start();
    if (page->DoSearch() != 1)
        return -1;
    const double ms = clock.nsecsElapsed() / 1e6;
    *rows = page->GetResultList()->GetItemCount();
    return ms;
}

// The same SQL on the sqlite3 C API, every field of every row read as text.
double RawSqliteMs(const QString& path, const QString& sql, int* rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    // The index's tokenizer and the folding search functions the SQL calls.
    zq::db::RegisterSearchFunctions(db);
    double ms = -1;
    sqlite3_stmt* statement = nullptr;
    QElapsedTimer clock;
    clock.start();
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK) {
        int count = 0;
        size_t bytes = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                sqlite3_column_text(statement, c);
                bytes += size_t(sqlite3_column_bytes(statement, c));
            }
            ++count;
        }
        ms = clock.nsecsElapsed() / 1e6;
        *rows = count;
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return ms;
}

void QueryFigures(const Options& options, const QString& engine, const QString& indexUrl, const QString& sqlitePath,
                  BenchTable& table)
{
    qputenv("ZQPDM_INDEX", indexUrl.toUtf8());
    const struct {
        QString name;
        QString words;
        bool targeted;
    } searches[] = {
        {QStringLiteral("three characters in 1%"), kRareWord, true},
        {QStringLiteral("three characters in 20%"), kCommonWord, true},
        {QStringLiteral("two characters in 20% (scan)"), kShortWord, false},
    };
    for (const auto& search : searches) {
        Figure figure;
        figure.name = QStringLiteral("content search %1, %2").arg(engine, search.name);
        figure.unit = QStringLiteral("ms");
        int rows = -1;
        QList<double> oursRuns;
        for (int i = 0; i < options.repeats; ++i)
            oursRuns.append(PageSearchMs(search.words, &rows));
        figure.ours = Median(oursRuns);
        figure.oursSpread = Spread(oursRuns);
        figure.rows = rows;
        if (!sqlitePath.isEmpty()) {
            zq::content::ContentConditions conditions;
            conditions.words = search.words;
            const QString sql = zq::content::BuildContentSql(conditions, zq::sql::Dbms::Sqlite).sql;
            int rawRows = -1;
            QList<double> runs;
            for (int i = 0; i < options.repeats; ++i)
                runs.append(RawSqliteMs(sqlitePath, sql, &rawRows));
            figure.raw = Median(runs);
            figure.rawSpread = Spread(runs);
            if (rawRows != rows) {
                Note(QStringLiteral("%1: the page listed %2 rows, the C API %3").arg(figure.name).arg(rows).arg(rawRows));
                figure.failed = true;
            }
        }
        const int expected = search.words == kRareWord ? (options.documents + kRareEvery - 1) / kRareEvery
                                                       : (options.documents + kCommonEvery - 1) / kCommonEvery;
        if (rows != expected) {
            Note(QStringLiteral("%1: %2 rows listed, %3 expected").arg(figure.name).arg(rows).arg(expected));
            figure.failed = true;
        }
        if (figure.ours < 0)
            figure.failed = true;
        if (search.targeted) {
            figure.limit = Limit::Ours;
            figure.target = engine == u"SQLite" ? kQueryTargetMs : kServerQueryTargetMs;
        }
        table.add(figure);
    }
}

qint64 PostgresIndexBytes(const QString& indexUrl)
{
    qint64 bytes = -1;
    WithPostgres(indexUrl, [&](QSqlDatabase& db) {
        QSqlQuery size(db);
        if (size.exec(QStringLiteral("SELECT pg_total_relation_size('contentfile')")) && size.next())
            bytes = size.value(0).toLongLong();
    });
    return bytes;
}

void SizeFigure(const QString& engine, qint64 indexBytes, qint64 textBytes, int documents, BenchTable& table)
{
    Figure figure;
    figure.name = QStringLiteral("content index size %1 (raw: the text, UTF-8)").arg(engine);
    figure.rows = documents;
    figure.unit = QStringLiteral("MB");
    figure.ours = indexBytes / 1048576.0;
    figure.raw = textBytes / 1048576.0;
    figure.failed = indexBytes <= 0;
    if (engine == u"SQLite") {
        figure.limit = Limit::Ratio;
        figure.target = kSqliteIndexSizeRatio;
    }
    table.add(figure);
}

// The stored files to index: copies of the demo's files of every kind the indexer reads, each
// listed as an archived document, in an installation of their own.
QString RateInstallation(const Options& options, QStringList* files, QString* error)
{
    const Installation demo = SqliteInstallation(options.dataDir, 1);
    if (!demo.ok()) {
        *error = demo.error;
        return QString();
    }
    const QString home = options.dataDir + QStringLiteral("/content/rate-%1").arg(options.rateFiles);
    const QString store = home + QStringLiteral("/ftpstore/Zq/Proven/BENCH");
    QStringList samples;
    for (QDirIterator it(demo.home + QStringLiteral("/ftpstore/Zq/Proven"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        if (zq::extract::FileTypeOf(path) != zq::extract::FileType::Other)
            samples.append(path);
    }
    samples.sort();
    if (samples.isEmpty()) {
        *error = QStringLiteral("the demo has no files of a type the indexer reads");
        return QString();
    }
    // Made again when the demo it copies was seeded again.
    const QFileInfo mark(home + QStringLiteral("/.rate-done"));
    const bool made = mark.exists() && mark.lastModified() >= QFileInfo(demo.sqlitePath).lastModified();
    if (!made) {
        QDir(home).removeRecursively();
        QDir().mkpath(home);
        // The demo's installation files and database, and the copies.
        for (const QString& name : {QStringLiteral("Support"), QStringLiteral("rnds"), QStringLiteral("sys")}) {
            for (QDirIterator it(demo.home + u'/' + name, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
                const QString from = it.next();
                const QString to = home + from.mid(demo.home.size());
                QDir().mkpath(QFileInfo(to).absolutePath());
                QFile::copy(from, to);
            }
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-rate"));
        db.setDatabaseName(home + QStringLiteral("/pdm.db"));
        QFile::copy(demo.sqlitePath, home + QStringLiteral("/pdm.db"));
        if (!db.open()) {
            *error = QStringLiteral("cannot open %1/pdm.db").arg(home);
            return QString();
        }
        db.transaction();
        QSqlQuery clear(db);
        clear.exec(QStringLiteral("DELETE FROM Documents"));
        clear.exec(QStringLiteral("DELETE FROM TaskDocuments"));
        clear.exec(QStringLiteral("DELETE FROM TeamWorkResult"));
        clear.exec(QStringLiteral("DELETE FROM EngineerViewDoc"));
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO Documents (ProductDwgCode, Code, RevNumber, DocumentType, FileName, "
                                      "FileBulk, FileType, FileDate, FileRemark) VALUES ('BENCH', ?, 'A', ?, ?, ?, '', "
                                      "'2026-12-01 10:00:00', '')"));
        for (int i = 0; i < options.rateFiles; ++i) {
            const QString sample = samples.at(i % samples.size());
            const QString code = QStringLiteral("R-%1").arg(i, 5, 10, QLatin1Char('0'));
            const QString name = QFileInfo(sample).fileName();
            QDir().mkpath(store + u'/' + code + QStringLiteral("/A"));
            QFile::copy(sample, store + u'/' + code + QStringLiteral("/A/") + name);
            insert.addBindValue(code);
            insert.addBindValue(QStringLiteral("样本 %1").arg(i));
            insert.addBindValue(name);
            insert.addBindValue(QFileInfo(sample).size());
            insert.exec();
        }
        db.commit();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bench-rate"));
        QFile mark(home + QStringLiteral("/.rate-done"));
        mark.open(QIODevice::WriteOnly);
    }
    for (QDirIterator it(store, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files->append(it.next());
    return home;
}

void RateFigures(const Options& options, BenchTable& table)
{
    QString error;
    QStringList files;
    const QString home = RateInstallation(options, &files, &error);
    Figure run;
    run.name = QStringLiteral("zqpdm-index whole run, files of the demo's kinds (raw: extracting alone)");
    run.unit = QStringLiteral("s");
    run.rows = files.size();
    if (home.isEmpty()) {
        Note(error);
        run.failed = true;
        table.add(run);
        return;
    }
    qint64 bytes = 0;
    for (const QString& file : files)
        bytes += QFileInfo(file).size();

    zq::host::UseInstallation(home);
    qputenv("ZQPDM_DB", QStringLiteral("sqlite:%1/pdm.db").arg(home).toUtf8());
    qputenv("ZQPDM_FTP", QUrl::fromLocalFile(home + QStringLiteral("/ftpstore")).toString().toUtf8());
    zq::host::HostDatabase database;
    if (!database.open()) {
        Note(database.error());
        run.failed = true;
        table.add(run);
        return;
    }
    const QString index = home + QStringLiteral("/content-index.db");
    zq::index::IndexRunOptions indexOptions;
    indexOptions.indexUrl = QStringLiteral("sqlite:") + index;
    indexOptions.worker =
        zq::index::IndexWorkerSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/zqpdm-index"));
    QList<double> runs, extracts;
    for (int i = 0; i < options.repeats; ++i) {
        for (const QString& stale : {index, index + QStringLiteral("-wal"), index + QStringLiteral("-shm")})
            QFile::remove(stale);
        QElapsedTimer clock;
        clock.start();
        const zq::index::IndexRunReport report = zq::index::ContentIndexer(indexOptions).run();
        runs.append(report.upToDate() && report.added == files.size() ? clock.nsecsElapsed() / 1e9 : -1);
        if (!report.upToDate())
            Note(QStringLiteral("zqpdm-index: %1 %2").arg(report.fatal).arg(report.failures.size()));
        clock.restart();
        bool extracted = true;
        for (const QString& file : files)
            extracted = zq::extract::ExtractText(file).ok && extracted;
        extracts.append(extracted ? clock.nsecsElapsed() / 1e9 : -1);
    }
    run.ours = Median(runs);
    run.raw = Median(extracts);
    run.failed = run.ours < 0 || run.raw < 0;
    table.add(run);

    Figure rate;
    rate.name = QStringLiteral("zqpdm-index files a second (raw: extracting alone)");
    rate.unit = QStringLiteral("files/s");
    rate.rows = files.size();
    rate.ours = run.ours > 0 ? files.size() / run.ours : 0;
    rate.raw = run.raw > 0 ? files.size() / run.raw : 0;
    table.add(rate);
    Figure megabytes = rate;
    megabytes.name = QStringLiteral("zqpdm-index MB a second (raw: extracting alone)");
    megabytes.unit = QStringLiteral("MB/s");
    megabytes.ours = run.ours > 0 ? bytes / 1048576.0 / run.ours : 0;
    megabytes.raw = run.raw > 0 ? bytes / 1048576.0 / run.raw : 0;
    table.add(megabytes);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zq::console::DropRuntimeFolderWarning();
    QApplication app(argc, argv);
    Options options;
    options.dataDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data");
    options.postgresAdmin = qEnvironmentVariable("ZQ_TEST_PG");
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == u"--smoke") {
            options.smoke = true;
        } else if (args[i] == u"--data" && hasValue) {
            options.dataDir = args[++i];
        } else if (args[i] == u"--repeats" && hasValue) {
            options.repeats = args[++i].toInt();
            if (options.repeats < 1)
                return usage(QStringLiteral("--repeats takes a number from 1 on"));
        } else {
            return usage(QStringLiteral("unknown argument ") + args[i]);
        }
    }
    if (options.smoke) {
        options.repeats = 1;
        options.documents = 300;
        options.rateFiles = 30;
        options.dataDir += QStringLiteral("/smoke");
    }
    options.dataDir = QDir::cleanPath(QDir(options.dataDir).absolutePath());
    QDir().mkpath(options.dataDir);

    zq::ScriptedDesktop desktop;
    zq::ScopedDesktop scope(desktop);
    BenchTable table;

    RateFigures(options, table);

    QString error;
    const QStringList corpus = Corpus(options.dataDir, options.documents, &error);
    const QString sqliteIndex = error.isEmpty() ? CorpusSqliteIndex(options.dataDir, corpus, &error) : QString();
    if (sqliteIndex.isEmpty()) {
        Note(error);
        Figure failed;
        failed.name = QStringLiteral("content index of the synthetic archive");
        failed.failed = true;
        table.add(failed);
    } else {
        // The page runs in the rate installation, whose database serves the hits' files.
        QueryFigures(options, QStringLiteral("SQLite"), QStringLiteral("sqlite:") + sqliteIndex, sqliteIndex, table);
        SizeFigure(QStringLiteral("SQLite"), QFileInfo(sqliteIndex).size(), Utf8Bytes(corpus), corpus.size(), table);
        if (!options.postgresAdmin.isEmpty()) {
            const QString postgresIndex = CorpusPostgresIndex(options.postgresAdmin, corpus, &error);
            if (postgresIndex.isEmpty()) {
                Note(error);
            } else {
                QueryFigures(options, QStringLiteral("PostgreSQL"), postgresIndex, QString(), table);
                SizeFigure(QStringLiteral("PostgreSQL"), PostgresIndexBytes(postgresIndex), Utf8Bytes(corpus), corpus.size(),
                           table);
            }
        } else {
            Note(QStringLiteral("ZQ_TEST_PG is not set: no PostgreSQL figures"));
        }
    }

    const bool checkTargets = !options.smoke;
    std::printf("%s", qPrintable(table.text(checkTargets)));
    std::printf("(content index; %s; medians of %d runs; %d cores)\n",
                options.smoke ? "smoke run, targets not checked" : "10,000 documents", options.repeats,
                QThread::idealThreadCount());
    return table.allMet(checkTargets) ? 0 : 1;
}
