#pragma once
// File storage: blob extraction from the database, the FTP (or folder) store, and viewing.
#include "FetchLimits.h"

#include <QString>

class CCommonBrowserTool {
public:
    void BrowseFile(const QString& path, int mode);   // opens the file for viewing (shell "open")
};

class CZQSaveFileToDB {
public:
    // Writes the blob of column blobColumn of the first row to localPath; returns localPath, "" on failure.
    QString PopFileFromDB(const QString& sql, const QString& localPath, const QString& blobColumn, const QString& database);
    // Limits for a reader that is not the user: the blob's length is asked first.
    void SetFetchLimits(const zq::svc::FetchLimits& limits) { m_limits = limits; }

private:
    zq::svc::FetchLimits m_limits;
};

// The store's URL comes from the installation ("rnds\spt\zqpdmcad.ini", section "FTP", key "Url";
// ZQPDM_FTP overrides): file:///folder (default: <installation>/ftpstore) or ftp://[user:pass@]host:port/root.
struct FtpConnection {
    QString url;
};

class CZQSaveFileToFTP {
public:
    bool InitZQPDMFTP();                  // true when the store is reachable
    FtpConnection* GetCurrentFtp();       // null before a successful init
    QString GetFtpRoot() const;           // the store's root folder, "\" by default
    // remoteFolder uses '\' ("\Zq\Proven\P1\A1\A\"); true when the file was copied to localPath.
    bool GetFileFromFTP(const QString& remoteFolder, const QString& fileName, const QString& localPath);
    // Why the last call failed; a failure is also recorded in the call log with this reason.
    QString LastError() const { return m_error; }
    // Limits for a reader that is not the user: a folder's file is measured first, FTP asks SIZE.
    void SetFetchLimits(const zq::svc::FetchLimits& limits) { m_limits = limits; }
private:
    bool connectStore();
    bool fetch(const QString& remoteFolder, const QString& fileName, const QString& localPath);

    FtpConnection m_ftp;
    bool m_ready = false;
    QString m_root = QStringLiteral("\\");
    QString m_error;
    zq::svc::FetchLimits m_limits;
};
