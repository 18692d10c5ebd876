// zq-load-client: one user of the module for bench_scale's load figures, in a process of its own
// with its own database connection.
//
//   zq-load-client --home DIR --db URL --products N --seed K --seconds S
//       opens the search window, prints "ready", waits for a line "go" on standard input, then
//       runs the searches of the load mix one after another with changing values for S seconds,
//       printing one line a search: "search<TAB>page<TAB>seconds<TAB>1|0<TAB>what went wrong"
//   zq-load-client --write PATH --seconds S
//       a writer beside the readers of an SQLite database: prints "ready", waits for "go", then
//       inserts rows into a table of its own (zq_load_writes), a thousand a transaction, printing
//       "write<TAB>rows<TAB>seconds<TAB>1|0<TAB>what went wrong" a transaction
// Both end with "done". Exit 0, or 1 when the window or the database cannot be opened.
#include "BenchData.h"
#include "LoadMix.h"
#include "RawBaselines.h"
#include "RuntimeFolderWarning.h"
#include "ScriptedDesktop.h"
#include "SearchWindow.h"

#include <QApplication>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

using namespace zq::bench;

void line(const QString& text)
{
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

bool waitForGo()
{
    line(QStringLiteral("ready"));
    std::string answer;
    return static_cast<bool>(std::getline(std::cin, answer)) && answer == "go";
}

QString oneLine(QString text)
{
    return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
}

int search(const QString& home, const QString& databaseUrl, int products, quint64 seed, double seconds)
{
    Installation installation;
    installation.home = home;
    installation.databaseUrl = databaseUrl;
    const std::vector<LoadSearch>& mix = LoadMix();
    SearchWindow window(installation, mix.front().page);
    if (!window.ok()) {
        line(QStringLiteral("error\t") + oneLine(window.error()));
        return 1;
    }
    if (!waitForGo())
        return 1;
    QRandomGenerator random{quint32(seed)};
    const double end = raw::Now() + seconds;
    for (size_t turn = size_t(seed); raw::Now() < end; ++turn) {
        const LoadSearch& next = mix[turn % mix.size()];
        const quint64 draw = random.generate64();
        const qsizetype messagesBefore = window.desktop().messages().size();
        QString wrong;
        double took = -1;
        if (!window.select(next.page) || !next.conditions(window, draw, products)) {
            wrong = window.error();
        } else {
            took = window.find();
            const QStringList told = window.desktop().messages().mid(messagesBefore);
            if (took < 0)
                wrong = window.error();
            else if (!told.isEmpty())
                wrong = told.join(QStringLiteral(" | "));
            else if (!window.status().startsWith(QStringLiteral("操作提示:共查到")))
                wrong = QStringLiteral("status line: ") + window.status();
        }
        line(QStringLiteral("search\t%1 %2\t%3\t%4\t%5")
                 .arg(next.page, next.name)
                 .arg(took, 0, 'f', 6)
                 .arg(wrong.isEmpty() ? 1 : 0)
                 .arg(oneLine(wrong)));
        if (!window.ok())
            break;   // the window is in no state to go on
    }
    line(QStringLiteral("done"));
    return 0;
}

int write(const QString& path, double seconds)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        line(QStringLiteral("error\t") + QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return 1;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "CREATE TABLE IF NOT EXISTS zq_load_writes (n INTEGER, note TEXT)", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO zq_load_writes (n, note) VALUES (?, '负载写入')", -1, &insert, nullptr);
    if (!waitForGo())
        return 1;
    const double end = raw::Now() + seconds;
    qint64 n = 0;
    while (raw::Now() < end) {
        const double start = raw::Now();
        QString wrong;
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            wrong = QString::fromUtf8(sqlite3_errmsg(db));
        } else {
            for (int i = 0; i < 1000 && wrong.isEmpty(); ++i) {
                sqlite3_bind_int64(insert, 1, ++n);
                if (sqlite3_step(insert) != SQLITE_DONE)
                    wrong = QString::fromUtf8(sqlite3_errmsg(db));
                sqlite3_reset(insert);
            }
            if (sqlite3_exec(db, wrong.isEmpty() ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK
                && wrong.isEmpty())
                wrong = QString::fromUtf8(sqlite3_errmsg(db));
        }
        line(QStringLiteral("write\t1000\t%1\t%2\t%3").arg(raw::Now() - start, 0, 'f', 6).arg(wrong.isEmpty() ? 1 : 0).arg(wrong));
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    line(QStringLiteral("done"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zq::console::DropRuntimeFolderWarning();
    QApplication app(argc, argv);
    QString home, databaseUrl, writePath;
    int products = 1;
    quint64 seed = 1;
    double seconds = 10;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == u"--home")
            home = value;
        else if (name == u"--db")
            databaseUrl = value;
        else if (name == u"--write")
            writePath = value;
        else if (name == u"--products")
            products = value.toInt();
        else if (name == u"--seed")
            seed = value.toULongLong();
        else if (name == u"--seconds")
            seconds = value.toDouble();
    }
    if (!writePath.isEmpty())
        return write(writePath, seconds);
    if (home.isEmpty() || databaseUrl.isEmpty()) {
        std::fputs("usage: zq-load-client --home DIR --db URL --products N --seed K --seconds S\n"
                   "       zq-load-client --write PATH --seconds S\n",
                   stderr);
        return 2;
    }
    return search(home, databaseUrl, products, seed, seconds);
}
