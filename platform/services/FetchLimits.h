#pragma once
// What a reader of stored files other than the user (the content indexer) asks of a fetch: no
// more than so many bytes, and a way to end it at once. The user's own opens fetch whole files.
#include <QString>
#include <atomic>

namespace zq::svc {

struct FetchLimits {
    qint64 maxBytes = -1;   // the most bytes fetched; -1: any size
    // A longer file: its first maxBytes bytes are fetched when its start will do (plain text), else
    // nothing is (a PDF or a zip is read from its end) and the fetch fails saying how large it is.
    // Where the store can tell a file's size (a folder, an FTP server's SIZE, a blob's length) it is
    // asked first; elsewhere the transfer ends at the limit.
    bool startWillDo = false;
    const std::atomic<bool>* stop = nullptr;   // once set, a transfer under way ends as failed

    bool bounded() const { return maxBytes >= 0; }
};

// Why a file larger than the limit was not fetched; size -1 when it is known only to be larger.
QString TooLargeMessage(qint64 size, qint64 maxBytes);
// True for a reason TooLargeMessage() gave: the file itself is too large, not the store unreachable.
bool IsTooLargeMessage(const QString& reason);

// The reason of a transfer ended because `stop` was set.
QString StoppedMessage();

} // namespace zq::svc
