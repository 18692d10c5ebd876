// zqpdm-preview-worker: draws the previews of stored files for the search window and the command
// line, which start it (`zqpdm-preview-worker --preview-worker MEMORY_MB`) and talk to it on its
// standard input and output. Not a program for users.
#include "PreviewWorker.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], zq::preview::kPreviewWorkerOption) != 0) {
        std::fprintf(stderr, "zqpdm-preview-worker: started by the ZQPDM search module, not by hand\n");
        return 2;
    }
    // Pictures and fonts without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return zq::preview::RunPreviewWorker(std::atoi(argv[2]));
}
