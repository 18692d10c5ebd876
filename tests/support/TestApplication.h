#pragma once
// The one widgets application of a test program. The test main makes it before the first test;
// EnsureApp() makes it for code that runs earlier or in a program of its own.
#include <QApplication>

namespace zq::test {

// A QApplication (offscreen unless QT_QPA_PLATFORM says otherwise), made once per process and
// never destroyed: among static objects it would outlive Qt's own.
void EnsureApp();
QApplication& TestApp();

// Set in the environment of a test process that must run without any application (a console
// tool's behaviour); the test main then makes none.
inline constexpr char kNoApplicationVariable[] = "ZQ_TEST_NO_APPLICATION";

} // namespace zq::test
