#pragma once
// The search of the content index (the text of the stored design documents and resource files,
// written by zqpdm-index), built from plain values so it can be checked without widgets. The
// index lives on SQLite (an FTS5 table whose tokenizer folds the text, functions of our own on the
// connection) or on PostgreSQL (one table with the text and the text folded, searched with LIKE,
// which a pg_trgm index speeds up), and the text differs between the two. Words and text are
// compared folded for search (SearchFolding.h) on both, whatever the database's locale. Every
// typed word reaches the SQL as a quoted literal only: no input changes the statement, whatever
// PostgreSQL's standard_conforming_strings is.
#include "DocumentRecord.h"
#include "SqlDialect.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zq::content {

// The document kinds of the kind list, by index, and the text the index keeps for each.
enum ContentKind { KindDesign = 0, KindResource = 1, KindAll = 2 };
const QStringList& ContentKindNames();       // "设计文档", "资源文件", "所有"
QString KindOfSourceTable(const QString& table);   // "资源文件" for EngineerViewDoc, else "设计文档"

struct ContentConditions {
    QString words;          // as typed: the words, separated by white space, must all occur
    int kind = KindAll;
    bool byDate = false;    // the file-date range applies only when ticked
    QDate from;
    QDate to;
};

// The words of the text box: split at any white space, control characters dropped, each word
// once, in the order typed.
QStringList ContentWords(const QString& typed);

// The layout of the index's tables that this version reads and writes (ContentIndexInfo "version").
//   1  the text as it stands in the trigram index (SQLite's trigram tokenizer, PostgreSQL's ILIKE)
//   2  the text folded for search in the trigram index (tokenizer zq_folded; column Folded)
//   3  ContentFile.Failure: why the file, as its row now describes it, could not be read
//   4  SQLite: QuickCodeSource and QuickCodeText, the quick search's index of folded codes
constexpr int kContentIndexVersion = 4;
// The earliest layout the page searches as it stands: what came later is the indexer's alone.
constexpr int kOldestSearchableIndexVersion = 2;

// Words of fewer characters than this cannot use the trigram index and are found by a scan.
constexpr int kIndexedWordLength = 3;

struct ContentSqlText {
    QString sql;
    bool dateWarning = false;   // "开始日期与结束日期不匹配...": the text then has no date condition
    bool preferIndexScans = false;   // a word the trigram index finds: read with zqPreferIndexScans
};

// The SELECT of the conditions on the index's engine (SQLite or PostgreSQL). Its fields, in order:
// Code1, Code2, Revision, Description, FileName, FileType, FileDate, Kind, SourceTable, the text
// around the first word as found (the start when no word is given), as it stands, where that
// excerpt starts (1-based, in characters) and the length of the whole text. Newest files first.
ContentSqlText BuildContentSql(const ContentConditions& conditions, sql::Dbms engine);

// Characters as the engines count them: code points.
qsizetype CharacterCount(const QString& text);

// The excerpt as the result list shows it: about sixty characters around the word on one line
// (runs of white space as one space), "…" where the text goes on before or after.
QString SnippetText(const QString& excerpt, qint64 start, qint64 textLength);

// Row layout: the fields above fill the record's fields of the same names (Code1, Code2, Revision
// and FileName are what the stored file is fetched by, as on the two document pages; the excerpt
// fills Snippet); the item text is the description; list columns 1 … 4 show the file name, the
// kind, the date and the snippet, which replaces the excerpt.
const doc::RowLayout& ContentRowLayout();

} // namespace zq::content
