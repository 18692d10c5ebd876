#pragma once
// How far a long run is, on standard error: one line rewritten in place on a terminal, a line of
// its own each time otherwise (a log keeps every one). When a line is due is the caller's choice.
#include <QString>
#include <QTextStream>

namespace zq::console {

class StatusLine {
public:
    StatusLine(QTextStream& err, bool terminal) : m_err(err), m_terminal(terminal) {}
    ~StatusLine() { finish(); }
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    bool terminal() const { return m_terminal; }
    void show(const QString& text);
    // Ends a line left open on the terminal, so that what follows starts on a line of its own.
    void finish();

private:
    QTextStream& m_err;
    bool m_terminal;
    int m_width = 0;
    bool m_open = false;
};

} // namespace zq::console
