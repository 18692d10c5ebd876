#pragma once
// The quick search over one table: the SELECT that narrows the table to the rows that may match
// (the engine's LIKE, which ignores case), and the exact test of each row read (folding, the
// separators of codes, the wildcards, quoted words), which also ranks it.
#include "CodeIndexLayout.h"
#include "CodeMatch.h"
#include "QuickHit.h"
#include "QuickQuery.h"
#include "QuickSources.h"
#include "SqlDialect.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace zq::quick {

class SourceSearch {
public:
    // engine: the database the SELECT is for. On PostgreSQL a code is compared without its
    // separators in the SQL itself, as the trigram indexes of postgresql-trigram-indexes.sql hold
    // it, so a fragment is found through them.
    SourceSearch(const QuickQuery& query, const SourceTable& source, sql::Dbms engine = sql::Dbms::Unknown);

    // False when a word cannot match on this table (a prefix naming a field the table lacks).
    bool searchable() const { return m_searchable; }
    // The SELECT of the source's read columns, every word's condition joined by AND.
    QString sql() const;
    // What the index of folded codes is asked for each word it can look for (not one typed in
    // quotes or with a wildcard, nor a fragment too short for it: those are left to the check of
    // each row), or nothing when no word is such.
    std::optional<QList<codeindex::IndexTerm>> indexTerms() const;
    // The source's read columns of the rows named (SQLite rowids, ascending), in that order.
    QString sqlOfRows(const std::vector<qint64>& rows) const;
    // The narrowing SELECT over the rows above a rowid only: those written after the index.
    QString sqlAbove(qint64 rowid) const;
    // The hit a row makes, or nothing when the row does not hold every word. row: the values of
    // the source's read columns, in order.
    std::optional<QuickHit> match(const QStringList& row, const QString& kind) const;

private:
    struct Column {
        int index = -1;
        bool code = false;
        bool name = false;
        bool own = false;   // the hit's own code (its 编号 or what its tab lists), not a code it refers to
    };
    struct Word {
        QueryWord word;
        std::vector<Column> columns;   // the columns the word may be found in
        std::optional<CodeMatcher> code;
        TextMatcher text;
    };

    // Where the words of a row were found.
    struct Places {
        bool inName = false;      // one word or more in the name
        bool allInCode = true;    // every word in a code
    };

    int indexOf(const QString& column) const { return int(m_columns.indexOf(column)); }
    std::vector<Column> columnsFor(Field field) const;
    QString condition(const Word& word) const;
    QString select() const;
    // The SELECT with `first` (when any) and every word's condition joined by AND.
    QString whereSql(const QString& first) const;
    bool found(const Word& word, const QStringList& row, Places* places) const;
    MatchTier tierOf(const QStringList& row, const Places& places) const;
    QString noteOf(const QStringList& row) const;
    bool isOwnCode(const QString& column) const;

    const SourceTable& m_source;
    sql::Dbms m_engine;
    QStringList m_columns;
    std::vector<Word> m_words;
    std::optional<CodeMatcher> m_codeText;   // the code words together, for ranking
    bool m_searchable = true;
};

} // namespace zq::quick
