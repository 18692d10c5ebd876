#pragma once
// The SQL texts and row layout of the design-document page, built from plain values so they
// can be checked without widgets. Every value placed between quotes has its quotes doubled.
#include "DocumentRecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::doc {

// The document kinds of the (hidden) kind list 1254, by index.
enum DocumentKind { KindAll = 0, KindProject = 1, KindDesign = 2, KindArchived = 3 };
const QStringList& DocumentKindNames();

// The page's conditions as typed; text fields are trimmed here and used when not empty.
struct DocumentConditions {
    QString description;
    QString fileName;
    QString part;
    QString remark;
    QDate from;
    QDate to;
    int kind = KindArchived;
};

// The SELECTs of one search, in the order they run, and whether "开始日期与结束日期不匹配..."
// must be shown first (the texts then have no date condition).
struct DocumentSqlTexts {
    QStringList sql;
    bool dateWarning = false;
};

// Every document of a kind, with no condition: the SELECTs the conditions below narrow.
QString ProjectDocumentSelect();
QString DesignDocumentSelect();
QString ArchivedDocumentSelect();

// Project documents (TaskDocuments), team-work results (TeamWorkResult), archived documents (Documents).
QString ProjectDocumentSql(const DocumentConditions& conditions);
QString DesignDocumentSql(const DocumentConditions& conditions);
QString ArchivedDocumentSql(const DocumentConditions& conditions);

// Kind 0: all three texts (project, design, archived); 1, 2, 3: that kind's text; others: none.
DocumentSqlTexts BuildDocumentSql(const DocumentConditions& conditions);

// Row layout: the query's columns fill Code1, Code2, Revision, Description, FileName, Size,
// FileType, Date; the item text "Code2[Revision]"; list columns 1 … 4 show Description, Size,
// FileType, Date (column 5 stays empty).
QString DocumentItemText(const DocumentRecord& record);
const RowLayout& DocumentRowLayout();

// The present conditions joined with " AND "; "" when none is present.
QString JoinPresent(const QStringList& conditions);

} // namespace zq::doc
