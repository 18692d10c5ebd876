#pragma once
// One QApplication per test binary, created before the first test and destroyed after the last
// (a function-static application would be destroyed too late, after Qt's own globals).
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace zqtest {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "uikit_test";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }
private:
    std::unique_ptr<QApplication> m_app;
};

// gtest owns the environment.
inline ::testing::Environment* const g_application = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace zqtest
