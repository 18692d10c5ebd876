#include "PreviewWorkerMaker.h"

namespace zq::preview {

QString PreviewWorkerPath() { return {}; }
struct PreviewWorkerMaker::Worker {};
PreviewWorkerMaker::PreviewWorkerMaker(QString) {}
PreviewWorkerMaker::~PreviewWorkerMaker() = default;
PreviewAnswer PreviewWorkerMaker::make(const PreviewRequest&, const std::atomic<bool>&) { return {}; }
std::unique_ptr<PreviewRunner> MakeWorkerRunner()
{
    return std::make_unique<PreviewRunner>([] { return std::make_unique<PreviewWorkerMaker>(); });
}

} // namespace zq::preview
