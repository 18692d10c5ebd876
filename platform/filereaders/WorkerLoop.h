#pragma once
// The worker's side of WorkerProcess: the requests on standard input answered one by one on
// standard output, under the limits a worker holds to.
#include <QByteArray>
#include <functional>

namespace zq::extract {

struct WorkerReply {
    QByteArray payload;
    bool last = false;      // the worker ends after this answer (exit status 3)
    bool exitAtOnce = false;   // ... at once, without tearing down its objects (a reader still runs)
};

// Answers requests until standard input ends; returns the process's exit status. memoryMb limits
// the process's address space (0: no limit); no core file is left behind. Whatever a library
// prints goes to standard error, never into the answers.
int ServeWorkerRequests(int memoryMb, const std::function<WorkerReply(const QByteArray& request)>& answer);

// The CPU time the next request may take from now: timeLimitMs and a second more. The parent's
// wall-clock deadline comes first for a reader of one thread; this one ends a reader that spins on
// several, or a worker whose parent cannot watch it.
void LimitCpuForNextRequest(int timeLimitMs);

// True when this build cannot bound a worker's address space (AddressSanitizer reserves terabytes
// for its shadow memory); the parent bounds its resident memory through the sanitizer instead.
bool AddressSpaceLimitUnavailable();

} // namespace zq::extract
