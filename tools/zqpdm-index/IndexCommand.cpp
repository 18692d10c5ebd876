#include "IndexCommand.h"

#include "ConnectionUrl.h"
#include "ContentIndexer.h"
#include "HostDatabase.h"
#include "HostInstallation.h"
#include "IndexCommandLine.h"
#include "IndexProgress.h"
#include "StopSignals.h"

#include <QElapsedTimer>

#include <algorithm>
#include <csignal>

namespace zq::index {

namespace {

constexpr int kWorkerMemoryMb = 1024;

// The readers stop by themselves a little before the file's deadline, keeping the text read so far;
// at the deadline the worker is killed. The margin covers the worker's start and its answer.
int ReadersTimeLimitMs(int deadlineMs)
{
    return deadlineMs - std::min(2000, deadlineMs / 5);
}

QString Megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024.0 * 1024.0), 'f', 1);
}

// One a line: the table, the file's codes and name, the reason.
void ListFailures(QTextStream& err, const QList<FileFailure>& failures)
{
    for (const FileFailure& failure : failures)
        err << "  " << failure.file << ": " << failure.reason << '\n';
}

} // namespace

int RunIndexCommand(const QString& program, const QStringList& arguments, QTextStream& out, QTextStream& err,
                    bool errIsTerminal)
{
    const IndexParse parse = ParseIndexCommandLine(arguments);
    if (parse.status == IndexParse::Status::Help) {
        out << IndexHelpText();
        out.flush();
        return ExitUpToDate;
    }
    if (parse.status == IndexParse::Status::Usage) {
        err << "zqpdm-index: " << parse.error << '\n' << IndexUsageLine() << '\n';
        err.flush();
        return ExitUsage;
    }
    const IndexOptions& options = parse.options;
    if (options.home)
        host::UseInstallation(*options.home);
    if (options.db)
        qputenv("ZQPDM_DB", options.db->toUtf8());

    host::HostDatabase database;
    if (!database.open()) {
        err << "zqpdm-index: cannot connect to the database " << database.url() << ": " << database.error() << '\n';
        if (!options.home && qEnvironmentVariableIsEmpty("ZQPDM_HOME"))
            err << "zqpdm-index: no installation was named: give --home DIR or set ZQPDM_HOME\n";
        err.flush();
        return ExitFailed;
    }

    IndexRunOptions run;
    run.indexUrl = options.index ? *options.index : db::ConfiguredContentIndexUrl();
    run.rebuild = options.rebuild;
    run.retryFailed = options.retryFailed;
    run.wait = options.wait;
    run.waiting = [&err, &run] {
        err << "zqpdm-index: another indexing run is in progress (" << db::RedactUrl(run.indexUrl)
            << "); waiting for it to end\n";
        err.flush();
    };
    const StopSignals stopSignals;
    run.stop = &stopSignals.requested();
    run.worker = IndexWorkerSettings(program);
    run.worker.memoryMb = kWorkerMemoryMb;
    run.worker.deadlineMs = options.timeLimitSeconds * 1000;
    run.worker.limits.timeLimitMs = ReadersTimeLimitMs(run.worker.deadlineMs);

    QElapsedTimer clock;
    clock.start();
    IndexProgress progress(err, options.quiet ? IndexProgress::Mode::Quiet
                                : errIsTerminal ? IndexProgress::Mode::Terminal
                                                : IndexProgress::Mode::Lines);
    const IndexRunReport report = ContentIndexer(run).run(
        [&progress](qint64 done, qint64 total, qint64 bytes) { progress.update(done, total, bytes); });
    progress.finish();

    if (report.busy && !report.stopped) {
        err << "zqpdm-index: another indexing run is in progress (" << db::RedactUrl(run.indexUrl)
            << "); nothing was done\n";
        err.flush();
        return ExitUpToDate;
    }
    if (!options.quiet)
        for (const QString& note : report.notes)
            err << "zqpdm-index: " << note << '\n';
    if (report.stopped) {
        err << "zqpdm-index: stopped by " << (stopSignals.signal() == SIGINT ? "SIGINT" : "SIGTERM") << "; "
            << report.added + report.replaced << " files read were kept, the rest is read on the next run\n";
        err.flush();
        return ExitSignalBase + (stopSignals.signal() > 0 ? stopSignals.signal() : SIGTERM);
    }
    if (!report.fatal.isEmpty()) {
        err << "zqpdm-index: " << report.fatal << '\n';
        err.flush();
        return ExitFailed;
    }
    if (!options.quiet) {
        out << "zqpdm-index: " << report.files << " stored files: " << report.added << " added, " << report.replaced
            << " replaced, " << report.removed << " removed, " << report.unchanged << " unchanged, "
            << report.failures.size() << " failed; " << Megabytes(report.bytesRead) << " MB read in "
            << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s";
        if (!report.knownFailures.isEmpty())
            out << "; " << report.knownFailures.size() << " known "
                << (report.knownFailures.size() == 1 ? "failure" : "failures") << " not tried again";
        out << "\n"
            << "  index: " << db::RedactUrl(run.indexUrl) << (report.writes == 0 ? " (not changed)" : "") << '\n';
        // The quick search's index of folded codes, when this run changed it.
        if (report.codes.added + report.codes.changed + report.codes.removed > 0)
            out << "  codes: " << report.codes.rows << " rows: " << report.codes.added << " added, "
                << report.codes.changed << " changed, " << report.codes.removed << " removed\n";
        out.flush();
    }
    if (!options.quiet && !report.withoutText.isEmpty()) {
        const bool one = report.withoutText.size() == 1;
        err << "zqpdm-index: " << report.withoutText.size()
            << (one ? " file has no text layer (无文字层); it is" : " files have no text layer (无文字层); they are")
            << " found by name and description:\n";
        for (const QString& file : report.withoutText)
            err << "  " << file << '\n';
    }
    for (const QString& table : report.tablesNotRead)
        err << "zqpdm-index: a table could not be read, its files were left as they were: " << table << '\n';
    for (const QString& problem : report.codes.problems)
        err << "zqpdm-index: a table's codes could not be indexed for the quick search, it is searched without: "
            << problem << '\n';
    if (!report.failures.isEmpty()) {
        err << "zqpdm-index: " << report.failures.size() << (report.failures.size() == 1 ? " file" : " files")
            << " could not be indexed:\n";
        ListFailures(err, report.failures);
    }
    if (!report.knownFailures.isEmpty()) {
        const bool one = report.knownFailures.size() == 1;
        err << "zqpdm-index: " << report.knownFailures.size()
            << (one ? " known failure was" : " known failures were")
            << " not tried again (unchanged since " << (one ? "it" : "they")
            << " failed; --retry-failed tries again):\n";
        ListFailures(err, report.knownFailures);
    }
    err.flush();
    return report.upToDate() ? ExitUpToDate : ExitFailed;
}

} // namespace zq::index
