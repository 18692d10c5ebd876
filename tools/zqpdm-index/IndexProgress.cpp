#include "IndexProgress.h"

#include <algorithm>

namespace zq::index {

namespace {

constexpr int kBarWidth = 24;
constexpr qint64 kTerminalEveryMs = 250;
constexpr qint64 kLinesEveryMs = 10000;
constexpr qint64 kFirstLineMs = 2000;

QString Duration(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

IndexProgress::IndexProgress(QTextStream& err, Mode mode) : m_mode(mode), m_line(err, mode == Mode::Terminal)
{
    m_clock.start();
}

QString IndexProgress::Line(qint64 done, qint64 total, qint64 bytes, qint64 elapsedMs, bool bar)
{
    QString line = QStringLiteral("zqpdm-index: ");
    if (bar) {
        const int filled = total > 0 ? int(std::min<qint64>(kBarWidth, done * kBarWidth / total)) : kBarWidth;
        line += u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u'.') + QStringLiteral("] ");
    }
    line += QStringLiteral("%1/%2 files").arg(done).arg(total);
    const double seconds = elapsedMs / 1000.0;
    if (seconds > 0.5 && done > 0) {
        line += QStringLiteral(", %1 files/s, %2 MB/s")
                    .arg(done / seconds, 0, 'f', 1)
                    .arg(bytes / seconds / (1024.0 * 1024.0), 0, 'f', 1);
        if (done < total)
            line += QStringLiteral(", %1 left").arg(Duration(qint64(seconds * double(total - done) / double(done) + 0.5)));
    }
    return line;
}

void IndexProgress::update(qint64 done, qint64 total, qint64 bytes)
{
    if (m_mode == Mode::Quiet || total == 0)
        return;
    const int tenth = int(done * 10 / total);
    bool due = false;
    if (m_mode == Mode::Terminal) {
        due = done == total || !m_lastShown.isValid() || m_lastShown.elapsed() >= kTerminalEveryMs;
    } else if (!m_lastShown.isValid()) {
        // A run over in a moment needs no lines: the summary says it all.
        due = m_clock.elapsed() >= kFirstLineMs;
    } else {
        const qint64 since = m_lastShown.elapsed();
        due = (done == total || tenth != m_lastTenth) ? since >= kFirstLineMs : since >= kLinesEveryMs;
    }
    if (!due)
        return;
    m_lastTenth = tenth;
    m_lastShown.start();
    m_line.show(Line(done, total, bytes, m_clock.elapsed(), m_mode == Mode::Terminal));
}

void IndexProgress::finish()
{
    m_line.finish();
}

} // namespace zq::index
