#include "PreviewWorkerMaker.h"
#include "WorkerProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

namespace zq::preview {

namespace {

// The folder of the library this code is in.
QString ModuleFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&PreviewWorkerPath), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

} // namespace

QString PreviewWorkerPath()
{
    const QString name = QString::fromLatin1(kPreviewWorkerProgram);
    const QString module = ModuleFolder();
    QStringList candidates;
    if (!module.isEmpty())
        candidates << module + QStringLiteral("/" ZQ_LIB_TO_PREVIEW_WORKER "/") + name
                   << module + QStringLiteral("/../bin/") + name;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() + u'/' + name;
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    return name;
}

PreviewWorkerMaker::PreviewWorkerMaker(const std::atomic<bool>* stop, QString program)
    : m_worker(std::make_unique<extract::WorkerProcess>(extract::WorkerProcess::Settings{
          std::move(program), QStringLiteral("--preview-worker"), kPreviewWorkerMemoryMb, stop, QStringLiteral("预览")}))
{
}

PreviewWorkerMaker::~PreviewWorkerMaker() = default;

PreviewAnswer PreviewWorkerMaker::make(const PreviewRequest& request)
{
    QByteArray payload;
    QString error;
    PreviewAnswer answer;
    if (!m_worker->call(EncodeRequest(request), kPreviewDeadlineMs, &payload, &error)) {
        answer.reason = error;
        return answer;
    }
    if (!DecodeAnswer(payload, &answer)) {
        m_worker->discard();
        answer = {};
        answer.reason = QStringLiteral("预览进程的回答无效");
    }
    return answer;
}

std::unique_ptr<PreviewRunner> MakeWorkerRunner()
{
    return std::make_unique<PreviewRunner>(
        [](const std::atomic<bool>& stop) { return std::make_unique<PreviewWorkerMaker>(&stop); });
}

} // namespace zq::preview
