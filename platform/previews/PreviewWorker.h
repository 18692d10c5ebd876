#pragma once
// The preview worker's side: requests (PreviewRequest) answered with previews (PreviewAnswer),
// under the worker's limits, until its parent closes standard input.
#include <QByteArray>

namespace zq::preview {

// The option that makes zqpdm-preview-worker serve (`--preview-worker MEMORY_MB`).
inline constexpr const char* kPreviewWorkerOption = "--preview-worker";
// The CPU time one preview may take in the worker.
inline constexpr int kPreviewCpuMs = 20000;

// One request's answer: the encoded PreviewAnswer (a request that cannot be read gets a Failed one).
QByteArray AnswerPreviewRequest(const QByteArray& request, bool* exhausted);

int RunPreviewWorker(int memoryMb);

} // namespace zq::preview
