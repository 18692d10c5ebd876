#pragma once
// Part component: where-used list, attribute view, version list, and file extraction from the database.
#include "FetchLimits.h"

#include <QString>

class CZQPart {
public:
    // A null QString stands for a null argument.
    bool SetPartParameter(const QString& code, const QString& arg2, const QString& arg3, const QString& revision);
    int DwgAttribute(const QString& table, int mode);     // shows the part's attributes
    int BrowsePartReversion();                            // shows the part's versions
private:
    QString m_code, m_revision;
};

class CZQPartBorrowManage {
public:
    static int PartUsedSearch(const QString& code);      // shows where the part is used
};

class CSaveZQPDMFile {
public:
    // Extracts the stored file into the temporary folder; its full path, "" on failure. The files
    // live in a table of our own (ZqPDMFile); without it nothing is fetched and nothing reported.
    QString DirectReadZQPDMFileFromDB(const QString& key, const QString& kind, const QString& code,
                                      const QString& revision, const QString& fileTitle);
    // A folder inside the temporary folder to extract into instead of the temporary folder itself
    // (ending with '/'), so that a reader that is not the user leaves the user's copies alone.
    void SetTargetFolder(const QString& folder) { m_targetFolder = folder; }
    // Limits for a reader that is not the user: the file's length is asked first.
    void SetFetchLimits(const zq::svc::FetchLimits& limits) { m_limits = limits; }

private:
    QString m_targetFolder;
    zq::svc::FetchLimits m_limits;
};
