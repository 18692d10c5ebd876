#include "DesktopOpener.h"
#include "Desktop.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace zq {

namespace {

constexpr int kQueryMilliseconds = 3000;

} // namespace

bool DesktopCanOpen(const QString& path)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (mime.isEmpty())
        return true;
    QProcess query;
    query.start(mime, {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(path).name()});
    if (!query.waitForFinished(kQueryMilliseconds)) {
        query.kill();
        query.waitForFinished();
        return true;   // no answer: leave it to the launcher
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

bool OpenFileOrSayWhere(const QString& path)
{
    Desktop& desktop = Desktop::current();
    if (desktop.shellOpen(path))
        return true;
    desktop.messageBox(QStringLiteral("没有找到能打开此文件的程序。文件在:\n%1\n可以用其他程序打开它。").arg(path),
                       QStringLiteral("操作提示"), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

} // namespace zq
