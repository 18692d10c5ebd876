#pragma once
// The quick search run inside the server, on one of its threads: that thread's own connections to
// the PDM database and the content index, opened when first needed and kept for the searches that
// follow. The answer is the one a zqpdm-search process gives (the same rows, events and exit
// status, written by the same code), so the routes treat both alike.
//
// A connection is opened again when it can no longer serve: after a search that failed on a
// connection that no longer answers (a database server restarted or stopped; the search is then
// run once more on the new connection), and when the settings name another database or an
// SQLite file the connections read has been replaced, moved or made since they were opened.
#include "PageWorker.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

namespace zq::web {

struct QuickJob {
    QString text;          // the text searched, or
    QByteArray list;       // a pasted list (one code a line), when text is empty
    QStringList kinds;     // the kinds asked for; empty: every kind the installation shows
};

class QuickEngine {
public:
    QuickEngine();
    ~QuickEngine();
    QuickEngine(const QuickEngine&) = delete;
    QuickEngine& operator=(const QuickEngine&) = delete;

    // Runs JOB; CANCEL stops it at its next row.
    WorkerOutcome run(const QuickJob& job, const std::atomic_bool& cancel);

private:
    struct Connections;
    // False with the reason when the database cannot be reached.
    bool connect(QString* problem);
    bool answers() const;
    WorkerOutcome report(const QuickJob& job, const std::atomic_bool& cancel);

    std::unique_ptr<Connections> m_connections;
};

// What identifies the PDM database and the content index in force: their URLs, and for SQLite
// files their device and inode ("-" for a file that is not there).
QString DatabasesIdentity();

} // namespace zq::web
