// The SQL functions the component gives its SQLite connections: LIKE as SQLite's own in every
// respect but letter case, which it ignores for every script as PostgreSQL's ILIKE does; the
// folded position of a word; the FTS5 tokenizer over folded text.
#include "DbTestSupport.h"
#include "OpenDatabase.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

std::string str(const QString& s) { return s.toStdString(); }

// Two in-memory databases: one as the component opens it, one as SQLite comes.
class SearchFunctions : public testing::Test {
protected:
    void SetUp() override
    {
        dbtest::app();
        m_ours = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("functions-ours"));
        m_ours.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(zq::db::OpenDatabase(m_ours));
        m_plain = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("functions-plain"));
        m_plain.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(m_plain.open());
    }
    void TearDown() override
    {
        m_ours.close();
        m_plain.close();
        m_ours = m_plain = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("functions-ours"));
        QSqlDatabase::removeDatabase(QStringLiteral("functions-plain"));
    }

    // The one value of a statement with bound values, as text ("NULL" for NULL, "error: ..." for an error).
    static QString Value(QSqlDatabase db, const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery query(db);
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            return QStringLiteral("error: ") + query.lastError().databaseText();
        if (!query.next())
            return QStringLiteral("no row");
        return query.value(0).isNull() ? QStringLiteral("NULL") : query.value(0).toString();
    }
    QString Like(QSqlDatabase db, const QVariant& text, const QVariant& pattern, const QVariant& escape = {})
    {
        if (escape.isValid())
            return Value(db, QStringLiteral("SELECT ? LIKE ? ESCAPE ?"), {text, pattern, escape});
        return Value(db, QStringLiteral("SELECT ? LIKE ?"), {text, pattern});
    }

    QSqlDatabase m_ours, m_plain;
};

// Where SQLite's own LIKE already ignores case (ASCII), ours answers exactly as it does.
TEST_F(SearchFunctions, LikeAnswersAsSqlitesOwnForAsciiText)
{
    const struct {
        const char* text;
        const char* pattern;
        const char* escape;   // nullptr: none
    } cases[] = {
        {"abc", "abc", nullptr},      {"ABC", "abc", nullptr},       {"abc", "a%", nullptr},
        {"abc", "%c", nullptr},       {"abc", "%b%", nullptr},       {"abc", "a_c", nullptr},
        {"abc", "a__c", nullptr},     {"abc", "%", nullptr},         {"", "%", nullptr},
        {"", "", nullptr},            {"a", "", nullptr},            {"", "_", nullptr},
        {"abcabc", "%bc%bc", nullptr}, {"abcab", "%bc%bc", nullptr}, {"aXbXc", "%x%X%", nullptr},
        {"a%b", "a!%b", "!"},         {"axb", "a!%b", "!"},          {"a_b", "a!_b", "!"},
        {"axb", "a!_b", "!"},         {"a!b", "a!!b", "!"},          {"ab", "ab!", "!"},
        {"ab", "a%!", "!"},           {"a%", "a%%", "%"},            {"ab", "a%", "%"},
        {"a_", "a__", "_"},           {"ab", "a_", "_"},             {"abc", "%_c", "_"},
        {"abc", "%__c", "_"},         {"a\\b", "a\\b", nullptr},     {"a\\b", "a\\\\b", "\\"},
        {"D:\\zq\\x", "D:\\zq\\%", nullptr}, {"x", "X", "ab"},      {"x", "X", ""},
        {"50%", "%0!%", "!"},         {"a\nb", "a_b", nullptr},      {"abc", "%%%c", nullptr},
    };
    for (const auto& c : cases) {
        const QVariant escape = c.escape ? QVariant(QString::fromUtf8(c.escape)) : QVariant();
        const QString text = QString::fromUtf8(c.text), pattern = QString::fromUtf8(c.pattern);
        EXPECT_EQ(str(Like(m_ours, text, pattern, escape)), str(Like(m_plain, text, pattern, escape)))
            << c.text << " LIKE " << c.pattern << (c.escape ? " ESCAPE " : "") << (c.escape ? c.escape : "");
    }
    // NULL anywhere gives NULL.
    for (const auto& [text, pattern, escape] : {std::tuple{QVariant(), QVariant(QStringLiteral("a")), QVariant()},
                                                std::tuple{QVariant(QStringLiteral("a")), QVariant(), QVariant()}}) {
        EXPECT_EQ(Like(m_ours, text, pattern, escape), QStringLiteral("NULL"));
        EXPECT_EQ(Like(m_plain, text, pattern, escape), QStringLiteral("NULL"));
    }
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT 'a' LIKE 'a' ESCAPE NULL")), QStringLiteral("NULL"));
    // Numbers are compared as their text.
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT 120 LIKE '1%'")), QStringLiteral("1"));
}

