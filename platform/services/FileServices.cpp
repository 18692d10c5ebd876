#include "FileServices.h"
#include "CallLog.h"

void CCommonBrowserTool::BrowseFile(const QString& path, int mode)
{
    zq::CallLog::Record(QStringLiteral("CCommonBrowserTool"), QStringLiteral("BrowseFile"), {path, QString::number(mode)});
}

QString CZQSaveFileToDB::PopFileFromDB(const QString& sql, const QString& localPath, const QString& blobColumn,
                                       const QString& database)
{
    zq::CallLog::Record(QStringLiteral("CZQSaveFileToDB"), QStringLiteral("PopFileFromDB"),
                        {sql, localPath, blobColumn, database});
    return {};
}

bool CZQSaveFileToFTP::InitZQPDMFTP()
{
    zq::CallLog::Record(QStringLiteral("CZQSaveFileToFTP"), QStringLiteral("InitZQPDMFTP"), {});
    return m_ready;
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
    zq::CallLog::Record(QStringLiteral("CZQSaveFileToFTP"), QStringLiteral("GetFileFromFTP"),
                        {remoteFolder, fileName, localPath});
    return false;
}
