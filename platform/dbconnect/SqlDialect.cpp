#include "SqlDialect.h"
#include "ZQDBConnect.h"

#include <QSet>
#include <vector>

namespace zq::sql {

namespace {

bool IsWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Index just past a quoted run that starts at `from` (on the opening quote); a doubled closing
// quote stands for itself. An unterminated run ends with the text.
qsizetype SkipQuoted(const QString& s, qsizetype from, QChar close)
{
    qsizetype i = from + 1;
    while (i < s.size()) {
        if (s[i] == close) {
            if (i + 1 < s.size() && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

const QSet<QString>& Keywords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("AND"),
        QStringLiteral("OR"), QStringLiteral("NOT"), QStringLiteral("LIKE"), QStringLiteral("ILIKE"),
        QStringLiteral("IN"), QStringLiteral("IS"), QStringLiteral("BETWEEN"), QStringLiteral("ON"),
        QStringLiteral("JOIN"), QStringLiteral("INNER"), QStringLiteral("OUTER"), QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"), QStringLiteral("FULL"), QStringLiteral("CROSS"), QStringLiteral("AS"),
        QStringLiteral("ORDER"), QStringLiteral("GROUP"), QStringLiteral("BY"), QStringLiteral("HAVING"),
        QStringLiteral("UNION"), QStringLiteral("ALL"), QStringLiteral("DISTINCT"), QStringLiteral("TOP"),
        QStringLiteral("CASE"), QStringLiteral("WHEN"), QStringLiteral("THEN"), QStringLiteral("ELSE"),
        QStringLiteral("END"), QStringLiteral("ESCAPE"), QStringLiteral("EXISTS"), QStringLiteral("ASC"),
        QStringLiteral("DESC"), QStringLiteral("INTO"), QStringLiteral("VALUES"), QStringLiteral("SET"),
        QStringLiteral("UPDATE"), QStringLiteral("DELETE"), QStringLiteral("INSERT"), QStringLiteral("LIMIT"),
        QStringLiteral("OFFSET"), QStringLiteral("ANY"), QStringLiteral("SOME"), QStringLiteral("COLLATE"),
    };
    return words;
}

// Functions whose result is text: a "+" next to their call joins strings.
const QSet<QString>& StringFunctions()
{
    static const QSet<QString> names = {
        QStringLiteral("LTRIM"), QStringLiteral("RTRIM"), QStringLiteral("TRIM"), QStringLiteral("UPPER"),
        QStringLiteral("LOWER"), QStringLiteral("SUBSTRING"), QStringLiteral("SUBSTR"), QStringLiteral("REPLACE"),
        QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("CONCAT"),
    };
    return names;
}

bool Significant(const Token& t)
{
    return t.kind != Token::Space && t.kind != Token::Comment;
}

qsizetype NextSignificant(const QList<Token>& tokens, qsizetype from)
{
    for (qsizetype i = from; i < tokens.size(); ++i)
        if (Significant(tokens[i]))
            return i;
    return tokens.size();
}

bool IsCallName(const QList<Token>& tokens, qsizetype word)
{
    const qsizetype next = NextSignificant(tokens, word + 1);
    return next < tokens.size() && tokens[next].kind == Token::Open;
}

// A word that ends an expression (a keyword used as a keyword, not as a function name).
bool IsBoundaryWord(const QList<Token>& tokens, qsizetype i)
{
    const QString upper = tokens[i].text.toUpper();
    if (!Keywords().contains(upper))
        return false;
    return !(StringFunctions().contains(upper) && IsCallName(tokens, i));
}

// Turns the "+" of every chain of "+"-joined operands that has a string operand into "||".
// An operand is a string when it is a literal, a call of a text function, or a parenthesised
// group holding one such chain.
class ConcatMarker {
public:
    explicit ConcatMarker(QList<Token>& tokens) : m_tokens(tokens) { m_levels.emplace_back(); }

    void run()
    {
        for (qsizetype i = 0; i < m_tokens.size(); ++i) {
            const Token& t = m_tokens[i];
            switch (t.kind) {
            case Token::Space:
            case Token::Comment:
                break;
            case Token::String:
                operand(true);
                break;
            case Token::Number:
            case Token::QuotedName:
                operand(false);
                break;
            case Token::Word:
                if (IsBoundaryWord(m_tokens, i))
                    boundary();
                else
                    operand(false);
                break;
            case Token::Open: open(i); break;
            case Token::Close: close(); break;
            case Token::Operator: op(i); break;
            case Token::Other: boundary(); break;
            }
        }
        while (!m_levels.empty()) {
            finish(m_levels.back());
            m_levels.pop_back();
        }
    }

private:
    struct Chain {
        QList<qsizetype> plus;
        bool hasString = false;
        bool afterOperand = false;
    };
    struct Level {
        Chain chain;
        bool sawBoundary = false;
        QString function;      // upper-case name when the group is a call's argument list
    };

    Level& top() { return m_levels.back(); }

    void finish(Level& level)
    {
        if (level.chain.hasString)
            for (qsizetype i : level.chain.plus)
                m_tokens[i].text = QStringLiteral("||");
        level.chain = Chain();
    }

    void boundary()
    {
        m_joinName = false;
        finish(top());
        top().sawBoundary = true;
    }

    void operand(bool isString)
    {
        if (top().chain.afterOperand && !m_joinName)
            boundary();
        m_joinName = false;
        top().chain.afterOperand = true;
        if (isString)
            top().chain.hasString = true;
    }

    void open(qsizetype i)
    {
        QString function;
        qsizetype prev = i - 1;
        while (prev >= 0 && !Significant(m_tokens[prev]))
            --prev;
        if (prev >= 0 && m_tokens[prev].kind == Token::Word && top().chain.afterOperand
            && !IsBoundaryWord(m_tokens, prev))
            function = m_tokens[prev].text.toUpper();
        else
            operand(false);
        Level level;
        level.function = function;
        m_levels.push_back(level);
    }

    void close()
    {
        if (m_levels.size() == 1) {
            boundary();
            return;
        }
        Level inner = m_levels.back();
        const bool innerString = inner.chain.hasString && !inner.sawBoundary;
        finish(inner);
        m_levels.pop_back();
        const bool isString = inner.function.isEmpty() ? innerString : StringFunctions().contains(inner.function);
        if (isString)
            top().chain.hasString = true;
        top().chain.afterOperand = true;
    }

    void op(qsizetype i)
    {
        const QString& text = m_tokens[i].text;
        if (text == u"+") {
            if (top().chain.afterOperand) {
                top().chain.plus.append(i);
                top().chain.afterOperand = false;
            }
        } else if (text == u".") {
            m_joinName = true;        // a.b is one operand
        } else {
            boundary();
        }
    }

    QList<Token>& m_tokens;
    std::vector<Level> m_levels;
    bool m_joinName = false;
};

// PostgreSQL: LIKE becomes ILIKE and, unless the text names an escape character, gets
// ESCAPE '' after its pattern, so a backslash in a pattern is an ordinary character.
void RewriteLike(QList<Token>& tokens)
{
    static const QSet<QString> patternOperators = {
        QStringLiteral("+"), QStringLiteral("||"), QStringLiteral("-"), QStringLiteral("*"),
        QStringLiteral("/"), QStringLiteral("%"), QStringLiteral("."),
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Token::Word || tokens[i].text.compare(u"LIKE", Qt::CaseInsensitive) != 0)
            continue;
        tokens[i].text.prepend(tokens[i].text[0].isLower() ? u'i' : u'I');
        int depth = 0;
        bool needOperand = true;
        bool hasEscape = false;
        qsizetype last = -1;
        for (qsizetype j = i + 1; j < tokens.size(); ++j) {
            const Token& t = tokens[j];
            if (!Significant(t))
                continue;
            if (depth > 0) {
                if (t.kind == Token::Open)
                    ++depth;
                else if (t.kind == Token::Close)
                    --depth;
                last = j;
                continue;
            }
            if (t.kind == Token::Close)
                break;
            if (t.kind == Token::Open) {
                const bool call = !needOperand && last >= 0 && tokens[last].kind == Token::Word;
                if (!needOperand && !call)
                    break;
                ++depth;
                needOperand = false;
                last = j;
                continue;
            }
            if (t.kind == Token::Operator) {
                if (!patternOperators.contains(t.text))
                    break;
                needOperand = true;
                last = j;
                continue;
            }
            if (t.kind == Token::Word && t.text.compare(u"ESCAPE", Qt::CaseInsensitive) == 0) {
                hasEscape = true;
                break;
            }
            if (t.kind == Token::Other || !needOperand || (t.kind == Token::Word && IsBoundaryWord(tokens, j)))
                break;
            needOperand = false;
            last = j;
        }
        if (!hasEscape && last >= 0)
            tokens[last].text += QStringLiteral(" ESCAPE ''");
    }
}

// A SELECT DISTINCT with no ORDER BY of its own gets "ORDER BY 1, ..., n" over its n selected
// columns. The engine the module was written for returns such rows sorted; PostgreSQL returns them
// in the order of its hash and SQLite in the order of the index it reads (sorted by the first
// column only), and every engine is to list the same rows in the same order: on PostgreSQL, whose
// NULLs sort last, each key says NULLS FIRST, as SQLite and SQL Server sort them. A statement
// joined by UNION, INTERSECT or EXCEPT, or with LIMIT, OFFSET or FOR, is left as it is.
void OrderDistinctRows(QList<Token>& tokens, Dbms dbms)
{
    const qsizetype select = NextSignificant(tokens, 0);
    if (select >= tokens.size() || tokens[select].kind != Token::Word
        || tokens[select].text.compare(u"SELECT", Qt::CaseInsensitive) != 0)
        return;
    const qsizetype distinct = NextSignificant(tokens, select + 1);
    if (distinct >= tokens.size() || tokens[distinct].kind != Token::Word
        || tokens[distinct].text.compare(u"DISTINCT", Qt::CaseInsensitive) != 0)
        return;
    static const QSet<QString> leaveAlone = {
        QStringLiteral("ORDER"), QStringLiteral("UNION"), QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),
        QStringLiteral("LIMIT"), QStringLiteral("OFFSET"), QStringLiteral("FOR"), QStringLiteral("FETCH"),
    };
    int depth = 0;
    int columns = 1;
    bool inSelectList = true;
    qsizetype end = tokens.size();   // where the ORDER BY goes: before a closing ';'
    for (qsizetype i = distinct + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Open) {
            ++depth;
        } else if (t.kind == Token::Close) {
            --depth;
        } else if (depth == 0 && t.kind == Token::Operator && t.text == u";") {
            end = i;
            break;
        } else if (depth == 0 && t.kind == Token::Operator && t.text == u"," && inSelectList) {
            ++columns;
        } else if (depth == 0 && t.kind == Token::Word) {
            const QString upper = t.text.toUpper();
            if (leaveAlone.contains(upper))
                return;
            if (upper == u"FROM")
                inSelectList = false;
        }
    }
    if (inSelectList || depth != 0)
        return;
    QStringList positions;
    for (int column = 1; column <= columns; ++column)
        positions << QString::number(column) + (dbms == Dbms::Postgres ? QStringLiteral(" NULLS FIRST") : QString());
    // After the last significant token, so trailing spaces stay where they were.
    qsizetype last = end - 1;
    while (last > distinct && !Significant(tokens[last]))
        --last;
    tokens[last].text += QStringLiteral(" ORDER BY ") + positions.join(QStringLiteral(", "));
}

// T-SQL's DATALENGTH(x), the bytes of a value: length(x) counts the bytes of a blob on SQLite
// and of a bytea on PostgreSQL.
void RenameByteLength(QList<Token>& tokens)
{
    for (qsizetype i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Word && tokens[i].text.compare(u"DATALENGTH", Qt::CaseInsensitive) == 0 &&
            IsCallName(tokens, i))
            tokens[i].text = QStringLiteral("length");
}

} // namespace

