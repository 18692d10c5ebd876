#include "BenchTable.h"

#include <QStringList>
#include <algorithm>

namespace zq::bench {

namespace {

QString number(double value, const QString& unit)
{
    const int decimals = (unit == u"us/row" || value < 10) ? 2 : (value < 100 ? 1 : 0);
    return QString::number(value, 'f', decimals) + QLatin1Char(' ') + unit;
}

QString targetText(const Figure& f)
{
    switch (f.limit) {
    case Limit::Ratio: return QStringLiteral("<= %1").arg(f.target);
    case Limit::Ours: return QStringLiteral("<= %1 %2").arg(f.target).arg(f.unit);
    case Limit::None: break;
    }
    return QStringLiteral("-");
}

QString spreadText(const Figure& f)
{
    const auto percent = [](double spread) {
        return spread < 0 ? QStringLiteral("-") : QStringLiteral("±%1%").arg(spread, 0, 'f', spread < 10 ? 1 : 0);
    };
    if (f.oursSpread < 0 && f.rawSpread < 0)
        return QStringLiteral("-");
    return f.raw > 0 ? percent(f.oursSpread) + QStringLiteral(" / ") + percent(f.rawSpread) : percent(f.oursSpread);
}

QString outcome(const Figure& f, bool checkTargets)
{
    if (f.failed)
        return QStringLiteral("FAILED");
    if (f.limit == Limit::None || !checkTargets)
        return QString();
    return f.met() ? QStringLiteral("ok") : QStringLiteral("MISSED");
}

} // namespace

bool Figure::met() const
{
    if (failed)
        return false;
    switch (limit) {
    case Limit::Ratio: return raw > 0 && ratio() <= target;
    case Limit::Ours: return ours <= target;
    case Limit::None: break;
    }
    return true;
}

bool BenchTable::allMet(bool checkTargets) const
{
    return std::all_of(m_figures.begin(), m_figures.end(),
                       [checkTargets](const Figure& f) { return checkTargets ? f.met() : !f.failed; });
}

QString BenchTable::text(bool checkTargets) const
{
    QList<QStringList> cells{{QStringLiteral("name"), QStringLiteral("rows"), QStringLiteral("ours"),
                              QStringLiteral("raw"), QStringLiteral("ratio"), QStringLiteral("spread"),
                              QStringLiteral("target"), QString()}};
    for (const Figure& f : m_figures)
        cells.append({f.name, QString::number(f.rows), number(f.ours, f.unit),
                      f.raw > 0 ? number(f.raw, f.unit) : QStringLiteral("-"),
                      f.raw > 0 ? QString::number(f.ratio(), 'f', 2) : QStringLiteral("-"), spreadText(f),
                      targetText(f), outcome(f, checkTargets)});
    QList<qsizetype> widths(cells.first().size(), 0);
    for (const QStringList& row : cells)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    QString out;
    for (const QStringList& row : cells) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const bool numeric = c >= 1 && c <= 5;
            const QString cell = numeric ? row[c].rightJustified(widths[c]) : row[c].leftJustified(widths[c]);
            line += (c ? QStringLiteral("  ") : QString()) + cell;
        }
        out += line.trimmed() + QLatin1Char('\n');
    }
    return out;
}

QString BenchTable::tsv() const
{
    QString out = QStringLiteral("name\trows\tours\traw\tunit\tratio\tlimit\ttarget\tmet\tours_spread\traw_spread\n");
    for (const Figure& f : m_figures) {
        const QString limit = f.limit == Limit::Ratio ? QStringLiteral("ratio")
                              : f.limit == Limit::Ours ? QStringLiteral("ours")
                                                       : QStringLiteral("none");
        out += QStringList{f.name, QString::number(f.rows), QString::number(f.ours, 'g', 6),
                           QString::number(f.raw, 'g', 6), f.unit, QString::number(f.ratio(), 'g', 4), limit,
                           QString::number(f.target), f.met() ? QStringLiteral("1") : QStringLiteral("0"),
                           QString::number(f.oursSpread, 'g', 4), QString::number(f.rawSpread, 'g', 4)}
                   .join(QLatin1Char('\t'))
            + QLatin1Char('\n');
    }
    return out;
}

} // namespace zq::bench
