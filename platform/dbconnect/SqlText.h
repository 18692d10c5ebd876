#pragma once
// Values and patterns as the text of a SQL statement carries them. Every SQL builder quotes through
// these, so one rule holds for every statement the module writes.
#include <QString>

namespace zq {

// A value as SQL text can carry it: zero-terminated like every text of the system's interfaces
// (a NUL character ends it), and a lone UTF-16 surrogate, which no stored text can hold and which
// would break the statement's text on the way to the engine, read as U+FFFD, the replacement
// character.
QString SqlValueText(const QString& value);

// A typed condition text as SQL can carry it (SqlValueText), without the blanks around it: cut
// first, so blanks before a NUL character are dropped too.
QString TypedSqlText(const QString& typed);

// 10 — a user's pattern as SQL LIKE text: "*" → "%", "?" → "_", "'" → "''" (of its SqlValueText).
QString PatternToSql(const QString& pattern);

// Doubles single quotes, for every value placed between quotes in SQL (of its SqlValueText).
QString SqlQuote(const QString& value);

} // namespace zq
