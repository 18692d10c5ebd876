#pragma once
// Previews drawn in a worker process of their own (zqpdm-preview-worker): every stored file is
// untrusted, and a reader that crashes, loops or swallows memory on one must not take the client
// with it. The worker runs under limits of memory and CPU time, each preview has a deadline, and
// the worker dies with the process that started it.
#include "PreviewMaker.h"
#include "PreviewRunner.h"

#include <QString>
#include <memory>

namespace zq::extract { class WorkerProcess; }

namespace zq::preview {

inline constexpr const char* kPreviewWorkerProgram = "zqpdm-preview-worker";
inline constexpr int kPreviewWorkerMemoryMb = 1024;
inline constexpr int kPreviewDeadlineMs = 20000;

// Where the worker program is: as installed beside the module, else beside the running program,
// else in the build tree's bin/ next to the module's lib/.
QString PreviewWorkerPath();

class PreviewWorkerMaker : public PreviewMaker {
public:
    PreviewWorkerMaker(const std::atomic<bool>* stop, QString program = PreviewWorkerPath());
    ~PreviewWorkerMaker() override;
    PreviewAnswer make(const PreviewRequest& request) override;

private:
    std::unique_ptr<extract::WorkerProcess> m_worker;
};

// A runner whose previews the worker process draws.
std::unique_ptr<PreviewRunner> MakeWorkerRunner();

} // namespace zq::preview
