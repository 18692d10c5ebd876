#include "DxfScene.h"

#include <QFont>
#include <QPainter>
#include <QSet>

#include <cmath>
#include <numbers>

namespace zq::preview {

namespace {

constexpr double kMarginShare = 0.04;
// Letters smaller than this are drawn as nothing, larger ones would only be a blot.
constexpr double kSmallestLetterPx = 2;
constexpr double kLargestLetterPx = 2000;

// An insert of a block into its container: the block's base point goes to the insert's point,
// scaled and turned there.
QTransform InsertTransform(const DxfInsert& insert, QPointF base)
{
    QTransform t = QTransform::fromTranslate(-base.x(), -base.y());
    t *= QTransform::fromScale(insert.scaleX, insert.scaleY);
    t *= QTransform().rotate(insert.rotation);
    t *= QTransform::fromTranslate(insert.at.x(), insert.at.y());
    return t;
}

// About where a label's letters lie, in the drawing's coordinates of the label: a letter is taken
// as wide as it is high (Chinese ones are), lines one and a half heights apart.
QPolygonF LabelOutline(const DxfLabel& label)
{
    const QStringList lines = label.text.split(u'\n');
    qsizetype longest = 0;
    for (const QString& line : lines)
        longest = std::max(longest, line.size());
    const double h = label.height;
    const double width = double(longest) * h;
    const double below = h * 1.5 * double(lines.size() - 1);
    const double left = label.horizontal == 1 ? -width / 2 : label.horizontal == 2 ? -width : 0;
    // From the point to the first line's base line, as drawn (y up here).
    const double base = label.vertical == 3 ? -h : label.vertical == 2 ? -h / 2 + below / 2 : label.vertical == 1 ? below : 0;
    const QRectF box(left, base - below, width, below + h);
    const QTransform turn = QTransform().rotate(label.rotation) * QTransform::fromTranslate(label.at.x(), label.at.y());
    return turn.map(QPolygonF(box));
}

class ScenePlacer {
public:
    ScenePlacer(const DxfDrawing& drawing, const DxfSceneLimits& limits, DxfScene& scene)
        : m_drawing(drawing), m_limits(limits), m_scene(scene) {}

    void place(const DxfEntities& entities, const QTransform& transform, int depth)
    {
        for (const QPolygonF& path : entities.paths) {
            if (!spend(path.size()))
                return;
            QPolygonF placed = transform.map(path);
            m_scene.bounds |= placed.boundingRect();
            m_scene.paths.append(std::move(placed));
        }
        for (const DxfLabel& label : entities.labels) {
            if (!spend(1))
                return;
            m_scene.bounds |= transform.map(LabelOutline(label)).boundingRect();
            m_scene.labels.append({label, transform});
        }
        for (const DxfInsert& insert : entities.inserts) {
            const auto block = m_drawing.blocks.constFind(insert.block);
            if (block == m_drawing.blocks.constEnd())
                continue;
            if (m_open.contains(insert.block)) {
                m_scene.cyclic = true;
                continue;
            }
            if (depth >= m_limits.maxDepth) {
                m_scene.cut = true;
                continue;
            }
            m_open.insert(insert.block);
            place(block->entities, InsertTransform(insert, block->base) * transform, depth + 1);
            m_open.remove(insert.block);
            if (m_scene.cut && m_points > m_limits.maxPoints)
                return;
        }
    }

private:
    bool spend(qsizetype points)
    {
        m_points += points;
        if (m_points <= m_limits.maxPoints)
            return true;
        m_scene.cut = true;
        return false;
    }

    const DxfDrawing& m_drawing;
    DxfSceneLimits m_limits;
    DxfScene& m_scene;
    QSet<QString> m_open;   // the blocks being placed, outermost first
    qsizetype m_points = 0;
};

// The drawing's coordinates to the picture's: fitted, centred, y turned up.
QTransform FitTransform(const QRectF& bounds, QSize size)
{
    const double margin = std::min(size.width(), size.height()) * kMarginShare;
    const double width = std::max(1.0, size.width() - 2 * margin);
    const double height = std::max(1.0, size.height() - 2 * margin);
    const double bw = std::max(bounds.width(), 1e-9);
    const double bh = std::max(bounds.height(), 1e-9);
    double scale = std::min(width / bw, height / bh);
    if (bounds.width() <= 1e-9 && bounds.height() <= 1e-9)
        scale = 1;
    const QPointF centre = bounds.center();
    QTransform t = QTransform::fromTranslate(-centre.x(), -centre.y());
    t *= QTransform::fromScale(scale, -scale);
    t *= QTransform::fromTranslate(size.width() / 2.0, size.height() / 2.0);
    return t;
}

void DrawLabel(QPainter& painter, const PlacedLabel& placed, const QTransform& view)
{
    const DxfLabel& label = placed.label;
    const QTransform toPicture = placed.placement * view;
    const double radians = label.rotation * std::numbers::pi / 180;
    const QPointF at = toPicture.map(label.at);
    const QPointF along = toPicture.map(label.at + QPointF(std::cos(radians), std::sin(radians))) - at;
    const QPointF up = toPicture.map(label.at + QPointF(-std::sin(radians), std::cos(radians))) - at;
    const double pixels = label.height * std::hypot(up.x(), up.y());
    if (!std::isfinite(pixels) || pixels < kSmallestLetterPx || pixels > kLargestLetterPx)
        return;
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    painter.save();
    painter.setFont(font);
    painter.translate(at);
    painter.rotate(std::atan2(along.y(), along.x()) * 180 / std::numbers::pi);
    const QStringList lines = label.text.split(u'\n');
    const QFontMetricsF metrics(font);
    const double lineStep = pixels * 1.5;
    const double block = lineStep * (lines.size() - 1);
    // From the point to the first line's base line, as the vertical alignment says.
    double top = 0;
    switch (label.vertical) {
    case 1: top = -block - metrics.descent(); break;
    case 2: top = pixels / 2 - block / 2; break;
    case 3: top = pixels; break;
    default: break;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double width = metrics.horizontalAdvance(lines[i]);
        const double x = label.horizontal == 1 ? -width / 2 : label.horizontal == 2 ? -width : 0;
        painter.drawText(QPointF(x, top + lineStep * double(i)), lines[i]);
    }
    painter.restore();
}

} // namespace

DxfScene PlaceDrawing(const DxfDrawing& drawing, const DxfSceneLimits& limits)
{
    DxfScene scene;
    ScenePlacer(drawing, limits, scene).place(drawing.model, QTransform(), 0);
    return scene;
}

QImage DrawScene(const DxfScene& scene, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (scene.bounds.isNull() && scene.paths.isEmpty() && scene.labels.isEmpty())
        return picture;
    const QTransform view = FitTransform(scene.bounds, size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 20, 20), 1.0));
    for (const QPolygonF& path : scene.paths)
        painter.drawPolyline(view.map(path));
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PlacedLabel& label : scene.labels)
        DrawLabel(painter, label, view);
    return picture;
}

} // namespace zq::preview
