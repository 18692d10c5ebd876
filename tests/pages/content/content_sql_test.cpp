// The search of the content index as text, for both engines the index lives on: the words typed,
// folded for search, where each is looked for (the trigram index, or a scan for one and two
// characters), the kind and date conditions, and the excerpt the snippet is made from. What reaches the engines with
// odd characters is run for real in tests/index.
#include "ContentSql.h"

#include <gtest/gtest.h>

using namespace zq::content;
using zq::sql::Dbms;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

TEST(ContentSql, WordsAreSplitAtAnyWhiteSpaceOnceEach)
{
    const struct {
        const char* typed;
        QStringList words;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"氟橡胶", {"氟橡胶"}},
        {" HT200  铸件\t时效\n", {"HT200", "铸件", "时效"}},
        {"密封圈\u3000氟橡胶", {"密封圈", "氟橡胶"}},          // the ideographic space of Chinese input
        {"密封 密封 圈", {"密封", "圈"}},
        {"a\x01" "b", {"a", "b"}},                           // control characters separate
        {"x\u200By", {"x", "y"}},                            // so do invisible format characters
        {"O'型 \"*(:-", {"O'型", "\"*(:-"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContentWords(QString::fromUtf8(c.typed)), c.words) << c.typed;
}

ContentConditions Words(const char* words, int kind = KindAll)
{
    ContentConditions conditions;
    conditions.words = QString::fromUtf8(words);
    conditions.kind = kind;
    return conditions;
}

const QString kSqliteSelect = QStringLiteral(
    "SELECT f.Code1, f.Code2, f.Revision, f.Description, f.FileName, f.FileType, f.FileDate, f.Kind, f.SourceTable, ");
const QString kSqliteFrom = QStringLiteral(" FROM ContentText t JOIN ContentFile f ON f.FileId = t.rowid");
const QString kOrder = QStringLiteral(" ORDER BY f.FileDate DESC, f.FileName");

// The index knows which texts hold each three characters, not where: a word of three is looked up
// as it is, a longer one by pieces that cover it and then found in the text; a shorter one scanned.
TEST(ContentSql, SqliteFindsLongWordsThroughTheTrigramIndexAndScansForShortOnes)
{
    const struct {
        const char* name;
        ContentConditions conditions;
        QString excerpt;   // the excerpt's start expression
        QString where;
    } cases[] = {
        {"no word: every file, from the start of its text", Words(""), QStringLiteral("1"), QString()},
        {"one word of three characters: the index alone", Words("渗碳层"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, '渗碳层') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"渗碳层\"'")},
        {"one long word: pieces of three, then the word in the text", Words("氟橡胶密封圈"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, '氟橡胶密封圈') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"氟橡胶\" AND \"密封圈\"' AND "
                        "zq_folded_instr(t.Content, '氟橡胶密封圈') > 0")},
        {"a word of seven: its last three overlap", Words("铝合金压铸件A"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, '铝合金压铸件a') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"铝合金\" AND \"压铸件\" AND \"铸件a\"' AND "
                        "zq_folded_instr(t.Content, '铝合金压铸件a') > 0")},
        {"all words must occur; folded for search", Words("HT200 铸件时效"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, 'ht200') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"ht2\" AND \"200\" AND \"铸件时\" AND \"件时效\"' AND "
                        "zq_folded_instr(t.Content, 'ht200') > 0 AND zq_folded_instr(t.Content, '铸件时效') > 0")},
        {"one and two characters: a scan", Words("镀 6G 镀锌钝化"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, '镀') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"镀锌钝\" AND \"锌钝化\"' AND zq_folded_instr(t.Content, '镀') > 0 AND "
                        "zq_folded_instr(t.Content, '6g') > 0 AND zq_folded_instr(t.Content, '镀锌钝化') > 0")},
        {"full-width letters and digits, other scripts' capitals", Words("ＣＨ３２Ｖ００３ Φ4"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, 'ch32v003') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"ch3\" AND \"2v0\" AND \"003\"' AND "
                        "zq_folded_instr(t.Content, 'ch32v003') > 0 AND zq_folded_instr(t.Content, 'φ4') > 0")},
        {"quotes: doubled for FTS5 inside doubled for SQL", Words("O'型圈 say\"hi\""),
         QStringLiteral("max(1, zq_folded_instr(t.Content, 'o''型圈') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"o''型\" AND \"''型圈\" AND \"say\" AND \"\"\"hi\" AND \"hi\"\"\"' AND "
                        "zq_folded_instr(t.Content, 'o''型圈') > 0 AND zq_folded_instr(t.Content, 'say\"hi\"') > 0")},
        {"FTS5 operators are only characters in a string", Words("(a OR b)* NEAR:"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, '(a') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"b)*\" AND \"nea\" AND \"ar:\"' AND zq_folded_instr(t.Content, '(a') > 0 AND "
                        "zq_folded_instr(t.Content, 'or') > 0 AND zq_folded_instr(t.Content, 'near:') > 0")},
        {"a placeholder of QString::arg is text", Words("%1 %2%3"),
         QStringLiteral("max(1, zq_folded_instr(t.Content, '%1') - 20)"),
         QStringLiteral(" WHERE t.ContentText MATCH '\"%2%\" AND \"2%3\"' AND zq_folded_instr(t.Content, '%1') > 0 AND "
                        "zq_folded_instr(t.Content, '%2%3') > 0")},
        {"design documents", Words("", KindDesign), QStringLiteral("1"), QStringLiteral(" WHERE f.Kind = '设计文档'")},
        {"resource files", Words("轴承", KindResource), QStringLiteral("max(1, zq_folded_instr(t.Content, '轴承') - 20)"),
         QStringLiteral(" WHERE zq_folded_instr(t.Content, '轴承') > 0 AND f.Kind = '资源文件'")},
    };
    for (const auto& c : cases) {
        const ContentSqlText text = BuildContentSql(c.conditions, Dbms::Sqlite);
        EXPECT_FALSE(text.dateWarning) << c.name;
        EXPECT_EQ(str(text.sql), str(kSqliteSelect + QStringLiteral("substr(t.Content, ") + c.excerpt +
                                     QStringLiteral(", 60), ") + c.excerpt + QStringLiteral(", f.ContentChars") +
                                     kSqliteFrom + c.where + kOrder))
            << c.name;
    }
}

