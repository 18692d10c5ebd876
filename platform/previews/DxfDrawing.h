#pragma once
// A DXF drawing as lines and texts: what the preview draws of a drawing's model space. The reader
// keeps each entity in its own coordinates and the blocks by name; DxfScene (DxfScene.h) places
// the blocks' entities where the drawing inserts them.
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QString>

namespace zq::preview {

struct DxfLabel {
    QPointF at;               // the text's base point
    double height = 0;        // the letters' height in drawing units
    double rotation = 0;      // degrees, counter-clockwise
    int horizontal = 0;       // 0 left, 1 centre, 2 right of the point
    int vertical = 0;         // 0 base line, 1 bottom, 2 middle, 3 top at the point
    QString text;             // format codes removed; lines separated by '\n'
};

struct DxfInsert {
    QString block;
    QPointF at;
    double scaleX = 1;
    double scaleY = 1;
    double rotation = 0;      // degrees
};

// Entities as read: arcs, circles, ellipses and splines already made polylines.
struct DxfEntities {
    QList<QPolygonF> paths;
    QList<DxfLabel> labels;
    QList<DxfInsert> inserts;
    qsizetype size() const { return paths.size() + labels.size() + inserts.size(); }
};

struct DxfBlock {
    QPointF base;
    DxfEntities entities;
};

struct DxfDrawing {
    DxfEntities model;                // the ENTITIES section, paper space left out
    QHash<QString, DxfBlock> blocks;  // by name, as INSERT names them
    QString error;                    // not a drawing that can be read (binary DXF, no group codes)
    QString damage;                   // where reading stopped early; what came before is kept
    bool cut = false;                 // more entities than kept
};

struct DxfReadLimits {
    qsizetype maxEntities = 2'000'000;   // entities kept, model space and blocks together
    qsizetype maxPoints = 20'000'000;    // polyline points kept
};

DxfDrawing ReadDxfDrawing(QByteArrayView bytes, const DxfReadLimits& limits = {});

// The polyline of a circle's arc from start to end degrees (counter-clockwise), a point every few
// degrees; a full circle when the angles are equal.
QPolygonF ArcPoints(QPointF centre, double radius, double startDeg, double endDeg);
// The polyline of a B-spline: evaluated from its control points and knots when they agree, else
// through its fit points, else along its control points.
QPolygonF SplinePoints(int degree, const QList<QPointF>& controls, const QList<double>& knots, const QList<QPointF>& fits);

} // namespace zq::preview
