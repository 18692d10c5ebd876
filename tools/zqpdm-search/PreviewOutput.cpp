#include "PreviewOutput.h"
#include "PreviewController.h"
#include "PreviewPane.h"
#include "PreviewWorkerMaker.h"
#include "ZQSearchPage.h"

#include <QEventLoop>
#include <QImage>
#include <QSaveFile>

namespace zq::tool {

namespace {

QString SavePng(const QImage& picture, const QString& file)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") || !out.commit())
        return QStringLiteral("不能写入文件 %1: %2").arg(file, out.errorString());
    return QString();
}

} // namespace

QString WritePreview(CZQSearchPage& page, int row, const QString& file, QSize size)
{
    preview::PreviewPane pane;
    pane.resize(size);
    preview::PreviewController controller(pane, preview::MakeWorkerRunner(), preview::PreviewCache());
    controller.setSettleTime(0);
    controller.setPictureBox(size);
    QEventLoop wait;
    QObject::connect(&controller, &preview::PreviewController::shown, &wait, &QEventLoop::quit);
    controller.show(page.PreviewOf(row));
    if (controller.busy())
        wait.exec();
    if (controller.lastFailed())
        return controller.lastFailure();
    // A page, an image or a drawing is written as drawn; a text or a list of fields as the pane shows it.
    if (!pane.picture().isNull())
        return SavePng(pane.picture(), file);
    pane.ensurePolished();
    return SavePng(pane.grab().toImage(), file);
}

} // namespace zq::tool
