// The file store: a folder (file://) or an FTP server (ftp://), fetched through libcurl.
#include "CallLog.h"
#include "ConnectionUrl.h"
#include "CurlTransfer.h"
#include "FileServices.h"
#include "LocalTarget.h"
#include "Profile.h"
#include "ZQPDMFC.h"
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <optional>

namespace {

const QString kComponent = QStringLiteral("CZQSaveFileToFTP");

// A folder written relative in the configuration ("file:ftpstore") counts from the installation.
QString inInstallation(const QString& url)
{
    if (!url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return url;
    const QString folder = QUrl(url).toLocalFile();
    if (folder.isEmpty() || QDir::isAbsolutePath(folder))
        return url;
    return QUrl::fromLocalFile(QDir::cleanPath(zq::InstallDirectory() + u'/' + folder)).toString();
}

// ZQPDM_FTP, else [FTP] Url of the installation's configuration, else the installation's ftpstore folder.
QString configuredStoreUrl()
{
    QString url = qEnvironmentVariable("ZQPDM_FTP").trimmed();
    if (url.isEmpty())
        url = inInstallation(zq::GetPrivateProfileString(QStringLiteral("FTP"), QStringLiteral("Url"), QString(), 1024,
                                                         zq::InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini")))
                                 .trimmed());
    if (url.isEmpty())
        url = QUrl::fromLocalFile(zq::InstallDirectory() + QStringLiteral("/ftpstore")).toString();
    return url;
}

struct Store {
    bool local = false;
    QString folder;   // local: the store's root folder
    QUrl base;        // ftp: the server URL with the store's root path
};

std::optional<Store> parseStore(const QString& url, QString* error)
{
    Store store;
    if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        store.local = true;
        store.folder = QUrl(url).toLocalFile();
    } else if (QDir::isAbsolutePath(url)) {
        store.local = true;
        store.folder = url;
    } else if (url.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive) ||
               url.startsWith(QLatin1String("ftps://"), Qt::CaseInsensitive)) {
        store.base = QUrl(url);
        if (!store.base.isValid() || store.base.host().isEmpty()) {
            *error = QStringLiteral("FTP 地址无效: ") + zq::db::RedactUrl(url);
            return std::nullopt;
        }
    } else {
        *error = QStringLiteral("文件存储地址无效: ") + zq::db::RedactUrl(url);
        return std::nullopt;
    }
    if (store.local && store.folder.isEmpty()) {
        *error = QStringLiteral("文件存储地址无效: ") + zq::db::RedactUrl(url);
        return std::nullopt;
    }
    return store;
}

// The folder's segments; nullopt when one of them would leave the store.
std::optional<QStringList> folderSegments(const QString& remoteFolder)
{
    QString unified = remoteFolder;
    unified.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList segments = unified.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& s : segments)
        if (s == QLatin1String(".") || s == QLatin1String(".."))
            return std::nullopt;
    return segments;
}

QByteArray encodedPath(const QStringList& segments)
{
    QByteArray path;
    for (const QString& s : segments)
        path += '/' + QUrl::toPercentEncoding(s);
    return path;
}

QByteArray baseUrl(const Store& store)
{
    return store.base.adjusted(QUrl::StripTrailingSlash).toEncoded();
}

} // namespace

bool CZQSaveFileToFTP::InitZQPDMFTP()
{
    zq::CallLog::Record(kComponent, QStringLiteral("InitZQPDMFTP"), {});
    const bool connected = connectStore();
    if (!connected)
        zq::CallLog::RecordFailure(kComponent, QStringLiteral("InitZQPDMFTP"), m_error);
    return connected;
}

bool CZQSaveFileToFTP::connectStore()
{
    m_ready = false;
    m_error.clear();
    m_ftp.url = configuredStoreUrl();
    const auto store = parseStore(m_ftp.url, &m_error);
    if (!store)
        return false;
    if (store->local) {
        if (!QFileInfo(store->folder).isDir()) {
            m_error = QStringLiteral("文件存储目录不存在: ") + store->folder;
            return false;
        }
    } else {
        zq::svc::TransferLimits limits;
        limits.totalSeconds = 10;
        if (!zq::svc::CurlListFolder(baseUrl(*store) + '/', limits, &m_error))
            return false;
    }
    m_ready = true;
    return true;
}

FtpConnection* CZQSaveFileToFTP::GetCurrentFtp()
{
    return m_ready ? &m_ftp : nullptr;
}

QString CZQSaveFileToFTP::GetFtpRoot() const
{
    return m_root;
}

bool CZQSaveFileToFTP::GetFileFromFTP(const QString& remoteFolder, const QString& fileName, const QString& localPath)
{
    zq::CallLog::Record(kComponent, QStringLiteral("GetFileFromFTP"), {remoteFolder, fileName, localPath});
    const bool fetched = fetch(remoteFolder, fileName, localPath);
    if (!fetched)
        zq::CallLog::RecordFailure(kComponent, QStringLiteral("GetFileFromFTP"), m_error);
    return fetched;
}

bool CZQSaveFileToFTP::fetch(const QString& remoteFolder, const QString& fileName, const QString& localPath)
{
    m_error.clear();
    if (fileName.isEmpty() || zq::svc::PlainFileName(fileName) != fileName) {
        m_error = QStringLiteral("文件名无效: ") + fileName;
        return false;
    }
    const auto segments = folderSegments(remoteFolder);
    if (!segments) {
        m_error = QStringLiteral("文件夹无效: ") + remoteFolder;
        return false;
    }
    const QString target = zq::svc::SafeLocalPath(localPath);
    if (target.isEmpty()) {
        m_error = QStringLiteral("本地路径无效: ") + localPath;
        return false;
    }
    if (m_ftp.url.isEmpty())
        m_ftp.url = configuredStoreUrl();
    const auto store = parseStore(m_ftp.url, &m_error);
    if (!store)
        return false;

    QByteArray source;
    if (store->local) {
        const QString path = zq::ResolvePathCaseInsensitive(store->folder + QLatin1Char('/') +
                                                            segments->join(QLatin1Char('/')) + QLatin1Char('/') + fileName);
        const QFileInfo stored(path);
        if (!stored.isFile()) {
            m_error = QStringLiteral("文件不存在: ") + path;
            return false;
        }
        if (m_limits.bounded() && !m_limits.startWillDo && stored.size() > m_limits.maxBytes) {
            m_error = zq::svc::TooLargeMessage(stored.size(), m_limits.maxBytes);
            return false;
        }
        source = QUrl::fromLocalFile(path).toEncoded();
    } else {
        source = baseUrl(*store) + encodedPath(*segments) + '/' + QUrl::toPercentEncoding(fileName);
    }

    QSaveFile file(target);
    if (!zq::svc::OpenPrivateFile(file, &m_error))
        return false;
    zq::svc::TransferLimits limits;
    limits.fetch = m_limits;
    if (!zq::svc::CurlDownload(source, file, limits, &m_error)) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        m_error = QStringLiteral("不能写入文件 %1: %2").arg(target, file.errorString());
        return false;
    }
    return true;
}
