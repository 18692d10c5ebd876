// The batch-product page's SQL texts, byte for byte: the design-part rules over the batch tables.
#include "OrderSql.h"

#include <gtest/gtest.h>

using namespace zq::part;

namespace {

const QString kTitle =
    QStringLiteral("SELECT DISTINCT TOrdercode, Tname, OrderProductCode, TOther4 FROM ZqOrderProduct_title");
const QString kDetail =
    QStringLiteral("SELECT DISTINCT DOrdercode, Dname, OrderProductCode, DOther2 FROM ZqOrderProduct_detail");

QDate D(const char* text) { return QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd")); }

QStringList Rows(int count, std::initializer_list<std::pair<int, const char*>> filled)
{
    QStringList values(count);
    for (const auto& [row, text] : filled)
        values[row] = QString::fromUtf8(text);
    return values;
}

TEST(OrderSql, Texts)
{
    const struct {
        const char* name;
        int kind;
        QStringList values;
        const char* from;
        const char* to;
        QString sql;
        bool warning;
    } cases[] = {
        {"title_batch_default_dates", 0, Rows(17, {{0, "B01"}}), "2025-12-13", "2026-12-08",
         kTitle + " WHERE TOrdercode LIKE '%B01%' AND Ttime>'2025-12-13' AND Ttime<'2026-12-09'", false},
        {"title_same_day", 0, Rows(17, {{2, "轴"}}), "2026-03-01", "2026-03-01",
         kTitle + QStringLiteral(" WHERE Tname LIKE '%轴%' AND Ttime LIKE '2026-03-01%'"), false},
        {"title_reversed_no_rows", 0, Rows(17, {}), "2026-03-02", "2026-03-01", kTitle, true},
        {"title_last_rows", 0, Rows(17, {{1, "ZQ*01"}, {16, "投产"}}), "2026-03-02", "2026-03-01",
         kTitle + QStringLiteral(" WHERE Tcode LIKE '%ZQ%01%' AND State LIKE '%投产%'"), true},
        {"title_quote_doubled", 0, Rows(17, {{0, "B'1"}}), "2026-03-01", "2026-03-01",
         kTitle + " WHERE TOrdercode LIKE '%B''1%' AND Ttime LIKE '2026-03-01%'", false},
        {"detail_no_values", 1, Rows(9, {}), "2026-03-02", "2026-03-01", kDetail, false},
        {"detail_rows_no_date", 1, Rows(9, {{0, "B2026"}, {8, "JQ"}}), "2025-01-01", "2026-03-01",
         kDetail + " WHERE DOrdercode LIKE '%B2026%' AND Dother2 LIKE '%JQ%'", false},
        {"other_kind_empty", 2, Rows(17, {{0, "B01"}}), "2025-01-01", "2026-03-01", QString(), false},
    };
    for (const auto& c : cases) {
        const PartSqlText built = BuildOrderSearchSql(c.kind, c.values, D(c.from), D(c.to));
        EXPECT_EQ(built.sql.toStdString(), c.sql.toStdString()) << c.name;
        EXPECT_EQ(built.dateWarning, c.warning) << c.name;
    }
}

} // namespace
