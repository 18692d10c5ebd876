#include "StoredFileRetrieval.h"

#include "CallLog.h"
#include "Desktop.h"
#include "FileName.h"
#include "FileServices.h"
#include "LocalTarget.h"
#include "PartServices.h"
#include "Profile.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

#include <QFile>
#include <QFileInfo>

namespace zq::doc {

const char* const kDesignDocumentStorageKey = "电子文档存储方式";
const char* const kResourceStorageKey = "资源文档存储方式";

namespace {

constexpr int kProfileBuffer = 100;

bool IsZeroOrOne(int setting)
{
    return setting == 0 || setting == 1;
}

} // namespace

int ReadStorageSetting(const char* key)
{
    return Atoi(GetPrivateProfileString(QStringLiteral("图纸入库配置"), QString::fromUtf8(key), QStringLiteral("0"),
                                        kProfileBuffer, InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini"))));
}

StoredFileRetrieval::StoredFileRetrieval(const DocumentRecord& record)
    : m_code1(CodeToPathSegment(record.Field(RecordField::Code1))),
      m_code2(CodeToPathSegment(record.Field(RecordField::Code2))),
      m_revision(record.Field(RecordField::Revision)),
      m_fileName(record.Field(RecordField::FileName))
{
}

QString StoredFileRetrieval::DesignStoreFolder() const
{
    return QStringLiteral("%1%2\\%3\\%4\\").arg(QStringLiteral("\\Zq\\Proven\\"), m_code1, m_code2, m_revision);
}

QString StoredFileRetrieval::ResourceStoreFolder() const
{
    return QStringLiteral("\\Zq\\Resource\\%1\\").arg(m_code2);
}

QString StoredFileRetrieval::DesignFileKey() const
{
    return QStringLiteral("%1_%2_%3").arg(m_code1, m_code2, m_fileName);
}

QString StoredFileRetrieval::ResourceContentSql() const
{
    return QStringLiteral("SELECT DocSaved, DocContent FROM EngineerViewDoc WHERE ItemCode='%1' AND DocType='%2'")
        .arg(SqlQuote(m_code2), SqlQuote(FileTitle()));
}

QString StoredFileRetrieval::LocalPath() const
{
    // A stored name is a name, never a way out of the temporary folder.
    const QString name = svc::PlainFileName(m_fileName);
    if (name.isEmpty())
        return QString();
    return m_localFolder.isEmpty() ? TempFolder() + name : svc::SafeLocalPath(m_localFolder + name);
}

QString StoredFileRetrieval::FileTitle() const
{
    return CFileName(m_fileName).GetFileTitle();
}

bool StoredFileRetrieval::RemoveEarlierCopy(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    return info.isFile() || info.isSymLink() ? QFile::remove(path) : false;
}

bool StoredFileRetrieval::Fetched::arrived() const
{
    return !endedSilently && !localPath.isEmpty() && CFileName(localPath).Exist();
}

StoredFileRetrieval::Outcome StoredFileRetrieval::NotFetched(const QStringList& reasons)
{
    Desktop::current().messageBox(QStringLiteral("文件没有下载成功"), QStringLiteral("操作提示"),
                                  MB_OK | MB_ICONEXCLAMATION, reasons.join(u'\n'));
    return Outcome::NotFetched;
}

StoredFileRetrieval::Outcome StoredFileRetrieval::Finish(const Fetched& fetched, qsizetype failuresBefore)
{
    if (fetched.endedSilently)
        return Outcome::EndedSilently;
    if (!fetched.arrived()) {
        QStringList reasons = CallLog::ReasonsSince(failuresBefore);
        if (!fetched.reason.isEmpty())
            reasons.append(fetched.reason);
        if (reasons.isEmpty())
            reasons.append(QStringLiteral("本地没有得到文件 %1").arg(fetched.localPath));
        return NotFetched(reasons);
    }
    CCommonBrowserTool().BrowseFile(fetched.localPath, 0);
    return Outcome::Opened;
}

StoredFileRetrieval::Outcome StoredFileRetrieval::OpenDesignDocument(int storageSetting, CZQSaveFileToFTP* pageStore)
{
    WaitCursor wait;
    const qsizetype failuresBefore = CallLog::FailureCount();
    return Finish(FetchDesignDocument(storageSetting, pageStore), failuresBefore);
}

StoredFileRetrieval::Outcome StoredFileRetrieval::OpenResourceFile(int storageSetting)
{
    WaitCursor wait;
    const qsizetype failuresBefore = CallLog::FailureCount();
    return Finish(FetchResourceFile(storageSetting), failuresBefore);
}

// Why no copy can be made at all: the record names no file, or an earlier copy cannot be removed.
QString StoredFileRetrieval::NoTargetReason(const QString& local) const
{
    if (local.isEmpty())
        return QStringLiteral("记录中没有文件名: %1").arg(m_fileName);
    return QStringLiteral("不能删除以前取到的文件 %1").arg(local);
}

StoredFileRetrieval::Fetched StoredFileRetrieval::FetchDesignDocument(int storageSetting, CZQSaveFileToFTP* pageStore)
{
    const QString local = LocalPath();
    if (IsZeroOrOne(storageSetting)) {
        if (local.isEmpty() || !RemoveEarlierCopy(local))
            return {QString(), false, NoTargetReason(local)};
        // The store's answer is not asked for: the copy on disk decides.
        if (pageStore)
            pageStore->GetFileFromFTP(DesignStoreFolder(), m_fileName, local);
        return {local};
    }
    // The component extracts to a path of its own choosing and says so only on success.
    if (!local.isEmpty())
        RemoveEarlierCopy(local);
    CSaveZQPDMFile component;
    if (!m_localFolder.isEmpty())
        component.SetTargetFolder(m_localFolder);
    component.SetFetchLimits(m_limits);
    const QString extracted = component.DirectReadZQPDMFileFromDB(DesignFileKey(), QStringLiteral("产品"), m_code2,
                                                                  m_revision, FileTitle());
    if (extracted.isEmpty())
        return {QString(), true};
    return {extracted};
}

StoredFileRetrieval::Fetched StoredFileRetrieval::FetchResourceFile(int storageSetting, CZQSaveFileToFTP* store)
{
    const QString local = LocalPath();
    if (local.isEmpty() || !RemoveEarlierCopy(local))
        return {QString(), false, NoTargetReason(local)};
    if (IsZeroOrOne(storageSetting)) {
        CZQSaveFileToDB database;
        database.SetFetchLimits(m_limits);
        database.PopFileFromDB(ResourceContentSql(), local, QStringLiteral("DocContent"), QStringLiteral("pdm"));
        return {local};
    }
    CZQSaveFileToFTP fresh;
    fresh.SetFetchLimits(m_limits);
    const bool connected = store ? store->GetCurrentFtp() != nullptr : fresh.InitZQPDMFTP();
    CZQSaveFileToFTP& used = store ? *store : fresh;
    // Without a store the copy on disk decides; a store that has no such file ends the open.
    if (connected && !used.GetFileFromFTP(ResourceStoreFolder(), m_fileName, local))
        return {local, true};
    return {local};
}

} // namespace zq::doc
