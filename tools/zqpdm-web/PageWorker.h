#pragma once
// One search, run in a worker process: zqpdm-search drives the installation's page headlessly
// with its own database connection, as the given user, in a private scratch folder that is
// removed afterwards. The process is a kept one (zqpdm-search --serve) that answers search after
// search, or, for a search that reads standard input, one of its own. The worker is killed when
// it runs past the time limit or writes more than the output limit, so a search can neither hang
// a request nor fill the server's memory.
#include "KeptWorker.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zq::web {

struct WorkerLimits {
    double seconds = 30.0;
    qsizetype outputBytes = 64 * 1024 * 1024;
    // Searches a kept worker process answers before a fresh one takes its place; 1: a process of
    // its own for every search.
    int searchesAWorker = 100;
};

struct WorkerOutcome {
    enum class End { Exited, TimedOut, TooLarge, NotStarted, Crashed };
    End end = End::NotStarted;
    int exitCode = -1;
    QByteArray output;             // standard output (the rows or the description, JSON)
    QList<QJsonObject> events;     // standard error, one JSON event a line
    QStringList otherLines;        // standard error lines that were not events (for the log)
    QString openedFile;            // the stored file the page fetched and opened, if any
    QByteArray openedBytes;        // its content, read before the scratch folder goes
    bool openedTooLarge = false;
    QByteArray previewBytes;       // the picture --preview wrote, when asked for one

    bool ok() const { return end == End::Exited && exitCode == 0; }
    QStringList texts(const QString& event, const QString& field) const;   // a field of every event of a kind
};

// The JSON events and row lines of a worker's output, taken apart without the process: what the
// server parses of a worker, testable and fuzzable on its own.
QList<QJsonObject> ParseEventLines(const QByteArray& text, QStringList* otherLines);
// The rows of zqpdm-search --format json: "[", one object a line (a comma after all but the last), "]".
std::optional<QStringList> SplitRowLines(const QByteArray& output);
// A row's texts in column order (a JSON object of strings, as zqpdm-search writes a row); nullopt
// for anything else.
std::optional<QStringList> RowCells(const QString& rowJson);

// What a run gets beyond its arguments.
struct WorkerInput {
    QByteArray standardInput;    // written to the worker (--quick-list -)
    bool preview = false;        // --preview-out into the scratch folder, read back into previewBytes
};

class PageWorker {
public:
    // The options every run gets: the installation, and where given the database and the date.
    PageWorker(QString program, QStringList commonArguments, WorkerLimits limits);

    // zqpdm-search --page PAGE ARGUMENTS... with JSON rows and events, as USER; without a page
    // (the quick search) no --page.
    WorkerOutcome run(const QString& user, const QString& page, const QStringList& arguments,
                      const WorkerInput& input = {}) const;

    static constexpr qsizetype kMaxFileBytes = 512 * 1024 * 1024;
    static constexpr qsizetype kMaxPreviewBytes = 32 * 1024 * 1024;

private:
    // ARGUMENTS run in a process of their own, or asked of a kept worker; false when the search
    // did not end by itself (not started, killed at a limit: OUTCOME's end says which).
    bool runOnce(const QString& user, const QString& scratch, const QStringList& arguments, const WorkerInput& input,
                 WorkerOutcome& outcome, QByteArray& errors) const;
    bool runKept(const QString& user, const QString& scratch, const QStringList& arguments, WorkerOutcome& outcome,
                 QByteArray& errors) const;

    QString m_program;
    QStringList m_common;
    WorkerLimits m_limits;
    std::shared_ptr<KeptWorkers> m_kept;   // null: a process a search
};

} // namespace zq::web
