#pragma once
// Opening the stored file of a design-document or resource row: the file is fetched from the
// database or the file store, as the row's kind and its storage setting say, into the temporary
// folder, and handed to the file browser; "文件没有下载成功" when no copy arrived, with the reasons
// the storage gave (the file missing in the store, the FTP server's answer) in the box's detail.
#include "DocumentRecord.h"
#include "FetchLimits.h"

#include <QString>

class CZQSaveFileToFTP;

namespace zq::doc {

// The storage settings of section "图纸入库配置": text (default "0") converted with atoi. The two
// keys have opposite senses: 0 or 1 means the file store for design documents and the database
// for resource files.
extern const char* const kDesignDocumentStorageKey;   // "电子文档存储方式"
extern const char* const kResourceStorageKey;         // "资源文档存储方式"
int ReadStorageSetting(const char* key);

class StoredFileRetrieval {
public:
    enum class Outcome {
        Opened,          // the copy exists and went to the browser
        NotFetched,      // no copy: the user was told "文件没有下载成功"
        EndedSilently,   // the storage component declined and reported on its own, or said nothing
    };

    // Where a fetch left the file: the local copy's path, which exists when the fetch worked (the
    // copy on disk decides, as when opening), or an open that ends without a word.
    struct Fetched {
        QString localPath;
        bool endedSilently = false;
        QString reason{};   // why no copy can arrive, where the retrieval itself knows it
        bool arrived() const;
    };

    // The record's Code1, Code2, Revision and FileName; the two codes made path segments.
    explicit StoredFileRetrieval(const DocumentRecord& record);

    // Fetches into this folder (ending with '/', inside the temporary folder) instead of the
    // temporary folder itself: a reader other than the user keeps clear of the user's copies.
    void SetLocalFolder(const QString& folder) { m_localFolder = folder; }
    // Limits for a reader that takes only so much of a file, passed to the storage objects made
    // here (a store object handed in keeps its own).
    void SetFetchLimits(const zq::svc::FetchLimits& limits) { m_limits = limits; }

    // Design document: the store below "\Zq\Proven\", through the page's own store object (which
    // is asked even when it could not connect), or the database by the key "N1_N2_FileName".
    Outcome OpenDesignDocument(int storageSetting, CZQSaveFileToFTP* pageStore);
    // Resource file: the EngineerViewDoc blob, or the store below "\Zq\Resource\".
    Outcome OpenResourceFile(int storageSetting);

    // The same fetches without the browser and without a message: for readers of the file. A
    // resource fetch from the store uses `store` when given (connected or not), else a fresh one.
    Fetched FetchDesignDocument(int storageSetting, CZQSaveFileToFTP* pageStore);
    Fetched FetchResourceFile(int storageSetting, CZQSaveFileToFTP* store = nullptr);

    // What the opens ask for.
    QString DesignStoreFolder() const;     // "\Zq\Proven\N1\N2\rev\"
    QString ResourceStoreFolder() const;   // "\Zq\Resource\N2\"
    QString DesignFileKey() const;         // "N1_N2_FileName"
    QString ResourceContentSql() const;
    // The local folder plus the file name without any folder part; "" when no name is left.
    QString LocalPath() const;

private:
    QString FileTitle() const;
    QString NoTargetReason(const QString& local) const;
    // Removes an earlier copy at path so it cannot pass for this fetch; false when one stays.
    static bool RemoveEarlierCopy(const QString& path);
    static Outcome NotFetched(const QStringList& reasons);
    // failuresBefore: the service failures recorded before the fetch (their reasons are not this one's).
    static Outcome Finish(const Fetched& fetched, qsizetype failuresBefore);

    QString m_code1;      // the record's Code1, made a path segment
    QString m_code2;      // the record's Code2, made a path segment
    QString m_revision;   // the record's Revision
    QString m_fileName;   // the record's FileName, as stored
    QString m_localFolder;   // "" for the temporary folder
    zq::svc::FetchLimits m_limits;
};

} // namespace zq::doc