Dbms DbmsOf(const QString& name)
{
    const QString text = name.trimmed();
    if (text == u"QSQLITE" || text.startsWith(u"SQLite", Qt::CaseInsensitive))
        return Dbms::Sqlite;
    if (text == u"QPSQL" || text.contains(u"PostgreSQL", Qt::CaseInsensitive))
        return Dbms::Postgres;
    if (text.contains(u"SQL Server", Qt::CaseInsensitive))
        return Dbms::SqlServer;
    return Dbms::Unknown;
}

QList<Token> Tokenize(const QString& s)
{
    QList<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const QChar c = s[i];
        const QChar next = i + 1 < n ? s[i + 1] : QChar();
        Token::Kind kind = Token::Other;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            kind = Token::Space;
        } else if (c == u'\'') {
            i = SkipQuoted(s, i, u'\'');
            kind = Token::String;
        } else if ((c == u'N' || c == u'n') && next == u'\'') {
            i = SkipQuoted(s, i + 1, u'\'');
            kind = Token::String;
        } else if (c == u'"') {
            i = SkipQuoted(s, i, u'"');
            kind = Token::QuotedName;
        } else if (c == u'[') {
            i = SkipQuoted(s, i, u']');
            kind = Token::QuotedName;
        } else if (c == u'-' && next == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            kind = Token::Comment;
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = s.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            kind = Token::Comment;
        } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'.'))
                ++i;
            kind = Token::Number;
        } else if (IsWordStart(c)) {
            while (i < n && IsWordChar(s[i]))
                ++i;
            kind = Token::Word;
        } else if (c == u'(') {
            ++i;
            kind = Token::Open;
        } else if (c == u')') {
            ++i;
            kind = Token::Close;
        } else if (QStringLiteral("+-*/%=<>!|&^~,;.").contains(c)) {
            static const QStringList pairs = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>"),
                                              QStringLiteral("!="), QStringLiteral("||"), QStringLiteral("!<"),
                                              QStringLiteral("!>")};
            i += pairs.contains(s.mid(i, 2)) ? 2 : 1;
            kind = Token::Operator;
        } else {
            ++i;
        }
        out.append({kind, s.mid(start, i - start)});
    }
    return out;
}

