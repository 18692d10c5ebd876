// zqpdm-index: fills the content index of the stored files (see --help).
#include "IndexCommand.h"
#include "IndexWorker.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // The extraction worker: nothing else of the program is set up in it.
    if (argc >= 2 && std::strcmp(argv[1], zq::index::kWorkerOption) == 0)
        return zq::extract::RunExtractionWorker(argc >= 3 ? std::atoi(argv[2]) : 0);

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zqpdm-index"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return zq::index::RunIndexCommand(QCoreApplication::applicationFilePath(), arguments, out, err,
                                      isatty(STDERR_FILENO) == 1);
}
