#include "WorkerFrames.h"

namespace zq::extract {

QByteArray Frame(const QByteArray& payload)
{
    const quint32 n = quint32(payload.size());
    QByteArray frame;
    frame.reserve(payload.size() + 4);
    frame.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return frame + payload;
}

quint32 FrameLength(const char header[4])
{
    const auto* b = reinterpret_cast<const unsigned char*>(header);
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

} // namespace zq::extract
