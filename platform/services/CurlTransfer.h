#pragma once
// File transfers through libcurl, for ftp:// stores and file:// folders alike.
#include "FetchLimits.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace zq::svc {

struct TransferLimits {
    long connectSeconds = 3;        // connecting (and, for FTP, the server's responses)
    long stallSeconds = 10;         // abort when less than one byte a second arrives for this long
    long totalSeconds = 0;          // 0: no limit on the whole transfer
    FetchLimits fetch;              // the most bytes, and the flag that ends the transfer
};

// Copies the resource at url (already percent-encoded) into sink. False and *error on failure.
// With a byte limit: a resource whose size is known to be larger is not transferred (FTP asks
// SIZE first) unless its start will do; otherwise the transfer ends at the limit, keeping what
// came when the start will do and failing when not.
bool CurlDownload(const QByteArray& url, QIODevice& sink, const TransferLimits& limits, QString* error);

// Logs in and lists the folder at url (ending with '/'). False and *error when it cannot.
bool CurlListFolder(const QByteArray& url, const TransferLimits& limits, QString* error);

} // namespace zq::svc
