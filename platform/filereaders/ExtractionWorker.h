#pragma once
// The text of a stored file read in a worker process (WorkerProcess): whatever a hostile file does
// to the reader, the caller gets an answer within the file's deadline. The worker's side is
// RunExtractionWorker, called by the program that serves as the worker when started with its
// worker option.
#include "TextExtraction.h"
#include "WorkerProcess.h"

#include <QByteArray>
#include <QString>
#include <atomic>

namespace zq::extract {

// The worker's side: answers requests until standard input ends. memoryMb limits the process's
// address space (0: no limit). Returns the process's exit status.
int RunExtractionWorker(int memoryMb);

class ExtractionWorker {
public:
    struct Settings {
        QString program;               // the program that serves as the worker
        QString workerOption;          // the option that makes it one (`program OPTION MB`)
        int memoryMb = 1024;           // the worker's address-space limit
        int deadlineMs = 30000;        // wall time a file may take, start of a worker included
        ExtractLimits limits;          // what the readers themselves hold to
        const std::atomic<bool>* stop = nullptr;   // once set, a file under way is given up at once
    };

    explicit ExtractionWorker(Settings settings);

    // The text of the file at path. Whatever the file does to the worker, this returns within the
    // deadline; a worker that missed it, died or answered nonsense is gone and the failure is in
    // the result's error ("提取超时 ...", "提取进程异常结束 ...", or the stop's "提取被要求停止").
    Extraction extract(const QString& path);

    // Workers started so far (a new one after each one lost).
    int workersStarted() const { return m_process.started(); }

private:
    Settings m_settings;
    WorkerProcess m_process;
};

// The request and answer payloads, shared by both sides.
QByteArray EncodeRequest(const QString& path, const ExtractLimits& limits);
bool DecodeRequest(const QByteArray& payload, QString* path, ExtractLimits* limits);
// last: the worker ends after this answer.
QByteArray EncodeAnswer(const Extraction& extraction, bool last);
bool DecodeAnswer(const QByteArray& payload, Extraction* extraction, bool* last);

} // namespace zq::extract