bool HasSeveralStatements(const QString& sql)
{
    bool ended = false;
    for (const Token& t : Tokenize(sql)) {
        if (!Significant(t))
            continue;
        if (ended && !(t.kind == Token::Operator && t.text == u";"))
            return true;
        ended = ended || (t.kind == Token::Operator && t.text == u";");
    }
    return false;
}

QString Adapt(const QString& sql, Dbms dbms)
{
    if (dbms != Dbms::Sqlite && dbms != Dbms::Postgres)
        return sql;
    QList<Token> tokens = Tokenize(sql);
    ConcatMarker(tokens).run();
    if (dbms == Dbms::Postgres)
        RewriteLike(tokens);
    OrderDistinctRows(tokens, dbms);
    RenameByteLength(tokens);
    QString out;
    out.reserve(sql.size() + 16);
    for (Token& t : tokens) {
        if (dbms == Dbms::Sqlite && t.kind == Token::String && t.text[0] != u'\'')
            t.text.remove(0, 1);
        if (dbms == Dbms::Postgres && t.kind == Token::QuotedName && t.text[0] == u'[') {
            QString name = t.text.mid(1, t.text.endsWith(u']') ? t.text.size() - 2 : -1);
            t.text = u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
        }
        out += t.text;
    }
    return out;
}

