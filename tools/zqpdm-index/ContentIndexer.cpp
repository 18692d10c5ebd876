#include "ContentIndexer.h"

#include "CallLog.h"
#include "ContentIndexStore.h"
#include "FetchLimits.h"
#include "FileServices.h"
#include "IndexFileMode.h"
#include "IndexRunLock.h"
#include "ScriptedDesktop.h"
#include "SqlDialect.h"
#include "StoredFileRetrieval.h"
#include "StoredFileWalk.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>

namespace zq::index {

namespace {

// A transaction holds this many files at most, or this much time: an interrupted run loses little.
constexpr int kFilesPerTransaction = 64;
constexpr qint64 kTransactionMs = 2000;

struct PendingFile {
    StoredFile file;
    qint64 existingId = -1;
};

QString Describe(const FileIdentity& id)
{
    QStringList parts;
    for (const QString& part : {id.code1, id.code2, id.revision})
        if (!part.isEmpty())
            parts.append(part);
    parts.append(id.fileName);
    return id.sourceTable + u' ' + parts.join(u'/');
}

// The folder fetched files go to: the user's private temporary folder, in a folder of this run's own,
// so that the user's own copies there are never replaced or removed. The folders of earlier runs
// that ended without cleaning up (killed) are removed first, once their process is gone.
class FetchFolder {
public:
    FetchFolder()
    {
        const QString temp = TempFolder();
        RemoveFoldersOfEndedRuns(temp);
        m_path = temp + kPrefix + QString::number(QCoreApplication::applicationPid()) + u'/';
        QDir(m_path).removeRecursively();   // a folder of an ended run that had this process id
        ::mkdir(QFile::encodeName(m_path).constData(), S_IRWXU);
    }
    ~FetchFolder() { QDir(m_path).removeRecursively(); }
    FetchFolder(const FetchFolder&) = delete;
    FetchFolder& operator=(const FetchFolder&) = delete;
    const QString& path() const { return m_path; }

private:
    static constexpr QLatin1StringView kPrefix{"zqpdm-index-"};

