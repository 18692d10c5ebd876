#include "TestApplication.h"

namespace zq::test {

void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zq-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    Q_UNUSED(app);
}

QApplication& TestApp()
{
    EnsureApp();
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

} // namespace zq::test