namespace {

bool HasSurrogatePair(QStringView text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate())
            return true;
    return false;
}

// A literal with characters beyond the BMP as an expression that makes the same text: the pieces
// between them as literals of the same kind, each such character as a function call.
QString SpelledLiteral(const QString& prefix, QStringView body, Dbms dbms)
{
    const QString function = dbms == Dbms::Postgres ? QStringLiteral("chr(") : QStringLiteral("char(");
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < body.size(); ++i) {
        if (!body[i].isHighSurrogate() || !body[i + 1].isLowSurrogate())
            continue;
        if (i > start)
            parts << prefix + u'\'' + body.mid(start, i - start).toString() + u'\'';
        parts << function + QString::number(QChar::surrogateToUcs4(body[i], body[i + 1])) + u')';
        start = i + 2;
        ++i;
    }
    if (start < body.size())
        parts << prefix + u'\'' + body.mid(start).toString() + u'\'';
    return u'(' + parts.join(QStringLiteral(" || ")) + u')';
}

} // namespace

QString SpellOutsideBmp(const QString& sql, Dbms dbms)
{
    if ((dbms != Dbms::Sqlite && dbms != Dbms::Postgres) || !HasSurrogatePair(sql))
        return sql;
    QList<Token> tokens = Tokenize(sql);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        const qsizetype quote = t.text.indexOf(u'\'');
        if (t.kind != Token::String || t.text.size() < quote + 2 || !t.text.endsWith(u'\'') || !HasSurrogatePair(t.text))
            continue;
        QString prefix = t.text.left(quote);   // N of N'...'
        // PostgreSQL's E'...' comes as the word E right before the literal.
        if (dbms == Dbms::Postgres && i > 0 && tokens[i - 1].kind == Token::Word
            && tokens[i - 1].text.compare(u"E", Qt::CaseInsensitive) == 0) {
            prefix = tokens[i - 1].text;
            tokens[i - 1].text.clear();
        }
        t.text = SpelledLiteral(prefix, QStringView(t.text).mid(quote + 1, t.text.size() - quote - 2), dbms);
    }
    QString out;
    for (const Token& t : tokens)
        out += t.text;
    return out;
}

} // namespace zq::sql

namespace zq {

QString AdaptSql(const QString& sql, const QString& dbms)
{
    return sql::Adapt(sql, sql::DbmsOf(dbms));
}

} // namespace zq
