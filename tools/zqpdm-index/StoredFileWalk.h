#pragma once
// Every stored file the two document pages can open: the rows of Documents, TaskDocuments and
// TeamWorkResult ("设计文档") and of EngineerViewDoc ("资源文件"), read with the pages' own SELECTs
// and turned into the pages' own row records, so a file is fetched exactly as the page fetches it.
#include "ContentIndexStore.h"
#include "DocumentRecord.h"

#include <QList>
#include <QString>
#include <functional>

namespace zq { class Connection; }

namespace zq::index {

struct StoredFile {
    FileIdentity identity;
    FileFacts facts;
    doc::DocumentRecord record;   // as the page lists the row
    bool resource = false;        // a resource file (else a design document)
};

// How the reading of one table went. A table not read to its end says nothing about which of its
// files are gone, so none of them is taken out of the index.
struct WalkedTable {
    QString table;
    qint64 rows = 0;
    bool complete = false;
    QString error;
};

// The tables walked, in order.
QStringList WalkedTableNames();

// Reads the tables on the PDM connection and hands every row's file to visit.
QList<WalkedTable> WalkStoredFiles(Connection* pdm, const std::function<void(const StoredFile&)>& visit);

} // namespace zq::index
