// The main of every test program: the widgets application first, then the tests.
#include "TestApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests) && !qEnvironmentVariableIsSet(zq::test::kNoApplicationVariable))
        zq::test::EnsureApp();
    return RUN_ALL_TESTS();
}
