// pdm-seed: creates a demo ZQPDM installation (see SeedCommandLine.h).
#include "SeedCommandLine.h"
#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return zq::seed::RunSeedCommand(arguments, out, err, isatty(STDERR_FILENO) == 1);
}
