#include "RuntimeFolderWarning.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace zq::console {

namespace {

QtMessageHandler g_previous = nullptr;

void FilterRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (g_previous) {
        g_previous(type, context, message);
        return;
    }
    const QByteArray line = qFormatLogMessage(type, context, message).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void DropRuntimeFolderWarning()
{
    const QtMessageHandler previous = qInstallMessageHandler(FilterRuntimeFolderWarning);
    if (previous != FilterRuntimeFolderWarning)
        g_previous = previous;
}

} // namespace zq::console
