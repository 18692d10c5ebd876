#pragma once
// The FTS5 tokenizer "zq_folded": SQLite's trigram tokenizer, case-sensitive, over the text folded
// for search (FoldForSearch). The index holds the folded trigrams; the table keeps the text as it
// stands; a query is folded by the same rule. Token offsets are those of the original text.
struct sqlite3;

namespace zq::db {

inline constexpr const char* kFoldingTokenizer = "zq_folded";

// False when the connection has no FTS5 or no trigram tokenizer (SQLite before 3.34).
bool RegisterFoldingTokenizer(sqlite3* db);

} // namespace zq::db
