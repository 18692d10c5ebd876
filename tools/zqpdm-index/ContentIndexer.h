#pragma once
// One run of the indexer: the stored files the document pages can open are compared with the
// content index; new and changed ones are fetched into the user's private temporary folder
// (through the pages' own retrieval, never more of a file than its reader takes), their text
// extracted in a worker process and written to the index; files gone from the PDM database are
// taken out. Unchanged files are not touched. One run at a time writes an index (IndexRunLock).
#include "CodeIndexKeeper.h"
#include "IndexWorker.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace zq::index {

struct IndexRunOptions {
    QString indexUrl;                   // the content index (ConfiguredContentIndexUrl() by default)
    bool rebuild = false;               // read every file again, whatever the index holds
    bool retryFailed = false;           // read again the files that failed before and have not changed
    bool wait = false;                  // another run on the index: wait for it (else do nothing)
    std::function<void()> waiting;      // told once when the run begins to wait for another
    // Once set, the run ends at the next step: the file under way is given up, the files finished
    // are kept in the index, the rest is read on the next run.
    const std::atomic<bool>* stop = nullptr;
    extract::ExtractionWorker::Settings worker;  // the program that extracts, and its limits
};

// A file that could not be fetched or read, and why.
struct FileFailure {
    QString file;     // "Documents ZQ8600/ZQ8600-01/A/x.pdf"
    QString reason;
};

struct IndexRunReport {
    qint64 files = 0;        // stored files the PDM database lists
    qint64 unchanged = 0;
    qint64 added = 0;
    qint64 replaced = 0;
    qint64 removed = 0;
    qint64 bytesRead = 0;    // of the fetched files
    qint64 writes = 0;       // transactions that changed the index
    QStringList notes;       // what the user should know (a missing pg_trgm, a rebuilt index)
    QList<FileFailure> failures;       // failures of this run
    // Files that failed in an earlier run and have not changed since: not tried again, the reason
    // is the one remembered.
    QList<FileFailure> knownFailures;
    QStringList withoutText;     // sound files without a text layer (scans): found by name and description
    QStringList tablesNotRead;   // "TaskDocuments: <why>": their files were left as they were
    QString fatal;           // the run could not be made (no index, no database); "" when it was
    bool busy = false;       // another run was writing the index: this one did nothing
    // The quick search's index of folded codes, kept when the PDM database and the index are
    // SQLite files (elsewhere the quick search reads the tables by their own indexes).
    bool codesKept = false;
    CodeIndexReport codes;
    bool stopped = false;    // asked to stop before the end
    bool upToDate() const
    {
        return fatal.isEmpty() && failures.isEmpty() && tablesNotRead.isEmpty() && codes.problems.isEmpty() && !stopped &&
               !busy;
    }
};

// How far the run is: files done of those to read, and the bytes fetched so far.
using IndexProgressCallback = std::function<void(qint64 done, qint64 total, qint64 bytes)>;

class ContentIndexer {
public:
    explicit ContentIndexer(IndexRunOptions options);
    // Runs on the process's current PDM connection (CZQDBConnect::GetCurDBConnect()).
    IndexRunReport run(const IndexProgressCallback& progress = {});

private:
    bool stopRequested() const;

    IndexRunOptions m_options;
};

} // namespace zq::index
