#pragma once
// A DXF drawing's model space placed and drawn: every block inserted where the drawing puts it
// (blocks inside blocks too, to a depth), then everything fitted into a picture.
#include "DxfDrawing.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QTransform>

namespace zq::preview {

struct DxfSceneLimits {
    int maxDepth = 16;                    // blocks inside blocks; deeper inserts are left out
    qsizetype maxPoints = 20'000'000;     // points placed in all; the rest is left out
};

struct PlacedLabel {
    DxfLabel label;
    QTransform placement;   // the label's coordinates to the drawing's
};

struct DxfScene {
    QList<QPolygonF> paths;       // in the drawing's coordinates
    QList<PlacedLabel> labels;
    QRectF bounds;                // of everything placed; empty when nothing is
    bool cut = false;             // a limit left something out (too deep, too many points)
    bool cyclic = false;          // a block inserts itself
};

DxfScene PlaceDrawing(const DxfDrawing& drawing, const DxfSceneLimits& limits = {});

// The scene fitted into a picture of that size, y up, black on white, a small margin round it.
QImage DrawScene(const DxfScene& scene, QSize size);

} // namespace zq::preview
