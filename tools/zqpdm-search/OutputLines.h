#pragma once
// The lines zqpdm-search prints: one event per line on standard error ("MSG", "CMD", "CLIP",
// "OPEN", "CALL", "STATUS", each followed by tab-separated fields) and the result list on
// standard output. A tab, line feed or carriage return inside a text is written as \t, \n, \r
// so that every event and every row stays one line.
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::tool {

class OutputLines {
public:
    static QString escape(const QString& text);
    // KIND<TAB>field<TAB>field...
    static QString event(const QString& kind, const QStringList& fields);
    static QString call(const QString& component, const QString& operation, const QStringList& args);
    // Header line, then one line per row; cells joined by a tab. Every line ends with '\n'.
    static QString table(const QStringList& headers, const QList<QStringList>& rows);
};

// Writes one line (UTF-8, '\n' appended) to standard error at once, so it keeps its place
// among the SQL trace lines written by the database component.
void WriteErrorLine(const QString& line);
void WriteOutput(const QString& text);

} // namespace zq::tool
