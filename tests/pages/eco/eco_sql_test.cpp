// The change-order pages' SQL texts, byte for byte, built from plain values.
#include "ECOSql.h"

#include <gtest/gtest.h>

using namespace zq::eco;

namespace {

const QDate kMar1(2005, 3, 1);
const QDate kMar31(2005, 3, 31);
const QString kSelect = QStringLiteral("SELECT '修改单', ECONo, Remark, SaveUser, SaveDate FROM ECOModifyManage");
const QString kMarch = QStringLiteral("SaveDate>'2005-03-01' AND SaveDate<'2005-04-01'");

struct DateCase {
    const char* name;
    QDate from, to;
    const char* sql;
    bool reversed;
};

TEST(EcoDateCondition, Table)
{
    const DateCase cases[] = {
        {"range", kMar1, kMar31, "SaveDate>'2005-03-01' AND SaveDate<'2005-04-01'", false},
        {"same day", kMar1, kMar1, "SaveDate LIKE '2005-03-01%'", false},
        {"reversed", kMar31, kMar1, "", true},
        {"next day over the year end", QDate(2005, 12, 1), QDate(2005, 12, 31),
         "SaveDate>'2005-12-01' AND SaveDate<'2006-01-01'", false},
        {"leap day", QDate(2004, 2, 1), QDate(2004, 2, 28), "SaveDate>'2004-02-01' AND SaveDate<'2004-02-29'", false},
        {"one day apart", QDate(2005, 3, 1), QDate(2005, 3, 2), "SaveDate>'2005-03-01' AND SaveDate<'2005-03-03'", false},
        // The pickers' last day: the day after has a five-digit year, whose text sorts before every
        // date, so the range is left open above.
        {"up to the last day", kMar1, QDate(9999, 12, 31), "SaveDate>'2005-03-01'", false},
    };
    for (const DateCase& c : cases) {
        const zq::DateCondition date = BuildDateCondition(c.from, c.to);
        EXPECT_EQ(date.sql, QString::fromUtf8(c.sql)) << c.name;
        EXPECT_EQ(date.reversed, c.reversed) << c.name;
    }
}

TEST(EcoStates, ListAndPrefix)
{
    EXPECT_EQ(StateNames(), (QStringList{"临时", "待评审", "评审", "更改", "完成", "正式", "所有"}));
    EXPECT_EQ(StatePrefix(0), QStringLiteral("State='临时' AND"));
    EXPECT_EQ(StatePrefix(5), QStringLiteral("State='正式' AND"));
    EXPECT_EQ(StatePrefix(6), QString());
    EXPECT_EQ(StatePrefix(-1), QString());
}

struct OrderCase {
    const char* name;
    OrderConditions conditions;
    QString sql;
    bool warning;
};

TEST(EcoOrderSql, Table)
{
    const OrderCase cases[] = {
        {"worked example", {"ab", "", "", "", 0, kMar1, kMar31},
         kSelect + " WHERE State='临时' AND SaveUser LIKE '%ab%' AND " + kMarch, false},
        {"nothing typed, all states, same day: two blanks after WHERE", {"", "", "", "", kAllStates, kMar1, kMar1},
         kSelect + " WHERE  SaveDate LIKE '2005-03-01%'", false},
        {"state alone is not applied", {"", "", "", "", 0, kMar31, kMar1}, kSelect, true},
        {"author with all states", {"ab", "", "", "", kAllStates, kMar31, kMar1},
         kSelect + " WHERE  SaveUser LIKE '%ab%'", true},
        {"state before the first other condition", {"", "E-1", "", "", 1, kMar31, kMar1},
         kSelect + " WHERE State='待评审' AND ECONo LIKE '%E-1%'", true},
        {"every condition", {"张三", "E-1", "轴", "A1", 5, kMar1, kMar31},
         kSelect + " WHERE State='正式' AND SaveUser LIKE '%张三%' AND " + kMarch
             + " AND ECONo LIKE '%E-1%' AND Remark LIKE '%轴%'"
               " AND ECONo IN (SELECT ECONo FROM ECOModifyPart WHERE PartCode LIKE '%A1%')",
         false},
        {"texts trimmed", {"  ab ", "\tE-1 ", " ", "", kAllStates, kMar31, kMar1},
         kSelect + " WHERE  SaveUser LIKE '%ab%' AND ECONo LIKE '%E-1%'", true},
        {"part alone after the state", {"", "", "", "A1", 2, kMar31, kMar1},
         kSelect + " WHERE State='评审' AND ECONo IN (SELECT ECONo FROM ECOModifyPart WHERE PartCode LIKE '%A1%')", true},
        {"user wildcards", {"a*b", "", "", "", kAllStates, kMar31, kMar1},
         kSelect + " WHERE  SaveUser LIKE '%a%b%'", true},
        {"quotes doubled", {"o'neil", "", "it's", "", kAllStates, kMar31, kMar1},
         kSelect + " WHERE  SaveUser LIKE '%o''neil%' AND Remark LIKE '%it''s%'", true},
    };
    for (const OrderCase& c : cases) {
        const SqlText text = BuildOrderSql(c.conditions);
        EXPECT_EQ(text.sql, c.sql) << c.name;
        EXPECT_EQ(text.dateWarning, c.warning) << c.name;
    }
}

struct PartCase {
    const char* name;
    PartConditions conditions;
    QString sql;
    bool warning;
};

TEST(EcoChangedPartSql, Table)
{
    const QString mode0 = QStringLiteral("SELECT DISTINCT Tcode, Tname, ProductDwgCode, TOther4 FROM ZqlomiraAll_title");
    const QString mode1 = QStringLiteral("SELECT DISTINCT Upcode, Upname, ProductDwgCode, DOther2 FROM ZqlomiraAll_detail");
    using M = PartResultMode;
    const PartCase cases[] = {
        {"worked example: two blanks before the inner WHERE", {"", "", "", "A1", M::ChangedParts, kMar1, kMar31},
         mode0 + " WHERE TCode IN (SELECT PartCode FROM ECOModifyPart WHERE PartCode LIKE '%A1%' AND ECONo IN "
                 "(SELECT ECONo FROM ECOModifyManage  WHERE " + kMarch + "))",
         false},
        {"bare select, mode 0", {"", "", "", "", M::ChangedParts, kMar31, kMar1}, mode0, true},
        {"bare select, mode 1", {"", "", "", "", M::UpperParts, kMar31, kMar1}, mode1, true},
        {"part only: closed by a single parenthesis", {"", "", "", "A1", M::ChangedParts, kMar31, kMar1},
         mode0 + " WHERE TCode IN (SELECT PartCode FROM ECOModifyPart WHERE PartCode LIKE '%A1%')", true},
        {"orders only, mode 1", {"", "", "", "", M::UpperParts, kMar1, kMar1},
         mode1 + " WHERE DCode IN (SELECT PartCode FROM ECOModifyPart WHERE ECONo IN "
                 "(SELECT ECONo FROM ECOModifyManage  WHERE SaveDate LIKE '2005-03-01%'))",
         false},
        {"author opens the order clause", {" ab ", "E", "轴", "", M::ChangedParts, kMar1, kMar31},
         mode0 + " WHERE TCode IN (SELECT PartCode FROM ECOModifyPart WHERE ECONo IN "
                 "(SELECT ECONo FROM ECOModifyManage  WHERE SaveUser LIKE '%ab%' AND " + kMarch
             + " AND ECONo LIKE '%E%' AND Remark LIKE '%轴%'))",
         false},
        {"order number without dates", {"", "E", "", "A'1", M::UpperParts, kMar31, kMar1},
         mode1 + " WHERE DCode IN (SELECT PartCode FROM ECOModifyPart WHERE PartCode LIKE '%A''1%' AND ECONo IN "
                 "(SELECT ECONo FROM ECOModifyManage  WHERE ECONo LIKE '%E%'))",
         true},
    };
    for (const PartCase& c : cases) {
        const SqlText text = BuildChangedPartSql(c.conditions);
        EXPECT_EQ(text.sql, c.sql) << c.name;
        EXPECT_EQ(text.dateWarning, c.warning) << c.name;
    }
}

struct ListCase {
    const char* name;
    QDate from, to;
    QStringList values;
    QString sql;
    bool warning;
};

TEST(EcoDepartmentSql, Table)
{
    const QString handout = QStringLiteral("ECONo IN (SELECT ECONo FROM ECOHandout WHERE ECOGroup='修改单' AND (");
    const ListCase cases[] = {
        {"worked example", kMar1, kMar31, {"一车间", "二车间"},
         kSelect + " WHERE " + kMarch + " AND " + handout + "ltrim(Enpartment)='一车间' OR ltrim(Enpartment)='二车间'))",
         false},
        {"empty list, reversed dates", kMar31, kMar1, {}, kSelect, true},
        {"empty list, valid dates", kMar1, kMar1, {}, kSelect + " WHERE SaveDate LIKE '2005-03-01%'", false},
        {"departments open the clause", kMar31, kMar1, {"一车间"},
         kSelect + " WHERE " + handout + "ltrim(Enpartment)='一车间'))", true},
        {"names used as listed, quotes doubled", kMar31, kMar1, {" 三车间", "O'Brien*"},
         kSelect + " WHERE " + handout + "ltrim(Enpartment)=' 三车间' OR ltrim(Enpartment)='O''Brien*'))", true},
    };
    for (const ListCase& c : cases) {
        const SqlText text = BuildDepartmentSql(c.from, c.to, c.values);
        EXPECT_EQ(text.sql, c.sql) << c.name;
        EXPECT_EQ(text.dateWarning, c.warning) << c.name;
    }
}

TEST(EcoOpinionSql, Table)
{
    const QString part = QStringLiteral("ECONo IN (SELECT ECONo FROM ECOModifyPart WHERE (");
    const ListCase cases[] = {
        {"worked example", kMar1, kMar31, {"报废", "返修"},
         kSelect + " WHERE " + kMarch + " AND " + part + "Result LIKE '%报废%' OR Result LIKE '%返修%'))", false},
        {"an empty row matches any opinion", kMar31, kMar1, {""}, kSelect + " WHERE " + part + "Result LIKE '%%'))", true},
        {"empty list, reversed dates", kMar31, kMar1, {}, kSelect, true},
        {"text not trimmed, quotes doubled", kMar1, kMar1, {" 报 ", "it's"},
         kSelect + " WHERE SaveDate LIKE '2005-03-01%' AND " + part + "Result LIKE '% 报 %' OR Result LIKE '%it''s%'))",
         false},
    };
    for (const ListCase& c : cases) {
        const SqlText text = BuildOpinionSql(c.from, c.to, c.values);
        EXPECT_EQ(text.sql, c.sql) << c.name;
        EXPECT_EQ(text.dateWarning, c.warning) << c.name;
    }
}

TEST(EcoStoredFile, Texts)
{
    EXPECT_EQ(StoredFileSizeSql("修改单", "E-001"),
              QStringLiteral("SELECT FileBulk FROM ECORelateFile WHERE ECOGroup='修改单' AND ECONo='E-001' AND DocType='_ZQ_ECO'"));
    EXPECT_EQ(StoredFileContentSql("修改单", "E'1"),
              QStringLiteral("SELECT DocSaved, DocContent FROM ECORelateFile WHERE ECOGroup='修改单' AND ECONo='E''1' "
                             "AND DocType='_ZQ_ECO'"));
    EXPECT_EQ(StoredFileName("E-001"), QStringLiteral("ME-001_ECO.tbl"));
    const QString unsafe = StoredFileName("../x/y");
    EXPECT_FALSE(unsafe.contains('/')) << unsafe.toStdString();
    EXPECT_TRUE(unsafe.startsWith('M') && unsafe.endsWith("_ECO.tbl"));
}

} // namespace
