// The main of every test program: the widgets application first, then the tests.
#include "TestApplication.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The user's own settings (saved searches) go to a folder of this run, not the tester's.
    QTemporaryDir config;
    if (!qEnvironmentVariableIsSet("ZQ_TEST_KEEP_CONFIG"))
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (!GTEST_FLAG_GET(list_tests) && !qEnvironmentVariableIsSet(zq::test::kNoApplicationVariable))
        zq::test::EnsureApp();
    return RUN_ALL_TESTS();
}
