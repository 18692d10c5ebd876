// The engine adaptation of the module's T-SQL-flavoured text.
#include "SqlDialect.h"
#include "ZQDBConnect.h"

#include <gtest/gtest.h>

using zq::AdaptSql;

namespace {

struct Case {
    const char* sql;
    const char* sqlite;     // nullptr: unchanged
    const char* postgres;   // nullptr: unchanged
};

const Case kCases[] = {
    // string "+" between a literal and an expression
    {"(b.WorkID Like (c.ProjectNo + '-%'))", "(b.WorkID Like (c.ProjectNo || '-%'))",
     "(b.WorkID ILike (c.ProjectNo || '-%') ESCAPE '')"},
    {"SELECT Code + '::' + Name FROM t", "SELECT Code || '::' || Name FROM t", "SELECT Code || '::' || Name FROM t"},
    {"SELECT '%' + ltrim(Code) + '%' FROM t", "SELECT '%' || ltrim(Code) || '%' FROM t",
     "SELECT '%' || ltrim(Code) || '%' FROM t"},
    {"SELECT ltrim(Code) + Name FROM t", "SELECT ltrim(Code) || Name FROM t", "SELECT ltrim(Code) || Name FROM t"},
    {"SELECT (Code + '-') + Name FROM t", "SELECT (Code || '-') || Name FROM t", "SELECT (Code || '-') || Name FROM t"},
    {"SELECT Qty + 1, 'x' + a.Name FROM t a", "SELECT Qty + 1, 'x' || a.Name FROM t a",
     "SELECT Qty + 1, 'x' || a.Name FROM t a"},
    {"SELECT a.Qty + b.Qty FROM a, b", nullptr, nullptr},
    {"SELECT Code+'-'+Name FROM t", "SELECT Code||'-'||Name FROM t", "SELECT Code||'-'||Name FROM t"},
    // quotes, quoted names and comments are never touched
    {"SELECT 'a+b' FROM t WHERE n = 'it''s + this'", nullptr, nullptr},
    {"SELECT \"a+'b\" + 'c' FROM t", "SELECT \"a+'b\" || 'c' FROM t", "SELECT \"a+'b\" || 'c' FROM t"},
    {"SELECT [Name] + 'x' FROM t", "SELECT [Name] || 'x' FROM t", "SELECT \"Name\" || 'x' FROM t"},
    {"SELECT N'中文' + Name FROM t", "SELECT '中文' || Name FROM t", "SELECT N'中文' || Name FROM t"},
    {"SELECT Name -- a + 'b' LIKE\nFROM t", nullptr, nullptr},
    {"SELECT Name /* 'x' + y */ FROM t", nullptr, nullptr},
    {"SELECT 'abc + x", nullptr, nullptr},   // unterminated literal
    {"SELECT LIKED + 1 FROM t", nullptr, nullptr},
    // LIKE: case-insensitive and without escape character on PostgreSQL
    {"SELECT * FROM t WHERE Name LIKE '%abc%'", nullptr, "SELECT * FROM t WHERE Name ILIKE '%abc%' ESCAPE ''"},
    {"WHERE Name NOT LIKE 'a%' AND Code like 'b%'", nullptr,
     "WHERE Name NOT ILIKE 'a%' ESCAPE '' AND Code ilike 'b%' ESCAPE ''"},
    {"WHERE Name LIKE 'a!%' ESCAPE '!'", nullptr, "WHERE Name ILIKE 'a!%' ESCAPE '!'"},
    {"WHERE Path LIKE 'D:\\zq\\%' ORDER BY Path", nullptr, "WHERE Path ILIKE 'D:\\zq\\%' ESCAPE '' ORDER BY Path"},
    {"WHERE x LIKE Code + '%' AND y = 1", "WHERE x LIKE Code || '%' AND y = 1",
     "WHERE x ILIKE Code || '%' ESCAPE '' AND y = 1"},
    {"WHERE x LIKE ltrim(Code), y", nullptr, "WHERE x ILIKE ltrim(Code) ESCAPE '', y"},
    {"WHERE (x LIKE 'a%')", nullptr, "WHERE (x ILIKE 'a%' ESCAPE '')"},
    {"WHERE x LIKE 'a%' 'b'", nullptr, "WHERE x ILIKE 'a%' ESCAPE '' 'b'"},
    // DISTINCT rows come in the hash's or an index's order: an ORDER BY of the selected columns
    {"SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title WHERE Tcode LIKE 'ZQ%'",
     "SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title WHERE Tcode LIKE 'ZQ%' ORDER BY 1, 2, 3, 4",
     "SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title WHERE Tcode ILIKE 'ZQ%' ESCAPE '' "
     "ORDER BY 1 NULLS FIRST, 2 NULLS FIRST, 3 NULLS FIRST, 4 NULLS FIRST"},
    {"select distinct ltrim(a.Code), (b.x + 1) from a, b where a.y = b.y  ",
     "select distinct ltrim(a.Code), (b.x + 1) from a, b where a.y = b.y ORDER BY 1, 2  ",
     "select distinct ltrim(a.Code), (b.x + 1) from a, b where a.y = b.y ORDER BY 1 NULLS FIRST, 2 NULLS FIRST  "},
    {"SELECT DISTINCT Code FROM t;", "SELECT DISTINCT Code FROM t ORDER BY 1;",
     "SELECT DISTINCT Code FROM t ORDER BY 1 NULLS FIRST;"},
    {"SELECT DISTINCT Code, 'a,b' FROM t WHERE n IN (SELECT n FROM u ORDER BY n)",
     "SELECT DISTINCT Code, 'a,b' FROM t WHERE n IN (SELECT n FROM u ORDER BY n) ORDER BY 1, 2",
     "SELECT DISTINCT Code, 'a,b' FROM t WHERE n IN (SELECT n FROM u ORDER BY n) ORDER BY 1 NULLS FIRST, 2 NULLS FIRST"},
    {"SELECT DISTINCT Code FROM t ORDER BY Code DESC", nullptr, nullptr},
    {"SELECT DISTINCT Code FROM t UNION SELECT Code FROM u", nullptr, nullptr},
    {"SELECT DISTINCT Code FROM t LIMIT 5", nullptr, nullptr},
    {"SELECT Code FROM t", nullptr, nullptr},
    // the team-work statement as the module builds it
    {"SELECT a.PartCode FROM TeamWorkPart a, TeamWorkManage b, ProjectManage c WHERE a.WorkID = b.WorkID AND  ( "
     "(b.WorkID Like (c.ProjectNo + '-%')) OR (b.WorkID Like (c.ProjectNo + '#%')) ) AND c.ProjectPath = '项目管理' ",
     "SELECT a.PartCode FROM TeamWorkPart a, TeamWorkManage b, ProjectManage c WHERE a.WorkID = b.WorkID AND  ( "
     "(b.WorkID Like (c.ProjectNo || '-%')) OR (b.WorkID Like (c.ProjectNo || '#%')) ) AND c.ProjectPath = '项目管理' ",
     "SELECT a.PartCode FROM TeamWorkPart a, TeamWorkManage b, ProjectManage c WHERE a.WorkID = b.WorkID AND  ( "
     "(b.WorkID ILike (c.ProjectNo || '-%') ESCAPE '') OR (b.WorkID ILike (c.ProjectNo || '#%') ESCAPE '') ) AND "
     "c.ProjectPath = '项目管理' "},
};

TEST(SqlDialect, AdaptsForEachEngine)
{
    for (const Case& c : kCases) {
        const QString sql = QString::fromUtf8(c.sql);
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("QSQLITE")), c.sqlite ? QString::fromUtf8(c.sqlite) : sql) << c.sql;
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("QPSQL")), c.postgres ? QString::fromUtf8(c.postgres) : sql) << c.sql;
        // The same systems named as their ODBC drivers report them.
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("SQLite")), c.sqlite ? QString::fromUtf8(c.sqlite) : sql) << c.sql;
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("PostgreSQL")), c.postgres ? QString::fromUtf8(c.postgres) : sql) << c.sql;
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("Microsoft SQL Server")), sql) << c.sql;   // SQL Server reads T-SQL
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("QODBC")), sql) << c.sql;                  // no system named
        EXPECT_EQ(AdaptSql(sql, QStringLiteral("MySQL")), sql) << c.sql;                  // unknown: unchanged
    }
}

