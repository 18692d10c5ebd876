// pdm-seed: creates a demo ZQPDM installation (see SeedCommandLine.h).
#include "SeedCommandLine.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return zq::seed::RunSeedCommand(arguments, out, err);
}
