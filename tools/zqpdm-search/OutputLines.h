#pragma once
// The lines zqpdm-search prints: one event per line on standard error ("MSG", "CMD", "CLIP",
// "OPEN", "CALL", "STATUS", each followed by tab-separated fields) and the result list on
// standard output. A tab, line feed or carriage return inside a text is written as \t, \n, \r
// so that every event and every row stays one line.
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace zq::tool {

class OutputLines {
public:
    static QString escape(const QString& text);
    // KIND<TAB>field<TAB>field...
    static QString event(const QString& kind, const QStringList& fields);
    static QString call(const QString& component, const QString& operation, const QStringList& args);
};

// Writes one line (UTF-8, '\n' appended) to standard error at once, so it keeps its place
// among the SQL trace lines written by the database component.
void WriteErrorLine(const QString& line);
// Writes text to standard output; the reason when not all of it was taken, else empty.
QString WriteOutput(const QString& text);

// Standard output for text written in pieces; remembers whether every piece was taken whole
// (a full disk, a closed file).
class StandardOutput {
public:
    std::function<void(QByteArrayView)> sink();
    // Flushes; the reason when a piece was lost, else empty.
    QString finish();

private:
    bool m_failed = false;
    int m_error = 0;
};

} // namespace zq::tool
