// The PostgreSQL server stopped and started again between two searches, on a private server of
// this test: while it is down every page says that the connection is lost and cannot be made
// again; once it is back, the next search on every page connects anew and lists everything.
#include "FaultWindow.h"
#include "PgServerFaults.h"

namespace faults {
namespace {

TEST(ServerRestart, EveryPageReconnectsOrSaysItCannot)
{
    zq::test::EnsureApp();
    if (!zq::test::PrivatePgServer::Available())
        GTEST_SKIP() << "no PostgreSQL server programs";
    zq::test::PrivatePgServer server;
    ASSERT_TRUE(server.ok()) << server.error().toStdString();
    ASSERT_TRUE(server.createDatabase(QStringLiteral("pdm"))) << server.error().toStdString();
    zq::test::SeededHome::Options options;
    options.databaseUrl = server.url(QStringLiteral("pdm"));
    zq::test::SeededHome home(options);
    ASSERT_TRUE(home.ok()) << home.error().toStdString();
    ASSERT_EQ(AddFaultRows(home.databaseUrl(), home.today().toString(Qt::ISODate)), QString());

    zq::test::ScopedEnv user("ZQPDM_USER", QStringLiteral("zhangwei"));
    FaultDesktop desktop;
    zq::ScopedDesktop scope(desktop);
    desktop.fixedNow = QDateTime(home.today(), QTime(12, 0));
    FaultWindow window;

    std::vector<int> all;
    for (const FaultPage& entry : FaultPages()) {
        ASSERT_NE(window.select(entry), nullptr) << entry.name;
        all.push_back(window.find());
        EXPECT_GE(all.back(), kFaultRows) << entry.name;
    }
    ASSERT_EQ(desktop.messages(), QStringList());

    ASSERT_TRUE(server.stop()) << server.error().toStdString();
    for (const FaultPage& entry : FaultPages()) {
        desktop.reset();
        ASSERT_NE(window.select(entry), nullptr) << entry.name;
        EXPECT_EQ(window.find(), 0) << entry.name;
        if (entry.failure) {
            EXPECT_EQ(desktop.messages(), QStringList{QString::fromUtf8(entry.failure)}) << entry.name;
            continue;
        }
        EXPECT_EQ(desktop.errorReports(), 1) << entry.name;
        EXPECT_TRUE(desktop.messages().value(0).startsWith(QStringLiteral("与数据库服务器的连接已断开，重新连接失败: ")))
            << entry.name << ": " << desktop.messages().value(0).toStdString();
    }

    ASSERT_TRUE(server.start()) << server.error().toStdString();
    for (size_t i = 0; i < FaultPages().size(); ++i) {
        desktop.reset();
        ASSERT_NE(window.select(FaultPages()[i]), nullptr);
        EXPECT_EQ(window.find(), all[i]) << FaultPages()[i].name;
        EXPECT_EQ(desktop.messages(), QStringList()) << FaultPages()[i].name;
    }
}

} // namespace
} // namespace faults
