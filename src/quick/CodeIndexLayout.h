#pragma once
// The side index of folded codes that zqpdm-index keeps in the content index's SQLite file, so
// that the quick search finds a code fragment without reading every row of the PDM tables. Each
// indexed row of a PDM table (an SQLite PDM database: its rowid is the key) is one row of an FTS5
// trigram table holding two texts made by the one folding rule of every search: its codes without
// separators, and its name and other searched texts. A search asks the index for the keys of rows
// that may match, fetches those rows through the PDM table itself and checks them exactly as
// before; rows written after the last indexing run (a rowid above the table's high-water mark)
// are searched the old way. Without the index the quick search works as it always did.
#include "QuickSources.h"

#include <QString>
#include <QStringList>

namespace zq::quick::codeindex {

// One row a PDM table: which columns its texts were made of, and the highest rowid indexed.
inline const QString kSourceTable = QStringLiteral("QuickCodeSource");
// rowid: IndexRowId(); Codes: the bare codes; Texts: the folded names and other texts.
inline const QString kTextTable = QStringLiteral("QuickCodeText");

// The statements that make the side index's tables in an SQLite content index.
QStringList CreateStatements();

// An index row's rowid holds the source's id above a PDM rowid of up to kRowBits bits.
inline constexpr int kRowBits = 40;
inline constexpr qint64 kLargestRow = (qint64(1) << kRowBits) - 1;
inline constexpr int kLargestSourceId = (1 << 22) - 1;
constexpr qint64 IndexRowId(int sourceId, qint64 pdmRow) { return (qint64(sourceId) << kRowBits) | pdmRow; }
constexpr qint64 PdmRowOf(qint64 indexRow) { return indexRow & kLargestRow; }

// What the texts of a source are made of: when the module reads other columns for it, the rows
// indexed earlier no longer tell and the source is indexed again.
QString ColumnSignature(const SourceTable& source);

// The two searched texts of a row. row: the values of source.readColumns(), in order. Every value
// stands on a line of its own, so that a fragment is never found across two values but through
// the check of the row itself.
struct RowTexts {
    QString codes;   // BareCode() of every code column
    QString texts;   // FoldForSearch() of the name, the other texts and the author
    bool operator==(const RowTexts& other) const = default;
};
RowTexts TextsOf(const SourceTable& source, const QStringList& row);

// What the index is asked for one word of a search: the folded fragment looked for in the codes
// and in the texts ("" where the word is not looked for there). A row may match when every word
// is found in one of its two texts.
struct IndexTerm {
    QString codes;
    QString texts;
};

// Fewer characters than this cannot use the trigram index.
inline constexpr int kShortestFragment = 3;

// Every source table of the database kinds, each once, in search order.
QList<const SourceTable*> IndexedSources();

} // namespace zq::quick::codeindex
