#pragma once
// zqpdm-index is its own extraction worker: started again as `zqpdm-index --extract-worker MB`,
// nothing else of the program is set up in it (main()).
#include "ExtractionWorker.h"

namespace zq::index {

inline constexpr const char* kWorkerOption = "--extract-worker";

// The worker settings of the indexer at program (this program's path); the limits are the caller's.
inline extract::ExtractionWorker::Settings IndexWorkerSettings(const QString& program)
{
    extract::ExtractionWorker::Settings settings;
    settings.program = program;
    settings.workerOption = QString::fromLatin1(kWorkerOption);
    return settings;
}

} // namespace zq::index
