#include "StandardOutputCheck.h"

#include <QIODevice>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zq::console {

namespace {

int Failed(int status, const char* program, const QByteArray& reason)
{
    std::fprintf(stderr, "%s: cannot write to standard output: %s\n", program,
                 reason.isEmpty() ? "write error" : reason.constData());
    std::fflush(stderr);
    return status != 0 ? status : 1;
}

} // namespace

int FinishStandardOutput(int status, const char* program)
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int reason = errno;
    if (flushed && !std::ferror(stdout))
        return status;
    return Failed(status, program, reason != 0 ? QByteArray(std::strerror(reason)) : QByteArray());
}

int FinishStandardOutput(int status, const char* program, QTextStream& out)
{
    out.flush();
    if (out.status() == QTextStream::WriteFailed)
        return Failed(status, program, out.device() ? out.device()->errorString().toLocal8Bit() : QByteArray());
    return FinishStandardOutput(status, program);
}

} // namespace zq::console