// LIKE over the folded column ("~~": no rewriting into ILIKE, no locale); a literal with a
// backslash is an escape string, read alike whatever standard_conforming_strings is.
TEST(ContentSql, PostgresLooksForEveryFoldedWordInTheFoldedTextItsWildcardsTakenLiterally)
{
    const struct {
        const char* words;
        QString position;
        QString where;
        bool indexFirst;   // a word of three characters or more: the trigram index answers it
    } cases[] = {
        {"氟橡胶 镀", QStringLiteral("strpos(f.Folded, '氟橡胶')"),
         QStringLiteral(" WHERE f.Folded ~~ '%氟橡胶%' AND f.Folded ~~ '%镀%'"), true},
        {"Φ40 ＨＴ２００", QStringLiteral("strpos(f.Folded, 'φ40')"),
         QStringLiteral(" WHERE f.Folded ~~ '%φ40%' AND f.Folded ~~ '%ht200%'"), true},
        {"50% a_b c\\d it's", QStringLiteral("strpos(f.Folded, '50%')"),
         QStringLiteral(" WHERE f.Folded ~~ E'%50\\\\%%' AND f.Folded ~~ E'%a\\\\_b%' AND f.Folded ~~ E'%c\\\\\\\\d%' "
                        "AND f.Folded ~~ '%it''s%'"), true},
        {"c\\d", QStringLiteral("strpos(f.Folded, E'c\\\\d')"), QStringLiteral(" WHERE f.Folded ~~ E'%c\\\\\\\\d%'"), true},
        {"渗碳 镀", QStringLiteral("strpos(f.Folded, '渗碳')"),
         QStringLiteral(" WHERE f.Folded ~~ '%渗碳%' AND f.Folded ~~ '%镀%'"), false},
    };
    for (const auto& c : cases) {
        const ContentSqlText text = BuildContentSql(Words(c.words), Dbms::Postgres);
        EXPECT_EQ(text.preferIndexScans, c.indexFirst) << c.words;
        EXPECT_FALSE(BuildContentSql(Words(c.words), Dbms::Sqlite).preferIndexScans) << c.words;
        const QString& sql = text.sql;
        EXPECT_TRUE(sql.contains(QStringLiteral(" FROM ContentFile f") + c.where + kOrder)) << str(sql);
        EXPECT_TRUE(sql.contains(QStringLiteral("substr(f.Content, greatest(1, ") + c.position + QStringLiteral(" - 20), 60)")))
            << str(sql);
    }
}

TEST(ContentSql, TheDateRangeOnlyWhenTickedAndNotReversed)
{
    ContentConditions conditions = Words("", KindAll);
    conditions.from = QDate(2026, 1, 1);
    conditions.to = QDate(2026, 3, 31);
    EXPECT_FALSE(BuildContentSql(conditions, Dbms::Sqlite).sql.contains(QStringLiteral("FileDate>=")));
    conditions.byDate = true;
    EXPECT_TRUE(BuildContentSql(conditions, Dbms::Sqlite)
                    .sql.endsWith(QStringLiteral(" WHERE f.FileDate>='2026-01-01' AND f.FileDate<='2026-04-01'") + kOrder));
    conditions.to = QDate(2025, 12, 31);
    const ContentSqlText reversed = BuildContentSql(conditions, Dbms::Postgres);
    EXPECT_TRUE(reversed.dateWarning);
    EXPECT_FALSE(reversed.sql.contains(QStringLiteral("WHERE")));
}

TEST(ContentSql, SnippetShowsTheExcerptOnOneLineAndWhereTheTextGoesOn)
{
    const struct {
        const char* excerpt;
        qint64 start;
        qint64 length;
        const char* snippet;
    } cases[] = {
        {"whole text", 1, 10, "whole text"},
        {"start of a longer one", 1, 500, "start of a longer one…"},
        {"from the middle", 40, 500, "…from the middle…"},
        {"the end", 494, 500, "…the end"},
        {"行一\n行二\r\n\t行三", 1, 10, "行一 行二 行三"},
        {"\U00020000 wide", 3, 8, "…\U00020000 wide"},   // a character beyond the BMP counts once
        {"", 1, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(str(SnippetText(QString::fromUtf8(c.excerpt), c.start, c.length)), c.snippet) << c.excerpt;
}

} // namespace
