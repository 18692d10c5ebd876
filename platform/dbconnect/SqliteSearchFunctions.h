#pragma once
// SQL functions of our own on every SQLite connection the component opens, so that SQLite
// compares text by the same rule as the other engines (SearchFolding.h):
//   X LIKE Y [ESCAPE Z]       as SQLite's own LIKE ('%', '_', the escape character, NULLs, the
//                             pattern length limit), but ignoring case for every letter, not only
//                             A-Z, as PostgreSQL's ILIKE does
//   zq_folded_instr(X, Y)     instr(X, Y) with both folded for search (FoldForSearch): the
//                             1-based character position of Y in X, 0 when it does not occur
//   tokenize='zq_folded'      an FTS5 tokenizer: the trigram tokenizer (case-sensitive) over the
//                             text folded for search, so the index finds "φ40" for "Φ40" and
//                             "CH32" for "ＣＨ３２" while the table keeps the text as it stands
// The SQL the module builds is unchanged; only the engine's reading of LIKE differs.
struct sqlite3;

namespace zq::db {

// Registers the functions and the tokenizer on one connection; false when the engine refused.
bool RegisterSearchFunctions(sqlite3* db);

// While one lives, every SQLite connection this thread opens gets the functions as it opens:
// those of Qt's SQLite driver and those an ODBC driver opens inside the process alike. Other
// connections of the process (the host's own) are left as they are.
class SearchFunctionsOnOpen {
public:
    SearchFunctionsOnOpen();
    ~SearchFunctionsOnOpen();
    SearchFunctionsOnOpen(const SearchFunctionsOnOpen&) = delete;
    SearchFunctionsOnOpen& operator=(const SearchFunctionsOnOpen&) = delete;
};

} // namespace zq::db
