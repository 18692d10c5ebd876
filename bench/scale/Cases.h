#pragma once
// The benchmark cases. Each measures the module through its real window ("ours") and the same
// work on a raw baseline in the same process, checks that both produced the same rows, and
// adds its figures to the table.
#include "BenchTable.h"

#include <QList>
#include <QString>
#include <functional>

namespace zq::bench {

struct BenchOptions {
    QString dataDir;          // cached installations and scratch files
    QString postgresAdmin;    // ZQ_TEST_PG; empty: no PostgreSQL figures
    bool smoke = false;       // small sizes, one repeat, targets not checked
    int repeats = 5;          // median of this many runs
};

// The median of the values; negative when any is negative (a run failed).
double Median(QList<double> values);
// The median of `repeats` runs of `run` (each returns seconds, negative on failure); every run's
// seconds also into *runs when given.
double MedianSeconds(int repeats, const std::function<double()>& run, QList<double>* runs = nullptr);
// How far the runs lie from their median at most, in per cent; -1 without runs or with a failed one.
double Spread(const QList<double>& runs);

// The design-part title search at three sizes on SQLite (and their growth), on PostgreSQL,
// the memory a listed row takes, and the export of the listed rows in both formats.
void RunPlainSearchCases(const BenchOptions& options, BenchTable& table);
// The structure search on a product of shared subassemblies, against one recursive CTE.
void RunStructureCase(const BenchOptions& options, BenchTable& table);
// The data-view search over a large host tree, against fnmatch over the same texts.
void RunViewCase(const BenchOptions& options, BenchTable& table);

// The quick search of a code fragment over every kind, and its suggestions, on the
// million-line SQLite database.
void RunQuickSearchCase(const BenchOptions& options, BenchTable& table);

// The large database (ten million part-list lines on PostgreSQL): selective searches with and
// without trigram indexes, a million-row listing, many users at once directly and through a
// pooler, and SQLite readers beside a writer.
void RunLargeCases(const BenchOptions& options, BenchTable& table);

// The value below which the share p (0.95) of the sorted times (seconds) lie, in milliseconds;
// negative when there are none.
double Percentile(const QList<double>& sorted, double p);

// The web search under load: 50 users of zqpdm-web on the million-line database, on SQLite and
// on PostgreSQL, a second apart and without pause.
void RunWebLoadCase(const BenchOptions& options, BenchTable& table);

// A program built beside bench_scale.
QString BenchTool(const char* name);

// Prints a note on standard error (what is being prepared, what went wrong).
void Note(const QString& text);

} // namespace zq::bench
