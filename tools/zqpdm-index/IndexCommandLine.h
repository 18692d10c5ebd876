#pragma once
// The command line of zqpdm-index, parsed without touching anything, so it can be tested alone.
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::index {

struct IndexOptions {
    std::optional<QString> home;    // --home DIR
    std::optional<QString> db;      // --db URL
    std::optional<QString> index;   // --index URL
    bool rebuild = false;
    bool retryFailed = false;       // --retry-failed: files that failed before are read again
    bool quiet = false;
    bool wait = false;              // --wait: another run on the index is waited for
    int timeLimitSeconds = 30;      // --time-limit: what one file may take
};

struct IndexParse {
    enum class Status { Run, Help, Usage };
    Status status = Status::Run;
    IndexOptions options;
    QString error;   // Usage: what is wrong
};

IndexParse ParseIndexCommandLine(const QStringList& arguments);
QString IndexUsageLine();
QString IndexHelpText();

// The exit statuses; a run stopped by a signal exits with 128 + its number (SIGINT 130, SIGTERM 143).
enum IndexExit { ExitUpToDate = 0, ExitFailed = 1, ExitUsage = 2, ExitSignalBase = 128 };

} // namespace zq::index
