// The SELECT that narrows a table for the quick search: every word a condition, codes compared
// without separators (on PostgreSQL as its trigram indexes hold them), quotes doubled, and a
// table without the field a prefix names left out.
#include "QuickSources.h"
#include "SourceSearch.h"

#include <gtest/gtest.h>

using namespace zq::quick;
using zq::sql::Dbms;

namespace {

const SourceTable& Table(const char* kind, int source = 0)
{
    return FindDatabaseKind(QString::fromUtf8(kind))->sources.at(source);
}

QString Sql(const char* typed, const char* kind, Dbms engine, int source = 0)
{
    return SourceSearch(ParseQuickQuery(QString::fromUtf8(typed)), Table(kind, source), engine).sql();
}

TEST(SourceSearch, BuildsOneConditionAWord)
{
    struct Case {
        const char* typed;
        const char* kind;
        Dbms engine;
        const char* where;
    } const cases[] = {
        {"ZQ8600-01", "设计零部件", Dbms::Sqlite,
         " WHERE (Tcode LIKE '%z%q%8%6%0%0%0%1%' OR Tname LIKE '%zq8600-01%' OR Tname LIKE '%ZQ8600-01%')"},
        {"ＺＱ８６００", "设计零部件", Dbms::Postgres,
         " WHERE (translate(lower(Tcode), ' -_./·', '') LIKE '%zq8600%' OR Tname LIKE '%zq8600%' OR Tname LIKE "
         "'%ＺＱ８６００%')"},
        {"zq86*01", "设计零部件", Dbms::Postgres,
         " WHERE (translate(lower(Tcode), ' -_./·', '') LIKE '%zq86%01%' OR Tname LIKE '%zq86%01%')"},
        {"名称:箱盖 编制:张伟", "设计零部件", Dbms::Sqlite, " WHERE Tname LIKE '%箱盖%' AND Tdesigner LIKE '%张伟%'"},
        {"编号:O'R", "更改单", Dbms::Postgres, " WHERE translate(lower(ECONo), ' -_./·', '') LIKE '%o''r%'"},
        {"\"It's\"", "更改单", Dbms::Sqlite, " WHERE (ECONo LIKE '%It''s%' OR Remark LIKE '%It''s%')"},
    };
    for (const Case& c : cases) {
        const QString sql = Sql(c.typed, c.kind, c.engine);
        EXPECT_TRUE(sql.endsWith(QString::fromUtf8(c.where))) << c.typed << "\n" << sql.toStdString();
    }
}

TEST(SourceSearch, LeavesOutATableWithoutTheFieldAPrefixNames)
{
    const SourceTable& resources = Table("资源文件");
    EXPECT_FALSE(SourceSearch(ParseQuickQuery(QStringLiteral("编制:张伟")), resources).searchable());
    EXPECT_FALSE(SourceSearch(ParseQuickQuery(QStringLiteral("图号:R-BZ")), resources).searchable());
    EXPECT_FALSE(SourceSearch(ParseQuickQuery(QStringLiteral("内容:法兰")), Table("设计零部件")).searchable());
    EXPECT_TRUE(SourceSearch(ParseQuickQuery(QStringLiteral("编号:R-BZ")), resources).searchable());
}

} // namespace
