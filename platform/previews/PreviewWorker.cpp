#include "PreviewWorker.h"
#include "PreviewRender.h"
#include "WorkerLoop.h"

#include <new>

namespace zq::preview {

QByteArray AnswerPreviewRequest(const QByteArray& payload, bool* exhausted)
{
    PreviewRequest request;
    PreviewAnswer answer;
    *exhausted = false;
    if (!DecodeRequest(payload, &request)) {
        answer.reason = QStringLiteral("预览请求无效");
        return EncodeAnswer(answer);
    }
    extract::LimitCpuForNextRequest(kPreviewCpuMs);
    try {
        answer = RenderPreview(request);
    } catch (const std::bad_alloc&) {
        answer = {};
        answer.reason = QStringLiteral("生成预览时内存超过上限, 已中止");
        *exhausted = true;
    }
    return EncodeAnswer(answer);
}

int RunPreviewWorker(int memoryMb)
{
    return extract::ServeWorkerRequests(memoryMb, [](const QByteArray& request) {
        extract::WorkerReply reply;
        bool exhausted = false;
        reply.payload = AnswerPreviewRequest(request, &exhausted);
        // After running out of memory anything may be left half made: a fresh worker follows.
        reply.last = exhausted;
        return reply;
    });
}

} // namespace zq::preview