// Through a driver that takes 8-bit text, characters beyond the BMP inside literals are made by the
// engine instead; everything else stays as it is.
TEST(SqlDialect, SpellsCharactersBeyondTheBmpForEightBitDrivers)
{
    using zq::sql::Dbms;
    const struct {
        const char* sql;
        const char* sqlite;     // nullptr: unchanged
        const char* postgres;
    } cases[] = {
        {"WHERE a LIKE '%😀%'", "WHERE a LIKE ('%' || char(128512) || '%')", "WHERE a LIKE ('%' || chr(128512) || '%')"},
        {"WHERE a = '𝄞谱' AND b = 'x'", "WHERE a = (char(119070) || '谱') AND b = 'x'",
         "WHERE a = (chr(119070) || '谱') AND b = 'x'"},
        {"WHERE a = '😀😀'", "WHERE a = (char(128512) || char(128512))", "WHERE a = (chr(128512) || chr(128512))"},
        {"WHERE a = 'it''s 😀'", "WHERE a = ('it''s ' || char(128512))", "WHERE a = ('it''s ' || chr(128512))"},
        {"WHERE a = N'x😀'", "WHERE a = (N'x' || char(128512))", "WHERE a = (N'x' || chr(128512))"},
        {"WHERE a = E'\\😀'", "WHERE a = E('\\' || char(128512))", "WHERE a = (E'\\' || chr(128512))"},
        {"WHERE \"😀\" = 1 -- 😀", nullptr, nullptr},   // names and comments are left alone
        {"WHERE a = 'plain 中文'", nullptr, nullptr},
        {"WHERE a = '😀", nullptr, nullptr},              // unterminated
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        EXPECT_EQ(zq::sql::SpellOutsideBmp(sql, Dbms::Sqlite), c.sqlite ? QString::fromUtf8(c.sqlite) : sql) << c.sql;
        EXPECT_EQ(zq::sql::SpellOutsideBmp(sql, Dbms::Postgres), c.postgres ? QString::fromUtf8(c.postgres) : sql) << c.sql;
        EXPECT_EQ(zq::sql::SpellOutsideBmp(sql, Dbms::SqlServer), sql) << c.sql;
    }
}

