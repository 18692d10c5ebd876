#include "ProcessTree.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <chrono>
#include <unistd.h>

namespace zq::bench {

QList<QByteArray> ProcessStatFields(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>{} : text.mid(close + 2).split(' ');
}

QList<qint64> ProcessTree(qint64 root)
{
    QMultiHash<qint64, qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        const QList<QByteArray> fields = ProcessStatFields(pid);
        if (fields.size() > 1)
            children.insert(fields[1].toLongLong(), pid);
    }
    QList<qint64> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree.append(children.values(tree[i]));
    return tree;
}

qint64 TreeResidentBytes(qint64 root)
{
    static const qint64 pageSize = sysconf(_SC_PAGESIZE);
    qint64 bytes = 0;
    for (qint64 pid : ProcessTree(root)) {
        QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
        if (!statm.open(QIODevice::ReadOnly))
            continue;   // ended meanwhile
        const QList<QByteArray> pages = statm.readAll().split(' ');
        if (pages.size() > 1)
            bytes += pages[1].toLongLong() * pageSize;
    }
    return bytes;
}

void PeakMemory::start(qint64 root)
{
    stop();
    m_peak = 0;
    m_running = true;
    m_sampler = std::thread([this, root] {
        while (m_running) {
            const qint64 now = TreeResidentBytes(root);
            if (now > m_peak)
                m_peak = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
}

qint64 PeakMemory::stop()
{
    m_running = false;
    if (m_sampler.joinable())
        m_sampler.join();
    return m_peak;
}

} // namespace zq::bench