    static void RemoveFoldersOfEndedRuns(const QString& temp)
    {
        const QDir folder(temp);
        for (const QString& name : folder.entryList({QString(kPrefix) + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
            bool number = false;
            const qint64 pid = name.mid(kPrefix.size()).toLongLong(&number);
            if (number && pid > 0 && pid != QCoreApplication::applicationPid() && ::kill(pid_t(pid), 0) != 0 &&
                errno == ESRCH)
                QDir(folder.filePath(name)).removeRecursively();
        }
    }

    QString m_path;
};

// What a file's reader takes: a PDF or a zip whole, up to the read limit, or nothing; any other
// type as far as the limit and one byte more, which tells the reader that the file goes on.
svc::FetchLimits FetchLimitsFor(const QString& fileName, const extract::ExtractLimits& read,
                                const std::atomic<bool>* stop)
{
    svc::FetchLimits limits;
    limits.stop = stop;
    limits.startWillDo = !extract::ReadsWholeFile(extract::FileTypeOf(fileName));
    limits.maxBytes = read.maxReadBytes + (limits.startWillDo ? 1 : 0);
    return limits;
}

// Why a fetch brought nothing: the service's own reason when it gave one, else what it told the user.
QString FetchFailureReason(const ScriptedDesktop& desktop)
{
    const QList<ServiceFailure> failures = CallLog::Failures();
    if (!failures.isEmpty())
        return failures.last().reason;
    const QStringList messages = desktop.messages();
    if (!messages.isEmpty())
        return messages.last();
    return QStringLiteral("文件没有下载成功");
}

} // namespace

ContentIndexer::ContentIndexer(IndexRunOptions options) : m_options(std::move(options)) {}

bool ContentIndexer::stopRequested() const
{
    return m_options.stop && m_options.stop->load();
}

IndexRunReport ContentIndexer::run(const IndexProgressCallback& progress)
{
    IndexRunReport report;
    CZQDBConnect* pdm = CZQDBConnect::GetCurDBConnect();
    if (!pdm) {
        report.fatal = QStringLiteral("没有 PDM 数据库连接");
        return report;
    }
    IndexRunLock lock(m_options.indexUrl);
    const IndexRunLock::State locked = lock.take(m_options.wait, m_options.stop, m_options.waiting, &report.fatal);
    report.busy = locked == IndexRunLock::State::Busy;
    report.stopped = stopRequested();
    if (locked != IndexRunLock::State::Held || report.stopped)
        return report;
    // The services speak to the user through the Desktop; here what they say becomes a file's reason.
    ScriptedDesktop desktop;
    ScopedDesktop scope(desktop);

    const QString indexFile = SqliteFileOf(m_options.indexUrl);
    const bool made = !indexFile.isEmpty() && !QFileInfo::exists(indexFile);
    ContentIndexStore store;
    if (!store.open(m_options.indexUrl, &report.fatal))
        return report;
    report.notes = store.notes();
    if (!indexFile.isEmpty()) {
        const QString unmatched = MatchDatabaseFileMode(indexFile, SqliteFileOf(pdm->Url()), made);
        if (!unmatched.isEmpty())
            report.notes.append(unmatched);
    }
    const qint64 changesBefore = store.changeCount();
    QHash<QString, IndexedEntry> entries;
    if (!store.load(&entries, &report.fatal))
        return report;

    // Which files are new or changed; the rest is left as it is.
    QList<PendingFile> work;
    QSet<QString> listed;
    const QList<WalkedTable> tables = WalkStoredFiles(pdm->GetPtrPDM(), [&](const StoredFile& file) {
        const QString key = file.identity.key();
        if (listed.contains(key))
            return;   // a file listed twice is read once
        listed.insert(key);
        ++report.files;
        const auto found = entries.constFind(key);
        if (found == entries.constEnd()) {
            work.append({file});
        } else if (!found->failure.isEmpty() && found->facts.sameAs(file.facts) && !m_options.rebuild &&
                   !m_options.retryFailed) {
            report.knownFailures.append({Describe(file.identity), found->failure});
        } else if (m_options.rebuild || found->pending || !found->facts.sameAs(file.facts)) {
            work.append({file, found->id});
        } else {
            ++report.unchanged;
        }
    });
    QSet<QString> completeTables;
    for (const WalkedTable& table : tables) {
        if (table.complete)
            completeTables.insert(table.table);
        else
            report.tablesNotRead.append(table.table + QStringLiteral(": ") + table.error);
    }

    const int designSetting = doc::ReadStorageSetting(doc::kDesignDocumentStorageKey);
    const int resourceSetting = doc::ReadStorageSetting(doc::kResourceStorageKey);
    CZQSaveFileToFTP fileStore;
    fileStore.InitZQPDMFTP();   // asked even when it could not connect, as the pages do
    extract::ExtractionWorker::Settings workerSettings = m_options.worker;
    workerSettings.stop = m_options.stop;
    extract::ExtractionWorker worker(workerSettings);
    const FetchFolder folder;

    QElapsedTimer sinceCommit;
    sinceCommit.start();
    int uncommitted = 0;
    const auto write = [&](bool ok, const QString& error) {
        if (!ok && report.fatal.isEmpty())
            report.fatal = error;
        if (++uncommitted >= kFilesPerTransaction || sinceCommit.elapsed() >= kTransactionMs) {
            QString commitError;
            if (!store.commit(&commitError) && report.fatal.isEmpty())
                report.fatal = commitError;
            uncommitted = 0;
            sinceCommit.restart();
        }
    };

    qint64 done = 0;
    for (const PendingFile& pending : work) {
        if (!report.fatal.isEmpty())
            break;
        if (stopRequested()) {
            report.stopped = true;
            break;
        }
        if (progress)
            progress(done, work.size(), report.bytesRead);
        const StoredFile& file = pending.file;
        QString text, note, reason;
        bool lasting = false;   // the failure is the file's own: it stays until the file changes
        if (extract::FileTypeOf(file.identity.fileName) == extract::FileType::Other) {
            note = QStringLiteral("按文件名称和说明索引");
        } else {
            CallLog::Clear();
            desktop.events.clear();
            const svc::FetchLimits limits = FetchLimitsFor(file.identity.fileName, m_options.worker.limits, m_options.stop);
            fileStore.SetFetchLimits(limits);
            doc::StoredFileRetrieval retrieval(file.record);
            retrieval.SetLocalFolder(folder.path());
            retrieval.SetFetchLimits(limits);
            const doc::StoredFileRetrieval::Fetched fetched =
                file.resource ? retrieval.FetchResourceFile(resourceSetting, &fileStore)
                              : retrieval.FetchDesignDocument(designSetting, &fileStore);
            if (!fetched.arrived()) {
                // An unreachable store is tried again next time; a file too large stays so.
                reason = FetchFailureReason(desktop);
                lasting = svc::IsTooLargeMessage(reason);
            } else {
                report.bytesRead += QFileInfo(fetched.localPath).size();
                const extract::Extraction extraction = worker.extract(fetched.localPath);
                QFile::remove(fetched.localPath);
                if (extraction.ok) {
                    text = extraction.text;
                    note = extraction.note;
                    if (extraction.textless)
                        report.withoutText.append(Describe(file.identity));
                } else {
                    reason = extraction.error;
                    lasting = !extraction.transient;
                }
            }
        }
        // What a stop cut short is neither a failure nor a result: the next run reads the file.
        if (stopRequested()) {
            report.stopped = true;
            break;
        }
        QString error;
        if (!reason.isEmpty()) {
            report.failures.append({Describe(file.identity), reason});
            // A new file is found by its name and description until its text can be read; a
            // changed one keeps its earlier text. A file that failed by itself (damaged,
            // encrypted, too large, out of time) is remembered so and left alone until it
            // changes; one whose fetch failed is tried again on the next run.
            if (lasting)
                write(store.putFailure(file.identity, file.facts, reason, pending.existingId, &error), error);
            else if (pending.existingId < 0)
                write(store.put(file.identity, file.facts, QString(), reason, true, -1, &error), error);
        } else {
            write(store.put(file.identity, file.facts, text, note, false, pending.existingId, &error), error);
            ++(pending.existingId < 0 ? report.added : report.replaced);
        }
        ++done;
    }

    // Files the PDM database no longer lists; only tables read to their end can tell.
    if (report.fatal.isEmpty() && !report.stopped) {
        const QStringList known = WalkedTableNames();
        for (auto it = entries.constBegin(); it != entries.constEnd() && report.fatal.isEmpty(); ++it) {
            if (listed.contains(it.key()))
                continue;
            const QString table = it.key().section(QChar(0x1f), 0, 0);
            if (known.contains(table) && !completeTables.contains(table))
                continue;
            QString error;
            write(store.remove(it->id, &error), error);
            ++report.removed;
        }
    }
    if (report.fatal.isEmpty() && !store.commit(&report.fatal))
        store.rollback();
    else if (!report.fatal.isEmpty())
        store.rollback();
    report.writes = store.changeCount() - changesBefore;
    if (report.writes > 0)
        store.refreshStatistics();
    if (report.fatal.isEmpty() && !report.stopped && !store.onPostgres() &&
        sql::DbmsOf(pdm->GetPtrPDM()->dbms()) == sql::Dbms::Sqlite) {
        report.codes = CodeIndexKeeper(pdm->GetPtrPDM(), store.database()).keep(m_options.stop);
        report.codesKept = true;
        report.stopped = report.codes.stopped;
    }
    if (progress)
        progress(done, work.size(), report.bytesRead);
    return report;
}

} // namespace zq::index
