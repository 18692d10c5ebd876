#include "Cases.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zq::bench {

double Median(QList<double> values)
{
    if (values.isEmpty() || std::any_of(values.begin(), values.end(), [](double v) { return v < 0; }))
        return -1;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MedianSeconds(int repeats, const std::function<double()>& run, QList<double>* runs)
{
    QList<double> times;
    for (int i = 0; i < std::max(1, repeats); ++i)
        times.append(run());
    if (runs)
        *runs = times;
    return Median(times);
}

double Percentile(const QList<double>& sorted, double p)
{
    if (sorted.isEmpty())
        return -1;
    const qsizetype at = std::min<qsizetype>(sorted.size() - 1, qsizetype(p * double(sorted.size())));
    return sorted[at] * 1e3;
}

double Spread(const QList<double>& runs)
{
    const double median = Median(runs);
    if (median <= 0)
        return -1;
    double worst = 0;
    for (double run : runs)
        worst = std::max(worst, std::abs(run / median - 1) * 100);
    return worst;
}

QString BenchTool(const char* name)
{
    return QCoreApplication::applicationDirPath() + u'/' + QString::fromLatin1(name);
}

void Note(const QString& text)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(text));
}

} // namespace zq::bench
