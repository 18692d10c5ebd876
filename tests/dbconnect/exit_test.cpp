// Process exit with connection objects still alive in statics. Alone in its binary, so that
// Qt Sql's registry is made after these statics and therefore destroyed before them.
#include "DbTestSupport.h"
#include "Recordset.h"
#include "ZQDBConnect.h"

#include <QFile>

using namespace zq;

namespace {

// A connection object kept in a static (as a component may keep its own) is destroyed after Qt
// Sql's registry when the process exits; that must not crash the exit.
TEST(ProcessExit, ConnectionHeldByAStaticOutlivesQtSql)
{
    static std::unique_ptr<CZQDBConnect> held;
    static std::unique_ptr<CZQDBConnect> pg;
    dbtest::app();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("static.db"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    held = std::make_unique<CZQDBConnect>(QStringLiteral("sqlite:") + path);
    ASSERT_TRUE(held->ConnectPDM()) << held->LastError().toStdString();
    EXPECT_EQ(held->GetSelectItemData(QStringLiteral("SELECT 'a' + 'b'")), "ab");
    static Recordset open;
    open.Open(QStringLiteral("SELECT 1 UNION ALL SELECT 2"), held->GetPtrPDM());
    if (const QString server = dbtest::PostgresServer(); !server.isEmpty()) {
        pg = std::make_unique<CZQDBConnect>(server);
        ASSERT_TRUE(pg->ConnectPDM()) << pg->LastError().toStdString();
        static Recordset cursor;
        cursor.Open(QStringLiteral("SELECT 1 UNION ALL SELECT 2"), pg->GetPtrPDM());
    }
}

} // namespace
