#include "FetchLimits.h"

namespace zq::svc {

QString TooLargeMessage(qint64 size, qint64 maxBytes)
{
    if (size < 0)
        return QStringLiteral("文件超过 %1 字节的读取上限, 没有取出").arg(maxBytes);
    return QStringLiteral("文件有 %1 字节, 超过 %2 字节的读取上限, 没有取出").arg(size).arg(maxBytes);
}

QString StoppedMessage()
{
    return QStringLiteral("取出文件时被要求停止");
}

} // namespace zq::svc