TEST(SqlDialect, KnowsTheSystemFromTheDriverOrItsReportedName)
{
    using zq::sql::Dbms;
    const struct {
        const char* name;
        Dbms dbms;
    } cases[] = {
        {"QSQLITE", Dbms::Sqlite},       {"SQLite", Dbms::Sqlite},
        {"sqlite3", Dbms::Sqlite},       {"QPSQL", Dbms::Postgres},
        {"PostgreSQL", Dbms::Postgres},  {"EnterpriseDB PostgreSQL", Dbms::Postgres},
        {"Microsoft SQL Server", Dbms::SqlServer}, {"QODBC", Dbms::Unknown},
        {"", Dbms::Unknown},             {"Oracle", Dbms::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zq::sql::DbmsOf(QString::fromLatin1(c.name)), c.dbms) << c.name;
}

TEST(SqlDialect, TokensJoinBackToTheInput)
{
    const char* inputs[] = {
        "", "SELECT 'a''b' + \"c\"\"d\" FROM [x]]y] -- z\n/* unclosed", "x<=1 AND y<>2 OR z||w != 3.5e3",
        "N'", "'", "[", "\"", "a.b.c(1,(2)))", "中文 + 字段", "/*", "--",
    };
    for (const char* input : inputs) {
        QString joined;
        for (const auto& token : zq::sql::Tokenize(QString::fromUtf8(input)))
            joined += token.text;
        EXPECT_EQ(joined, QString::fromUtf8(input));
        for (const char* driver : {"QSQLITE", "QPSQL", "SQLite", "PostgreSQL"})
            AdaptSql(QString::fromUtf8(input), QString::fromLatin1(driver));   // must not crash
    }
}

TEST(SqlDialect, CountsStatements)
{
    const struct {
        const char* sql;
        bool several;
    } cases[] = {
        {"SELECT 1", false},
        {"SELECT 1;", false},
        {"SELECT 1 ; ;  -- done", false},
        {"SELECT 'a;b' FROM t", false},
        {"SELECT 1; SELECT 2", true},
        {"SELECT 1;DELETE FROM t", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zq::sql::HasSeveralStatements(QString::fromUtf8(c.sql)), c.several) << c.sql;
}

} // namespace
