#pragma once
// Text extraction in a process of its own. The readers of PDF, Office, OpenDocument, text and DXF
// files are fed untrusted bytes, and one call into PDFium can run for minutes (or for ever) and
// take gigabytes on a few kilobytes of crafted PDF; the indexer must survive that. The worker is
// this program started with --extract-worker: it reads one request after another on standard input
// and answers each on standard output, under an address-space limit and a limit of CPU time for
// each file, and it is killed by the system when the indexer ends, however it ends. The indexer
// keeps it alive across files, gives each file a deadline, kills a worker that misses it and starts
// a new one for the next file.
#include "TextExtraction.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class QProcess;

namespace zq::index {

// The arguments that make this program a worker: --extract-worker MEMORY_MB.
inline constexpr const char* kWorkerOption = "--extract-worker";

// The worker's side: answers requests until standard input ends. memoryMb limits the process's
// address space (0: no limit). Returns the process's exit status.
int RunExtractionWorker(int memoryMb);

class ExtractionWorker {
public:
    struct Settings {
        QString program;               // this program (a worker is `program --extract-worker MB`)
        int memoryMb = 1024;           // the worker's address-space limit
        int deadlineMs = 30000;        // wall time a file may take, start of a worker included
        extract::ExtractLimits limits; // what the readers themselves hold to
        const std::atomic<bool>* stop = nullptr;   // once set, a file under way is given up at once
    };

    explicit ExtractionWorker(Settings settings);
    ~ExtractionWorker();
    ExtractionWorker(const ExtractionWorker&) = delete;
    ExtractionWorker& operator=(const ExtractionWorker&) = delete;

    // The text of the file at path. Whatever the file does to the worker, this returns within the
    // deadline; a worker that missed it, died or answered nonsense is gone and the failure is in
    // the result's error ("提取超时 ...", "提取进程异常结束 ...", or the stop's "提取被要求停止").
    extract::Extraction extract(const QString& path);

    // Workers started so far (a new one after each one lost).
    int workersStarted() const { return m_started; }

private:
    bool start(QString* error);
    void discard();
    // A whole answer frame from what was read so far; *error set when it cannot be one.
    bool takeFrame(QByteArray* payload, QString* error);
    // Reads one answer frame; false with *error when the deadline passed or the worker ended.
    bool readFrame(QByteArray* payload, qint64 deadlineMs, QString* error);
    QString endedReason() const;

    Settings m_settings;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_pending;
    int m_started = 0;
};

// The request and answer frames, shared by both sides: a 4-byte big-endian length, then the payload.
QByteArray EncodeRequest(const QString& path, const extract::ExtractLimits& limits);
bool DecodeRequest(const QByteArray& payload, QString* path, extract::ExtractLimits* limits);
// last: the worker ends after this answer.
QByteArray EncodeAnswer(const extract::Extraction& extraction, bool last);
bool DecodeAnswer(const QByteArray& payload, extract::Extraction* extraction, bool* last);
QByteArray Frame(const QByteArray& payload);

} // namespace zq::index
