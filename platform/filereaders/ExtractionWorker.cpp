#include "ExtractionWorker.h"
#include "WorkerLoop.h"

#include <QDataStream>
#include <QIODevice>

#include <new>

namespace zq::extract {

namespace {

constexpr auto kStreamVersion = QDataStream::Qt_6_4;

WorkerReply AnswerRequest(const QByteArray& request, int memoryMb)
{
    QString path;
    ExtractLimits limits;
    Extraction extraction;
    bool exhausted = false;
    if (!DecodeRequest(request, &path, &limits)) {
        extraction.error = QStringLiteral("提取请求无效");
    } else {
        LimitCpuForNextRequest(limits.timeLimitMs);
        try {
            extraction = ExtractText(path, limits);
        } catch (const std::bad_alloc&) {
            extraction = {};
            extraction.error = QStringLiteral("提取文本时内存超过 %1 MB 的上限, 已中止").arg(memoryMb);
            exhausted = true;
        }
    }
    // After running out of memory a reader may have left anything behind, and a reader left
    // running holds on to what it reads: a fresh worker follows.
    WorkerReply reply;
    reply.last = exhausted || extraction.readerLeftRunning;
    reply.exitAtOnce = extraction.readerLeftRunning;
    reply.payload = EncodeAnswer(extraction, reply.last);
    return reply;
}

WorkerProcess::Settings ProcessSettings(const ExtractionWorker::Settings& settings)
{
    return {settings.program, settings.workerOption, settings.memoryMb, settings.stop};
}

} // namespace

QByteArray EncodeRequest(const QString& path, const ExtractLimits& limits)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << path << qint64(limits.maxReadBytes) << qint64(limits.maxTextChars) << qint32(limits.timeLimitMs);
    return payload;
}

bool DecodeRequest(const QByteArray& payload, QString* path, ExtractLimits* limits)
{
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    qint64 maxRead = 0, maxText = 0;
    qint32 timeMs = 0;
    in >> *path >> maxRead >> maxText >> timeMs;
    if (in.status() != QDataStream::Ok)
        return false;
    limits->maxReadBytes = maxRead;
    limits->maxTextChars = qsizetype(maxText);
    limits->timeLimitMs = timeMs;
    return true;
}

QByteArray EncodeAnswer(const Extraction& e, bool last)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << e.ok << e.truncated << e.textless << e.text << e.note << e.error << last;
    return payload;
}

bool DecodeAnswer(const QByteArray& payload, Extraction* e, bool* last)
{
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    in >> e->ok >> e->truncated >> e->textless >> e->text >> e->note >> e->error >> *last;
    return in.status() == QDataStream::Ok && in.atEnd();
}

int RunExtractionWorker(int memoryMb)
{
    return ServeWorkerRequests(memoryMb, [memoryMb](const QByteArray& request) {
        return AnswerRequest(request, memoryMb);
    });
}

ExtractionWorker::ExtractionWorker(Settings settings)
    : m_settings(std::move(settings)), m_process(ProcessSettings(m_settings))
{
}

Extraction ExtractionWorker::extract(const QString& path)
{
    Extraction failed;
    QByteArray payload;
    if (!m_process.call(EncodeRequest(path, m_settings.limits), m_settings.deadlineMs, &payload, &failed.error))
        return failed;
    Extraction answer;
    bool last = false;
    if (!DecodeAnswer(payload, &answer, &last)) {
        failed.error = QStringLiteral("提取进程的回答无效");
        m_process.discard();
        return failed;
    }
    // A worker that ran out of memory answers once more and ends; the next file gets a new one.
    if (last)
        m_process.discard();
    return answer;
}

} // namespace zq::extract
