// pdm-seed: creates a demo ZQPDM installation (see SeedCommandLine.h).
#include "RuntimeFolderWarning.h"
#include "SeedCommandLine.h"
#include "StandardOutputCheck.h"
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    // The demo's PDF files are drawn with Qt's fonts, which need a GUI application; pdm-seed shows
    // no window, so it never needs a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zq::console::DropRuntimeFolderWarning();
    QGuiApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = zq::seed::RunSeedCommand(arguments, out, err, isatty(STDERR_FILENO) == 1);
    return zq::console::FinishStandardOutput(status, "pdm-seed", out);
}