// Random patterns of ASCII letters, wildcards and escapes: ours and SQLite's agree on every one.
TEST_F(SearchFunctions, LikeAgreesWithSqlitesOwnOnRandomAsciiPatterns)
{
    QRandomGenerator random(20261208);
    const QString alphabet = QStringLiteral("aAbB%_!x");
    auto draw = [&](int most) {
        QString text;
        for (int n = int(random.bounded(most + 1)); n > 0; --n)
            text += alphabet.at(int(random.bounded(qsizetype(alphabet.size()))));
        return text;
    };
    for (int i = 0; i < 3000; ++i) {
        const QString text = draw(8), pattern = draw(6);
        const QVariant escape = i % 2 ? QVariant(QStringLiteral("!")) : QVariant();
        ASSERT_EQ(str(Like(m_ours, text, pattern, escape)), str(Like(m_plain, text, pattern, escape)))
            << str(text) << " LIKE " << str(pattern) << (i % 2 ? " ESCAPE !" : "");
    }
}

TEST_F(SearchFunctions, LikeIgnoresCaseOfEveryScriptButNotWidth)
{
    const struct {
        const char* text;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"φ40×320", "%Φ40%", true},    {"Φ40×320", "%φ4_×%", true},   {"ÄRGER", "ärger", true},
        {"Яблоко", "%ЯБЛ%", true},      {"ΣΟΦΟΣ", "σοφος", true},       {"ｇ３", "Ｇ３", true},
        {"𐐨x", "𐐀X", true},             {"𝄞谱", "_谱", true},            {"😀", "%😀%", true},
        {"ＣＨ32", "ch32", false},       {"İ", "i", false},               {"é", "e", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Like(m_ours, QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.matches ? "1" : "0")
            << c.text << " LIKE " << c.pattern;
    // In a table, as the pages read it.
    QSqlQuery(m_ours).exec(QStringLiteral("CREATE TABLE d (Size TEXT)"));
    QSqlQuery(m_ours).exec(QStringLiteral("INSERT INTO d VALUES ('φ40×320'), ('M8×20'), (NULL)"));
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT count(*) FROM d WHERE Size LIKE '%Φ40%'")), QStringLiteral("1"));
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT count(*) FROM d WHERE Size NOT LIKE '%m8%'")), QStringLiteral("1"));
}

TEST_F(SearchFunctions, LikeRefusesWhatSqlitesOwnRefuses)
{
    for (const QVariant& escape : {QVariant(QStringLiteral("ab")), QVariant(QStringLiteral(""))})
        EXPECT_EQ(Like(m_ours, QStringLiteral("x"), QStringLiteral("x"), escape),
                  QStringLiteral("error: ESCAPE expression must be a single character"));
    const QString huge(50001, u'a');
    EXPECT_EQ(Like(m_ours, QStringLiteral("a"), huge), QStringLiteral("error: LIKE or GLOB pattern too complex"));
    EXPECT_EQ(Like(m_ours, QStringLiteral("a"), huge), Like(m_plain, QStringLiteral("a"), huge));
}

TEST_F(SearchFunctions, FoldedInstrFindsTheWordWhereItStandsInTheText)
{
    const struct {
        const char* text;
        const char* word;
        const char* position;
    } cases[] = {
        {"O'型圈 φ40×3.1", "Φ4", "6"},          {"O'型圈 φ40×3.1", "o'型", "1"},
        {"ＣＨ３２Ｖ００３ board", "ch32v003", "1"}, {"board CH32V003", "ＣＨ３２", "7"},
        {"𝄞 Straße", "STRASSE", "0"},           {"𝄞 ÄB", "äb", "3"},     // characters, not UTF-16 units
        {"abc", "", "1"},                        {"", "a", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT zq_folded_instr(?, ?)"),
                        {QString::fromUtf8(c.text), QString::fromUtf8(c.word)}),
                  QString::fromUtf8(c.position))
            << c.text << " / " << c.word;
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT zq_folded_instr(NULL, 'a')")), QStringLiteral("NULL"));
    // A long text is folded and searched a piece at a time: a word across the pieces' edge, and
    // one near the end, are found where they are.
    const QString longText = QString(4094, u'x') + QStringLiteral("ＡＢＣ中文") + QString(9000, u'y') + QStringLiteral("Φ40");
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT zq_folded_instr(?, 'abc中')"), {longText}), QStringLiteral("4095"));
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT zq_folded_instr(?, 'φ40')"), {longText}), QStringLiteral("13100"));
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT zq_folded_instr(?, 'zzz')"), {longText}), QStringLiteral("0"));
    // Bytes that are no UTF-8 are read as SQLite's LIKE reads them: a lead byte takes every
    // continuation byte after it.
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT zq_folded_instr(CAST(x'41E4B8AD8042' AS TEXT), 'b')")), QStringLiteral("3"));
    for (const char* sql : {"SELECT CAST(x'41E4B8AD8042' AS TEXT) LIKE 'a_b'", "SELECT CAST(x'41C0B0' AS TEXT) LIKE 'A_'"})
        EXPECT_EQ(Value(m_ours, QString::fromLatin1(sql)), Value(m_plain, QString::fromLatin1(sql))) << sql;
}

// The index holds folded trigrams; the table the text as it stands; offsets are the text's.
TEST_F(SearchFunctions, TheFoldingTokenizerFindsFoldedWordsAndKeepsTheText)
{
    QSqlQuery query(m_ours);
    ASSERT_TRUE(query.exec(QStringLiteral("CREATE VIRTUAL TABLE t USING fts5(c, tokenize='zq_folded')")))
        << str(query.lastError().text());
    const QString text = QStringLiteral("ＣＨ３２Ｖ００３ 主板 φ40×320 ΑΒΓ");
    query.prepare(QStringLiteral("INSERT INTO t (rowid, c) VALUES (1, ?)"));
    query.addBindValue(text);
    ASSERT_TRUE(query.exec()) << str(query.lastError().text());
    const struct {
        const char* match;
        bool found;
    } cases[] = {
        {"\"CH32V003\"", true}, {"\"ch32\"", true},  {"\"Φ40\"", true}, {"\"αβγ\"", true},
        {"\"ＣＨ３\"", true},    {"\"φ41\"", false},  {"\"主板 φ\"", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT count(*) FROM t WHERE t MATCH ?"), {QString::fromUtf8(c.match)}),
                  c.found ? "1" : "0")
            << c.match;
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT c FROM t")), text);
    EXPECT_EQ(Value(m_ours, QStringLiteral("SELECT highlight(t, 0, '[', ']') FROM t WHERE t MATCH '\"φ40\"'")),
              QStringLiteral("ＣＨ３２Ｖ００３ 主板 [φ40]×320 ΑΒΓ"));
    // A connection without our functions cannot read the table, and says which tokenizer it lacks.
    EXPECT_TRUE(Value(m_plain, QStringLiteral("CREATE VIRTUAL TABLE t USING fts5(c, tokenize='zq_folded')"))
                    .contains(QStringLiteral("zq_folded")));
}

} // namespace
