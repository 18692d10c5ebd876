// bench_preview: the preview pane, each figure beside a raw baseline measured in the same run, as
// one table (the layout of bench_scale's). Exit 1 when a figure misses its target, 2 on a usage
// error.
//
//   bench_preview [--smoke] [--repeats N]
//
//   --smoke      one run each; targets not checked
//   --repeats N  runs per figure, the median counts (default 5)
//
// Figures: the first preview of the demo's one-page PDF, from the row's selection to the picture in
// the pane, a new worker process started for it and nothing cached (target 300 ms), against
// drawing the page in this process; the same preview again, from the cache (target 50 ms); a DXF of
// 10,000 entities (lines, arcs, circles, polylines, texts and inserts of a block) read, placed and
// drawn (target 500 ms), against the index's reading of its text.
#include "BenchTable.h"
#include "Cases.h"
#include "DemoData.h"
#include "DxfScene.h"
#include "PreviewController.h"
#include "PreviewPane.h"
#include "PreviewRender.h"
#include "PreviewWorkerMaker.h"
#include "TextExtraction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace zq::bench;
using namespace zq::preview;

namespace {

constexpr double kFirstPreviewMs = 300;
constexpr double kCachedPreviewMs = 50;
constexpr double kDrawingMs = 500;

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

// A drawing of about `entities` entities: a block of a bolt hole inserted, and lines, arcs,
// circles, polylines and texts of the model.
QByteArray LargeDxf(int entities)
{
    QByteArray dxf = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nHOLE\n10\n0\n20\n0\n0\nCIRCLE\n10\n0\n20\n0\n40\n2\n"
                     "0\nLINE\n10\n-3\n20\n0\n11\n3\n21\n0\n0\nENDBLK\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < entities; ++i) {
        const QByteArray x = QByteArray::number((i % 100) * 10);
        const QByteArray y = QByteArray::number((i / 100) * 10);
        switch (i % 6) {
        case 0: dxf += "0\nLINE\n10\n" + x + "\n20\n" + y + "\n11\n" + x + "5\n21\n" + y + "5\n"; break;
        case 1: dxf += "0\nARC\n10\n" + x + "\n20\n" + y + "\n40\n4\n50\n0\n51\n270\n"; break;
        case 2: dxf += "0\nCIRCLE\n10\n" + x + "\n20\n" + y + "\n40\n3\n"; break;
        case 3: dxf += "0\nLWPOLYLINE\n90\n3\n70\n1\n10\n" + x + "\n20\n" + y + "\n10\n" + x + "8\n20\n" + y +
                       "\n42\n0.4\n10\n" + x + "\n20\n" + y + "8\n"; break;
        case 4: dxf += "0\nTEXT\n10\n" + x + "\n20\n" + y + "\n40\n2\n1\n零件" + x + "\n"; break;
        default: dxf += "0\nINSERT\n2\nHOLE\n10\n" + x + "\n20\n" + y + "\n"; break;
        }
    }
    return dxf + "0\nENDSEC\n0\nEOF\n";
}

