// The design-part page's SQL texts, byte for byte, from plain row values.
#include "PartSql.h"

#include <gtest/gtest.h>

using namespace zq::part;

namespace {

const QString kTitle = QStringLiteral("SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title");
const QString kDetail = QStringLiteral("SELECT DISTINCT Dcode, Dname, ProductDwgCode, DOther2 FROM ZqlomiraAll_detail");
const QString kAttr = QStringLiteral("SELECT DISTINCT Tcode, Tname, ProductDwgCode FROM ZqlomiraAll_title");

QDate D(const char* text) { return QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd")); }

// Values with the given rows filled.
QStringList Rows(int count, std::initializer_list<std::pair<int, const char*>> filled)
{
    QStringList values(count);
    for (const auto& [row, text] : filled)
        values[row] = QString::fromUtf8(text);
    return values;
}

struct Case {
    const char* name;
    int kind;
    QStringList values;
    const char* from;
    const char* to;
    bool scopeOn;
    const char* scope;
    QString sql;
    bool warning;
};

class PartSqlCases : public ::testing::TestWithParam<Case> {};

TEST_P(PartSqlCases, BuildsTheText)
{
    const Case& c = GetParam();
    SearchInput input;
    input.kind = c.kind;
    input.values = c.values;
    input.from = D(c.from);
    input.to = D(c.to);
    input.scopeOn = c.scopeOn;
    input.scope = QString::fromUtf8(c.scope);
    const PartSqlText built = BuildSearchSql(input);
    EXPECT_EQ(built.sql.toStdString(), c.sql.toStdString());
    EXPECT_EQ(built.dateWarning, c.warning);
}

const Case kCases[] = {
    {"title_dates_only", 0, Rows(16, {}), "2005-01-01", "2005-03-01", false, "",
     kTitle + " WHERE Ttime>'2005-01-01' AND Ttime<'2005-03-02'", false},
    {"title_same_day", 0, Rows(16, {{1, "N"}}), "2005-03-01", "2005-03-01", false, "",
     kTitle + " WHERE Tname LIKE '%N%' AND Ttime LIKE '2005-03-01%'", false},
    {"title_reversed_no_rows", 0, Rows(16, {}), "2005-03-02", "2005-03-01", false, "", kTitle, true},
    {"title_reversed_with_row", 0, Rows(16, {{0, "A1"}}), "2005-03-02", "2005-03-01", false, "",
     kTitle + " WHERE Tcode LIKE '%A1%'", true},
    {"title_star_becomes_percent", 0, Rows(16, {{0, "A*B"}}), "2005-03-01", "2005-03-01", false, "",
     kTitle + " WHERE Tcode LIKE '%A%B%' AND Ttime LIKE '2005-03-01%'", false},
    {"title_two_rows_joined", 0, Rows(16, {{0, "A1"}, {2, "45"}}), "2005-01-01", "2005-03-01", false, "",
     kTitle + " WHERE Tcode LIKE '%A1%' AND Tmaterial LIKE '%45%' AND Ttime>'2005-01-01' AND Ttime<'2005-03-02'",
     false},
    {"title_year_end", 0, Rows(16, {}), "2005-12-01", "2005-12-31", false, "",
     kTitle + " WHERE Ttime>'2005-12-01' AND Ttime<'2006-01-01'", false},
    {"title_quote_doubled", 0, Rows(16, {{1, "O'型圈"}}), "2005-03-01", "2005-03-01", false, "",
     kTitle + QStringLiteral(" WHERE Tname LIKE '%O''型圈%' AND Ttime LIKE '2005-03-01%'"), false},
    {"title_scope_ignored", 0, Rows(16, {{15, "正式"}}), "2005-03-01", "2005-03-01", true, "P",
     kTitle + QStringLiteral(" WHERE State LIKE '%正式%' AND Ttime LIKE '2005-03-01%'"), false},
    {"title_short_value_list", 0, QStringList{QStringLiteral("X")}, "2005-03-01", "2005-03-01", false, "",
     kTitle + " WHERE Tcode LIKE '%X%' AND Ttime LIKE '2005-03-01%'", false},
    {"detail_with_scope", 1, Rows(8, {{0, "G1"}}), "2005-03-02", "2005-03-01", true, "P",
     kDetail + " WHERE Dcode LIKE '%G1%' AND ProductDwgCode LIKE '%P%'", false},
    {"detail_scope_off", 1, Rows(8, {{0, "G1"}}), "2005-01-01", "2005-03-01", false, "P",
     kDetail + " WHERE Dcode LIKE '%G1%'", false},
    {"detail_only_scope", 1, Rows(8, {}), "2005-01-01", "2005-03-01", true, "P::A",
     kDetail + " WHERE ProductDwgCode LIKE '%P::A%'", false},
    {"detail_nothing", 1, Rows(8, {}), "2005-01-01", "2005-03-01", true, "", kDetail, false},
    {"detail_scope_quote", 1, Rows(8, {{7, "x"}}), "2005-01-01", "2005-03-01", true, "P'Q*",
     kDetail + " WHERE Dother2 LIKE '%x%' AND ProductDwgCode LIKE '%P''Q%%'", false},
    {"attribute_default_range", 2, Rows(12, {{1, "Y"}}), "2005-01-01", "2005-12-27", false, "",
     kAttr + " WHERE Tcode IN (SELECT PartCode FROM PartAttribute WHERE Key_Flag LIKE 'Y') AND "
             "Ttime>'2005-01-01' AND Ttime<'2005-12-28'",
     false},
    {"attribute_reversed_no_values", 2, Rows(12, {}), "2005-03-02", "2005-03-01", false, "", kAttr, true},
    {"attribute_reversed_with_values", 2, Rows(12, {{0, "G*"}, {11, "v"}}), "2005-03-02", "2005-03-01", false, "",
     kAttr + " WHERE Tcode IN (SELECT PartCode FROM PartAttribute WHERE GroupCode LIKE 'G%' AND Other5 LIKE 'v')",
     true},
    {"attribute_dates_only", 2, Rows(12, {}), "2005-03-01", "2005-03-01", false, "",
     kAttr + " WHERE Ttime LIKE '2005-03-01%'", false},
    {"attribute_other_kind_number", 7, Rows(12, {{6, "厂"}}), "2005-03-01", "2005-03-01", false, "",
     kAttr + QStringLiteral(" WHERE Tcode IN (SELECT PartCode FROM PartAttribute WHERE Provider LIKE '厂') AND "
                            "Ttime LIKE '2005-03-01%'"),
     false},
};

INSTANTIATE_TEST_SUITE_P(Examples, PartSqlCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Every row reaches its own column, in row order.
TEST(PartSqlMapping, EveryRowHasItsColumn)
{
    struct Kind {
        int kind;
        const QStringList& columns;
        int rows;
    };
    const Kind kinds[] = {{0, TitleColumns(), 16}, {1, DetailColumns(), 8}, {2, AttributeColumns(), 12}};
    for (const Kind& k : kinds) {
        ASSERT_EQ(k.columns.size(), k.rows);
        for (int row = 0; row < k.rows; ++row) {
            SearchInput input;
            input.kind = k.kind;
            input.values = QStringList(k.rows);
            input.values[row] = QStringLiteral("v");
            input.from = input.to = D("2005-03-01");
            const QString sql = BuildSearchSql(input).sql;
            const QString wrap = k.kind == 2 ? QString() : QStringLiteral("%");
            EXPECT_TRUE(sql.contains(k.columns[row] + " LIKE '" + wrap + "v" + wrap + "'"))
                << k.kind << " " << row << " " << sql.toStdString();
        }
    }
    EXPECT_EQ(TitleColumns().at(10), "Tother1");
    EXPECT_EQ(TitleColumns().at(11), "Tother3");
    EXPECT_EQ(TitleColumns().at(15), "State");
    EXPECT_EQ(DetailColumns().at(3), "Dstand");
    EXPECT_EQ(AttributeColumns().at(3), "Box_Length");
}

// The structure condition equals what cutting the scoped detail SQL gives: the text after the
// first " WHERE ", up to the first "AND ProductDwgCode"; nothing when the scope was alone.
TEST(PartSqlStructure, ConditionMatchesTheScopedDetailText)
{
    const QList<QStringList> rows = {
        Rows(8, {}),
        Rows(8, {{0, "G1"}}),
        Rows(8, {{0, "G1"}, {3, "M*8"}, {7, "z"}}),
        Rows(8, {{5, "标准件"}}),
    };
    for (const QStringList& values : rows) {
        const QString sql = BuildDetailSql(values, true, QStringLiteral("P")).sql;
        QString cut = sql.mid(sql.indexOf(" WHERE ") + 7);
        const int end = cut.indexOf("AND ProductDwgCode");
        cut = end < 0 ? QString() : cut.left(end);
        EXPECT_EQ(StructureCondition(values).toStdString(), cut.toStdString());
    }
    EXPECT_EQ(StructureCondition(Rows(8, {{0, "G1"}})), "Dcode LIKE '%G1%' ");
    // A value that looks like the scope condition does not shorten the condition.
    EXPECT_EQ(StructureCondition(Rows(8, {{1, "AND ProductDwgCode"}})),
              "Dname LIKE '%AND ProductDwgCode%' ");
}

TEST(PartSqlStructure, StructureStatements)
{
    const struct {
        QString got;
        QString want;
    } cases[] = {
        {StructureRowsSql("P", "Dcode LIKE '%G1%' "),
         "SELECT UpCode, DCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='P' AND Dcode LIKE '%G1%' "},
        {StructureRowsSql("P", ""), "SELECT UpCode, DCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='P'"},
        {StructureCountSql("P", "Dcode LIKE '%G1%' "),
         "SELECT count(*) FROM ZqlomiraAll_detail WHERE ProductDwgCode='P' AND Dcode LIKE '%G1%' "},
        {StructureCountSql("O'P", ""), "SELECT count(*) FROM ZqlomiraAll_detail WHERE ProductDwgCode='O''P'"},
        {ParentCodesSql("P", "B'1"), "SELECT UpCode FROM ZqlomiraAll_detail WHERE ProductDwgCode='P' AND DCode='B''1'"},
        {PartNameSql("B", "P"), "SELECT DName FROM ZqlomiraAll_detail WHERE DCode='B' AND ProductDwgCode='P'"},
        {ProductNameSql("P'1"), "SELECT ProductName FROM Product WHERE ProductDwgCode = 'P''1'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got.toStdString(), c.want.toStdString());
}

TEST(PartSqlLocate, LocateTexts)
{
    EXPECT_EQ(LocateText("B", "P", false, "P::A"), "B@^P");
    EXPECT_EQ(LocateText("B", "P::A::B", true, "P::A"), "B@^P::A::B@^P::A@^1");
    EXPECT_EQ(LocateText("", "", false, ""), "@^");
}

} // namespace
