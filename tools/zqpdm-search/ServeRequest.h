#pragma once
// One search asked of a long-lived zqpdm-search (--serve), as the web server asks it: a line of
// JSON on the worker's standard input naming the arguments of a one-off run, the few environment
// variables that differ from one search to the next, and the files its standard output and error
// go to. The worker answers each with a line {"exit": N} once the search has ended and its output
// is in those files.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::tool {

struct ServeRequest {
    QStringList arguments;
    QList<QPair<QString, QString>> environment;   // only the names ServedEnvironmentNames() gives
    QString standardOutput;                        // absolute paths, written afresh
    QString standardError;

    // The request as one line of JSON, ending with '\n'.
    QByteArray line() const;
};

// The variables a request may set: the user searched for and the folders a page may write to.
const QStringList& ServedEnvironmentNames();

// A request line taken apart; nullopt (and why in ERROR) for anything that is not one.
std::optional<ServeRequest> ParseServeRequest(const QByteArray& line, QString* error = nullptr);

// The answer line for an ended search, and the exit status read back from one.
QByteArray ServeAnswerLine(int exitCode);
std::optional<int> ParseServeAnswer(const QByteArray& line);

// Longest request line a worker reads: the actions of a search, well past what a page takes.
inline constexpr qsizetype kMaxServeRequestBytes = 1024 * 1024;

} // namespace zq::tool
