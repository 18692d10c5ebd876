#pragma once
// Previews drawn in a worker process of their own (zqpdm-preview-worker): every stored file is
// untrusted, and a reader that crashes, loops or swallows memory on one must not take the client
// with it. The worker runs under limits of memory and CPU time, each preview has a deadline, and
// the worker dies with the process that started it.
#include "PreviewMaker.h"
#include "PreviewRunner.h"

#include <QString>
#include <memory>

namespace zq::preview {

inline constexpr const char* kPreviewWorkerProgram = "zqpdm-preview-worker";

// Where the worker program is: beside the module as installed, or in the build tree.
QString PreviewWorkerPath();

class PreviewWorkerMaker : public PreviewMaker {
public:
    explicit PreviewWorkerMaker(QString program = PreviewWorkerPath());
    ~PreviewWorkerMaker() override;
    PreviewAnswer make(const PreviewRequest& request, const std::atomic<bool>& stop) override;

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
};

// A runner whose previews the worker process draws.
std::unique_ptr<PreviewRunner> MakeWorkerRunner();

} // namespace zq::preview
