#include "PreviewCache.h"
#include "ConnectionUrl.h"
#include "FileLock.h"
#include "PrivateTempFolder.h"
#include "ZQPDMFC.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zq::preview {

namespace {

const QString kSuffix = QStringLiteral(".zqpv");
// Changes when what a preview holds changes: older previews are then never found.
const QString kLayout = QStringLiteral("zqpdm-preview-1");
// A half-written preview left by a process that died is removed this long after.
constexpr qint64 kStaleTemporarySeconds = 3600;

// Makes the folder for the user alone; why it cannot serve, or "".
QString PrepareFolder(const QString& folder)
{
    if (!QFileInfo(folder).isSymLink() && !QFileInfo::exists(folder) && !QDir().mkpath(folder))
        return QStringLiteral("不能建立预览缓存文件夹 %1").arg(folder);
    const QFileInfo info(folder);
    if (info.isDir() && !info.isSymLink() && info.ownerId() == ::geteuid())
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    const QString problem = PrivateFolderProblem(folder);
    return problem.isEmpty() ? QString() : QStringLiteral("预览缓存文件夹不能使用: %1").arg(problem);
}

} // namespace

QString PreviewCache::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/zqpdm/previews");
}

PreviewCache::PreviewCache(QString folder, qint64 limitBytes) : m_folder(std::move(folder)), m_limit(limitBytes)
{
    m_problem = PrepareFolder(m_folder);
}

QString PreviewCache::KeyOf(const QStringList& database, const QStringList& identity, QSize box, int page)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&](const QString& part) {
        hash.addData(part.toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    };
    add(kLayout);
    for (const QString& part : database)
        add(part);
    add(QStringLiteral("|"));
    for (const QString& part : identity)
        add(part);
    add(QStringLiteral("%1x%2@%3").arg(box.width()).arg(box.height()).arg(page));
    return QString::fromLatin1(hash.result().toHex());
}

QStringList PreviewCache::SessionDatabase()
{
    return {InstallDirectory(), db::RedactUrl(db::ConfiguredConnectionUrl())};
}

QString PreviewCache::pathOf(const QString& key) const
{
    return m_folder + u'/' + key + kSuffix;
}

std::optional<QByteArray> PreviewCache::get(const QString& key) const
{
    if (!m_problem.isEmpty())
        return std::nullopt;
    QFile file(pathOf(key));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    // Used now: the last to go when the cache is trimmed.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    file.setFileTime(now, QFileDevice::FileModificationTime);
    return bytes;
}

bool PreviewCache::put(const QString& key, const QByteArray& bytes, QString* error) const
{
    if (!m_problem.isEmpty()) {
        if (error)
            *error = m_problem;
        return false;
    }
    // Made 0600, written whole, then renamed over whatever another process put there meanwhile.
    QTemporaryFile file(m_folder + QStringLiteral("/XXXXXX.tmp"));
    file.setAutoRemove(true);
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = QStringLiteral("不能写入预览缓存: %1").arg(file.errorString());
        return false;
    }
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(pathOf(key)).constData()) != 0) {
        if (error)
            *error = QStringLiteral("不能写入预览缓存: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    file.setAutoRemove(false);
    trim();
    return true;
}

void PreviewCache::trim() const
{
    if (!m_problem.isEmpty())
        return;
    QString lockError;
    const std::optional<FileLock> lock = FileLock::Acquire(m_folder + QStringLiteral("/.lock"), &lockError);
    if (!lock)
        return;
    QFileInfoList entries = QDir(m_folder).entryInfoList({QStringLiteral("*") + kSuffix, QStringLiteral("*.tmp")},
                                                         QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds);
    qint64 total = 0;
    QFileInfoList previews;
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().endsWith(QStringLiteral(".tmp"))) {
            if (entry.lastModified() < stale)
                QFile::remove(entry.filePath());
            continue;
        }
        total += entry.size();
        previews.append(entry);
    }
    if (total <= m_limit)
        return;
    std::sort(previews.begin(), previews.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() < b.lastModified(); });
    for (const QFileInfo& entry : previews) {
        if (total <= m_limit)
            break;
        if (QFile::remove(entry.filePath()))
            total -= entry.size();
    }
}

} // namespace zq::preview
