#pragma once
// How far a run is, on standard error: a bar rewritten in place on a terminal (files done of those
// to read, files a second, time left), plain lines now and then otherwise, nothing when quiet.
#include "StatusLine.h"

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

namespace zq::index {

class IndexProgress {
public:
    enum class Mode { Terminal, Lines, Quiet };
    IndexProgress(QTextStream& err, Mode mode);

    void update(qint64 done, qint64 total, qint64 bytes);
    // Ends the bar's line (its status line does so too when it goes).
    void finish();

    // One line of the display, at elapsedMs into the run (the bar only on a terminal).
    static QString Line(qint64 done, qint64 total, qint64 bytes, qint64 elapsedMs, bool bar);

private:
    Mode m_mode;
    console::StatusLine m_line;
    QElapsedTimer m_clock;
    QElapsedTimer m_lastShown;
    int m_lastTenth = -1;
};

} // namespace zq::index