// Milliseconds from showing the subject to the pane's picture; negative when none came.
double PreviewMs(PreviewController& controller, const PreviewPane& pane, const zq::PreviewSubject& subject)
{
    QEventLoop wait;
    QObject::connect(&controller, &PreviewController::shown, &wait, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    controller.show(subject);
    if (controller.busy())
        wait.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    return pane.picture().isNull() ? -1 : ms;
}

void PreviewFigures(const QTemporaryDir& dir, int repeats, BenchTable& table)
{
    const QString pdf = WriteFile(dir, QStringLiteral("ZQ8700技术条件.pdf"),
                                  zq::seed::DemoFileContent(QStringLiteral("ZQ8700技术条件.pdf"), QStringLiteral("齿轮泵技术条件")));
    zq::PreviewSubject subject;
    subject.title = QStringLiteral("ZQ8700技术条件.pdf");
    subject.fetch = [pdf] { return zq::PreviewFetch{pdf, QString()}; };
    QList<double> first, cached, raw;
    for (int run = 0; run < repeats; ++run) {
        // Each run from nothing: an empty cache, a worker to start.
        const QString cacheFolder = dir.filePath(QStringLiteral("cache-%1").arg(run));
        subject.identity = {QStringLiteral("设计文档"), QString::number(run)};
        PreviewPane pane;
        PreviewController controller(pane, MakeWorkerRunner(), PreviewCache(cacheFolder));
        controller.setSettleTime(0);
        first.append(PreviewMs(controller, pane, subject));
        controller.clear();
        cached.append(PreviewMs(controller, pane, subject));
        QElapsedTimer clock;
        clock.start();
        const PreviewAnswer answer = RenderPreview({pdf, PreviewController::kPictureBox, 0});
        raw.append(answer.kind == PreviewAnswer::Kind::Picture ? double(clock.nsecsElapsed()) / 1e6 : -1);
    }
    const double rawMs = Median(raw);
    Figure figure{QStringLiteral("first preview, one-page PDF, selection to picture (raw: drawn here)"), 1,
                  Median(first), rawMs, QStringLiteral("ms"), Limit::Ours, kFirstPreviewMs};
    figure.failed = figure.ours < 0;
    table.add(figure);
    Figure again{QStringLiteral("the same preview again, from the cache (raw: drawn here)"), 1, Median(cached), rawMs,
                 QStringLiteral("ms"), Limit::Ours, kCachedPreviewMs};
    again.failed = again.ours < 0;
    table.add(again);
}

void DrawingFigure(const QTemporaryDir& dir, int repeats, BenchTable& table)
{
    constexpr int kEntities = 10000;
    const QByteArray dxf = LargeDxf(kEntities);
    const QString path = WriteFile(dir, QStringLiteral("large.dxf"), dxf);
    QList<double> ours, raw;
    for (int run = 0; run < repeats; ++run) {
        QElapsedTimer clock;
        clock.start();
        const DxfScene scene = PlaceDrawing(ReadDxfDrawing(dxf));
        const QImage picture = DrawScene(scene, PreviewController::kPictureBox);
        ours.append(picture.isNull() || scene.paths.isEmpty() ? -1 : double(clock.nsecsElapsed()) / 1e6);
        clock.restart();
        const zq::extract::Extraction text = zq::extract::ExtractText(path);
        raw.append(text.ok ? double(clock.nsecsElapsed()) / 1e6 : -1);
    }
    Figure figure{QStringLiteral("DXF of 10,000 entities read, placed, drawn (raw: its text read)"), kEntities,
                  Median(ours), Median(raw), QStringLiteral("ms"), Limit::Ours, kDrawingMs};
    figure.failed = figure.ours < 0;
    table.add(figure);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool smoke = false;
    int repeats = 5;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--smoke") {
            smoke = true;
        } else if (args[i] == u"--repeats" && i + 1 < args.size() && args[i + 1].toInt() >= 1) {
            repeats = args[++i].toInt();
        } else {
            std::fprintf(stderr, "bench_preview: %s\nusage: bench_preview [--smoke] [--repeats N]\n",
                         qPrintable(QStringLiteral("unknown argument ") + args[i]));
            return 2;
        }
    }
    if (smoke)
        repeats = 1;
    QTemporaryDir dir;
    BenchTable table;
    PreviewFigures(dir, repeats, table);
    DrawingFigure(dir, repeats, table);
    const bool checkTargets = !smoke;
    std::printf("%s", qPrintable(table.text(checkTargets)));
    std::printf("(preview pane; %s; medians of %d runs; %d cores)\n", smoke ? "smoke run, targets not checked" : "demo files",
                repeats, QThread::idealThreadCount());
    return table.allMet(checkTargets) ? 0 : 1;
}
