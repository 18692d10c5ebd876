#pragma once
// Every caption the search window knows, and an installation's page list naming them all (GBK, as
// installations write it). Pages not in this build get no tab and are skipped.
#include "GbkText.h"

#include <QFile>
#include <QString>
#include <iterator>

namespace wbtest {

inline const char* const kAllCaptions[] = {
    "设计零部件", "资源文件", "设计文档", "数据视图项", "批次产品", "更改单",
    "更改发放部门", "更改影响面", "更改处理意见", "设计任务", "设计过程零部件", "文档内容",
};

inline bool WriteAllPagesList(const QString& path)
{
    QByteArray bytes;
    for (const char* caption : kAllCaptions)
        bytes += zq::EncodeGbk(QString::fromUtf8(caption)) + "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace wbtest
