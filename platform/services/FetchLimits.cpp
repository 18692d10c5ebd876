#include "FetchLimits.h"

namespace zq::svc {

namespace {

// How every "too large" reason ends, so that a reader of the reasons can tell that one apart.
QString TooLargeEnd()
{
    return QStringLiteral("字节的读取上限, 没有取出");
}

} // namespace

QString TooLargeMessage(qint64 size, qint64 maxBytes)
{
    if (size < 0)
        return QStringLiteral("文件超过 %1 ").arg(maxBytes) + TooLargeEnd();
    return QStringLiteral("文件有 %1 字节, 超过 %2 ").arg(size).arg(maxBytes) + TooLargeEnd();
}

bool IsTooLargeMessage(const QString& reason)
{
    return reason.endsWith(TooLargeEnd());
}

QString StoppedMessage()
{
    return QStringLiteral("取出文件时被要求停止");
}

} // namespace zq::svc
