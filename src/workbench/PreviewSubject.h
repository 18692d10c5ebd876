#pragma once
// What the preview pane can show of a listed row: the row's fields, and for a row with a stored
// file, how to fetch it (as opening it would) and what makes the file itself (for the cache).
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class CReportListCtrl;

namespace zq {

struct PreviewFetch {
    QString localPath;   // the local copy; empty when none arrived
    QString reason;      // why none arrived, when known
};

struct PreviewSubject {
    QString title;                                  // the file's name, or the row's first text
    QList<QPair<QString, QString>> fields;          // heading → text, the list's shown columns
    std::function<PreviewFetch()> fetch;            // null: the row has no file
    QStringList identity;                           // table, keys, revision, file name, size, date
    QStringList words;                              // the words the row was found by, to be marked
    QString fileDate;                               // the stored file's date, as the row has it
    bool hasFile() const { return bool(fetch); }
};

// The row's shown columns as fields, its first text as the title.
PreviewSubject FieldsOfRow(const CReportListCtrl& list, int row);

} // namespace zq
