#pragma once
// What the quick search reads for each kind of PDM data: the tables behind each tab, which of
// their columns are codes, the name, other searched texts, the author, the date, and what a hit
// shows in 说明. The kinds are the tabs' own captions.
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::quick {

// A column read for 说明, shown as "<label> <value>".
struct NoteColumn {
    QString column;
    QString label;
};

struct SourceTable {
    QString table;
    QStringList codeColumns;      // compared as codes; the first is the hit's 编号
    QStringList drawingColumns;   // what 图号: compares with
    QString nameColumn;
    QStringList otherColumns;     // searched too; a hit found only here is 其他
    QString authorColumn;         // what 编制: compares with; none: the source has no author
    QString dateColumn;           // stored as "yyyy-MM-dd…" text; the newest first
    QList<NoteColumn> notes;
    QString listedColumn = {};    // what the tab's result list shows first, when not the 编号

    // Every column the source reads, each once, in a fixed order.
    QStringList readColumns() const;
};

struct QuickKind {
    QString caption;               // the tab's caption, the hit's 类别
    QList<SourceTable> sources;
    bool oneHitPerCode = false;    // a part is one hit however many drawings and part-list lines name it
};

inline const QString kContentCaption = QStringLiteral("文档内容");

// The kinds over the PDM database, in the order they are searched and counted. The content of
// stored files (文档内容) is searched in the content index, not here.
const QList<QuickKind>& DatabaseKinds();
const QuickKind* FindDatabaseKind(const QString& caption);

// Every kind's caption, 文档内容 last.
QStringList AllKindCaptions();

// The kinds whose tab the installation's page list names, in search order.
QStringList InstalledKinds(const QStringList& pageListLines);

} // namespace zq::quick
