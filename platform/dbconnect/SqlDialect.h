#pragma once
// The SQL dialect adaptation: the module writes T-SQL-flavoured text; the engines behind
// SQLite and PostgreSQL get it rewritten here, and nowhere else. Quoted literals, quoted
// identifiers and comments are never touched.
#include <QList>
#include <QString>

namespace zq::sql {

enum class Dialect { TSql, Sqlite, Postgres };

Dialect DialectOfDriver(const QString& driver);   // "QSQLITE", "QPSQL"; anything else keeps T-SQL

struct Token {
    enum Kind { Space, Comment, Word, Number, String, QuotedName, Open, Close, Operator, Other };
    Kind kind;
    QString text;
};

// Splits SQL text into tokens; joining their texts gives the input back unchanged.
QList<Token> Tokenize(const QString& sql);

// True when the text holds more than one statement (something follows a ';' outside quotes).
bool HasSeveralStatements(const QString& sql);

// The rewriting: string "+" → "||" (a "+" chain with a string operand), on PostgreSQL LIKE → ILIKE
// with no escape character (T-SQL LIKE is case-insensitive and has none), N'…' → '…' on SQLite,
// [name] → "name" on PostgreSQL.
QString Adapt(const QString& sql, Dialect dialect);

} // namespace zq::sql
