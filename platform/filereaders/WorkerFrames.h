#pragma once
// The frames a worker process and its parent exchange on the worker's standard input and output:
// a 4-byte big-endian length, then the payload. What a payload holds is up to the caller.
#include <QByteArray>
#include <QtGlobal>

namespace zq::extract {

// Longer frames are nonsense: a request names a file, an answer is at most a few MB.
inline constexpr quint32 kMaxFrame = 64u * 1024 * 1024;

QByteArray Frame(const QByteArray& payload);
// The payload length a frame's first four bytes announce.
quint32 FrameLength(const char header[4]);

} // namespace zq::extract
