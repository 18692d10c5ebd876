// The main of every test program: the widgets application first, then the tests.
#include "RuntimeFolderWarning.h"
#include "TestApplication.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Each test starts with a user configuration and cache of its own, empty: what one test's window
// remembered (its place, its column widths, recent searches, previews) never shapes the next one's.
class FreshUserConfigPerTest : public testing::EmptyTestEventListener {
public:
    explicit FreshUserConfigPerTest(QString base) : m_base(std::move(base)) {}
    void OnTestStart(const testing::TestInfo&) override
    {
        const QString folder = m_base + QStringLiteral("/%1").arg(++m_tests);
        QDir().mkpath(folder);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder + QStringLiteral("/cache")));
    }

private:
    QString m_base;
    int m_tests = 0;
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    zq::console::DropRuntimeFolderWarning();
    // The user's own settings (saved searches, the window's place) go to a folder of this run, not
    // the tester's.
    QTemporaryDir config;
    if (!qEnvironmentVariableIsSet("ZQ_TEST_KEEP_CONFIG")) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(config.path() + QStringLiteral("/cache")));
        testing::UnitTest::GetInstance()->listeners().Append(new FreshUserConfigPerTest(config.path()));
    }
    if (!GTEST_FLAG_GET(list_tests) && !qEnvironmentVariableIsSet(zq::test::kNoApplicationVariable))
        zq::test::EnsureApp();
    return RUN_ALL_TESTS();
}
