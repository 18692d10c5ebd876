#pragma once
// The SQL dialect adaptation: the module writes T-SQL-flavoured text; SQLite and PostgreSQL,
// reached natively or through ODBC, get it rewritten here, and nowhere else. Quoted literals,
// quoted identifiers and comments are never touched.
#include <QList>
#include <QString>

namespace zq::sql {

// The database system behind a connection. SQL Server reads the module's T-SQL as it is; so
// does a system we do not know, which gets the text unchanged.
enum class Dbms { Unknown, SqlServer, Sqlite, Postgres };

// From a Qt driver name ("QSQLITE", "QPSQL") or a product name as an ODBC driver reports it
// ("SQLite", "PostgreSQL", "Microsoft SQL Server"). "QODBC" names no system: Unknown.
Dbms DbmsOf(const QString& name);

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
// with no escape character (T-SQL LIKE is case-insensitive and has none; SQLite's LIKE, ours,
// ignores case for every letter too), N'…' → '…' on SQLite, [name] → "name" on PostgreSQL, and an
// ORDER BY of the selected columns for a SELECT DISTINCT that has none (such rows come sorted from
// the engine the module was written for; NULLs first, as there), and
// DATALENGTH(x) → length(x).
QString Adapt(const QString& sql, Dbms dbms);

// For a driver that takes statements as 8-bit text (the SQLite ODBC driver, whose text unixODBC
// converts): a character beyond the Basic Multilingual Plane would not arrive intact, so inside a
// literal it is written as the call that makes it, SQLite's char(N) or PostgreSQL's chr(N), the
// literal split around it: 'a😀b' → ('a' || char(128512) || 'b'). Applied to adapted text; other
// systems get it unchanged.
QString SpellOutsideBmp(const QString& adaptedSql, Dbms dbms);

} // namespace zq::sql
