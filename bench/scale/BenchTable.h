#pragma once
// The table bench_scale prints: one figure per row beside its raw baseline, the ratio and the
// target, and whether the target was met. Also written as tab-separated values for the chart.
#include <QList>
#include <QString>

namespace zq::bench {

// What a row's target limits.
enum class Limit {
    Ratio,      // ours / raw at most `target`
    Ours,       // ours itself at most `target` (bytes a row, a spread in per cent)
    None,       // shown for information
};

struct Figure {
    QString name;
    qint64 rows = 0;
    double ours = 0;
    double raw = 0;
    QString unit;          // "ms", "us/row", "B/row", "stmts", "%"
    Limit limit = Limit::None;
    double target = 0;
    bool failed = false;   // the run itself went wrong (rows differ, an error); never met
    double oursSpread = -1;   // how far ours' runs lie from their median at most, in per cent; -1 unknown
    double rawSpread = -1;    // the same for the baseline's runs

    double ratio() const { return raw > 0 ? ours / raw : 0; }
    bool met() const;
};

class BenchTable {
public:
    void add(const Figure& figure) { m_figures.append(figure); }
    const QList<Figure>& figures() const { return m_figures; }
    // Every figure met its target (timing targets only when they are checked).
    bool allMet(bool checkTargets) const;

    // "name  rows  ours  raw  ratio  spread  target", aligned, one line per figure; the spread is
    // that of ours' runs and of the baseline's ("±4% / ±2%").
    QString text(bool checkTargets) const;
    // name, rows, ours, raw, unit, ratio, limit, target, met, ours_spread, raw_spread: one line per figure.
    QString tsv() const;

private:
    QList<Figure> m_figures;
};

} // namespace zq::bench
