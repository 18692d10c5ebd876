#include "DxfDrawing.h"
#include "DxfPairs.h"
#include "DxfText.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace zq::preview {

namespace {

using extract::DxfPairReader;
using extract::DxfValueDecoder;

// Beyond this a coordinate is damage, not a drawing: it would only push everything else into a dot.
constexpr double kFarthest = 1e12;
constexpr double kDegreesPerPoint = 5;
constexpr int kMostSplinePoints = 2000;

double Number(QByteArrayView value)
{
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    return ok && std::isfinite(number) && std::abs(number) < kFarthest ? number : 0;
}

int Integer(QByteArrayView value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    return ok ? number : 0;
}

QPointF ArcPoint(QPointF centre, double radius, double radians)
{
    return centre + QPointF(radius * std::cos(radians), radius * std::sin(radians));
}

// The points between two polyline vertices that a bulge makes an arc of (the end excluded).
void AppendBulge(QPolygonF& path, QPointF from, QPointF to, double bulge)
{
    path.append(from);
    if (std::abs(bulge) < 1e-9 || from == to || !std::isfinite(bulge))
        return;
    const double included = 4 * std::atan(bulge);
    const double chord = QLineF(from, to).length();
    const double radius = chord / (2 * std::sin(std::abs(included) / 2));
    const QPointF middle = (from + to) / 2;
    const QPointF along = (to - from) / chord;
    const QPointF left(-along.y(), along.x());
    // The centre lies left of the chord for a counter-clockwise bulge whose arc is under a half turn.
    const double offset = std::sqrt(std::max(0.0, radius * radius - chord * chord / 4));
    const double side = (bulge > 0) == (std::abs(included) < std::numbers::pi) ? 1 : -1;
    const QPointF centre = middle + left * (side * offset);
    const double start = std::atan2(from.y() - centre.y(), from.x() - centre.x());
    const int steps = std::max(2, int(std::ceil(std::abs(included) * 180 / std::numbers::pi / kDegreesPerPoint)));
    for (int i = 1; i < steps; ++i)
        path.append(ArcPoint(centre, radius, start + included * i / steps));
}

// One entity's pairs, kept until the next entity starts.
class EntityPairs {
public:
    void start(QByteArrayView type) { m_type = type.trimmed(); m_pairs.clear(); }
    void add(int code, QByteArrayView value) { m_pairs.emplace_back(code, value); }
    QByteArrayView type() const { return m_type; }

    QByteArrayView value(int code) const
    {
        for (const auto& [c, v] : m_pairs)
            if (c == code)
                return v;
        return {};
    }
    double number(int code, double otherwise = 0) const
    {
        const QByteArrayView v = value(code);
        return v.isNull() ? otherwise : Number(v);
    }
    int integer(int code) const { return Integer(value(code)); }
    QPointF point(int xCode) const { return {number(xCode), number(xCode + 10)}; }
    // An entity drawn in its own coordinate system seen from below is drawn mirrored.
    bool mirrored() const { return number(230, 1) < 0; }
    bool inPaperSpace() const { return integer(67) == 1; }

    // Every point of the codes xCode/xCode+10 in order, with the bulge (42) after each.
    void points(int xCode, QList<QPointF>& points, QList<double>* bulges = nullptr) const
    {
        for (const auto& [c, v] : m_pairs) {
            if (c == xCode) {
                points.append(QPointF(Number(v), 0));
                if (bulges)
                    bulges->append(0);
            } else if (c == xCode + 10 && !points.isEmpty()) {
                points.last().setY(Number(v));
            } else if (c == 42 && bulges && !bulges->isEmpty()) {
                bulges->last() = Number(v);
            }
        }
    }
    QList<double> numbers(int code) const
    {
        QList<double> all;
        for (const auto& [c, v] : m_pairs)
            if (c == code)
                all.append(Number(v));
        return all;
    }
    QByteArray joined(int pieceCode, int finalCode) const
    {
        QByteArray text;
        for (const auto& [c, v] : m_pairs)
            if (c == pieceCode)
                text += v;
        return text + value(finalCode).toByteArray();
    }

private:
    QByteArrayView m_type;
    std::vector<std::pair<int, QByteArrayView>> m_pairs;
};

QPointF Mirror(QPointF p) { return {-p.x(), p.y()}; }

// Turns the entities read into the drawing's paths, labels and inserts, each into the container
// (model space or a block) it belongs to.
class DrawingBuilder {
public:
    DrawingBuilder(DxfDrawing& drawing, const DxfReadLimits& limits) : m_drawing(drawing), m_limits(limits) {}

    DxfValueDecoder& decoder() { return m_decoder; }
    bool full() const { return m_drawing.cut; }

    void beginBlock(const EntityPairs& block)
    {
        const QString name = m_decoder.decode(block.value(2).trimmed());
        m_block = &m_drawing.blocks[name];
        m_block->base = block.point(10);
        m_block->entities = {};
    }
    void endBlock() { m_block = nullptr; }

    // A POLYLINE's vertices come as entities of their own until SEQEND.
    void beginPolyline(const EntityPairs& polyline)
    {
        m_polyline.emplace();
        m_polylineClosed = polyline.integer(70) & 1;
        m_polylineSkipped = polyline.inPaperSpace() || (polyline.integer(70) & (16 | 64));
        m_polylineBulges.clear();
    }
    bool inPolyline() const { return m_polyline.has_value(); }
    void addVertex(const EntityPairs& vertex)
    {
        if (vertex.integer(70) & 128)
            return;   // a face of a mesh, not a point
        m_polyline->append(vertex.point(10));
        m_polylineBulges.append(vertex.number(42));
    }
    void endPolyline()
    {
        if (!m_polylineSkipped)
            addPath(WithBulges(*m_polyline, m_polylineBulges, m_polylineClosed));
        m_polyline.reset();
    }

    void add(const EntityPairs& e)
    {
        if (e.inPaperSpace() && !m_block)
            return;
        const QByteArrayView type = e.type();
        if (type == "LINE")
            addPath(QPolygonF{e.point(10), e.point(11)});
        else if (type == "LWPOLYLINE")
            addLightPolyline(e);
        else if (type == "CIRCLE")
            addArc(e, 0, 360);
        else if (type == "ARC")
            addArc(e, e.number(50), e.number(51));
        else if (type == "ELLIPSE")
            addEllipse(e);
        else if (type == "SPLINE")
            addSpline(e);
        else if (type == "TEXT" || type == "ATTRIB")
            addText(e);
        else if (type == "MTEXT")
            addMText(e);
        else if (type == "INSERT")
            addInsert(e);
    }

private:
    DxfEntities& target() { return m_block ? m_block->entities : m_drawing.model; }

    bool spend(qsizetype points)
    {
        if (m_drawing.cut)
            return false;
        m_points += points;
        if (++m_entities > m_limits.maxEntities || m_points > m_limits.maxPoints) {
            m_drawing.cut = true;
            return false;
        }
        return true;
    }

    void addPath(QPolygonF path)
    {
        if (path.size() >= 2 && spend(path.size()))
            target().paths.append(std::move(path));
    }

    static QPolygonF WithBulges(const QList<QPointF>& points, const QList<double>& bulges, bool closed)
    {
        QPolygonF path;
        for (qsizetype i = 0; i + 1 < points.size(); ++i)
            AppendBulge(path, points[i], points[i + 1], bulges.value(i));
        if (closed && points.size() > 2)
            AppendBulge(path, points.last(), points.first(), bulges.value(points.size() - 1));
        path.append(closed && points.size() > 2 ? points.first() : points.value(points.size() - 1));
        return points.size() >= 2 ? path : QPolygonF();
    }

    void addLightPolyline(const EntityPairs& e)
    {
        QList<QPointF> points;
        QList<double> bulges;
        e.points(10, points, &bulges);
        if (e.mirrored())
            for (QPointF& p : points)
                p = Mirror(p);
        if (e.mirrored())
            for (double& b : bulges)
                b = -b;
        addPath(WithBulges(points, bulges, e.integer(70) & 1));
    }

    void addArc(const EntityPairs& e, double start, double end)
    {
        QPointF centre = e.point(10);
        if (e.mirrored()) {
            centre = Mirror(centre);
            start = 180 - start;
            end = 180 - end;
            std::swap(start, end);
        }
        addPath(ArcPoints(centre, std::abs(e.number(40)), start, end));
    }

    void addEllipse(const EntityPairs& e)
    {
        const QPointF centre = e.point(10);
        const QPointF major = e.point(11);
        const QPointF minor = QPointF(-major.y(), major.x()) * e.number(40, 1);
        double start = e.number(41, 0);
        double end = e.number(42, 2 * std::numbers::pi);
        while (end <= start)
            end += 2 * std::numbers::pi;
        end = std::min(end, start + 2 * std::numbers::pi);
        const int steps = std::max(8, int(std::ceil((end - start) * 180 / std::numbers::pi / kDegreesPerPoint)));
        QPolygonF path;
        for (int i = 0; i <= steps; ++i) {
            const double t = start + (end - start) * i / steps;
            path.append(centre + major * std::cos(t) + minor * std::sin(t));
        }
        addPath(std::move(path));
    }

    void addSpline(const EntityPairs& e)
    {
        QList<QPointF> controls, fits;
        e.points(10, controls);
        e.points(11, fits);
        addPath(SplinePoints(e.integer(71), controls, e.numbers(40), fits));
    }

    void addLabel(DxfLabel label)
    {
        if (!label.text.trimmed().isEmpty() && label.height > 0 && spend(1))
            target().labels.append(std::move(label));
    }

    void addText(const EntityPairs& e)
    {
        DxfLabel label;
        label.horizontal = std::clamp(e.integer(72), 0, 5);
        label.vertical = std::clamp(e.integer(74) ? e.integer(74) : e.integer(73), 0, 3);
        // Aligned and fitted texts run from the first point to the second: drawn from the first.
        if (label.horizontal == 3 || label.horizontal == 5)
            label.horizontal = 0;
        const bool atSecond = label.horizontal != 0 || label.vertical != 0;
        label.at = e.point(atSecond && !e.value(11).isNull() ? 11 : 10);
        label.height = std::abs(e.number(40));
        label.rotation = e.number(50);
        label.text = extract::DecodeDxfText(m_decoder.decode(e.value(1)));
        if (e.mirrored())
            label.at = Mirror(label.at);
        addLabel(std::move(label));
    }

    void addMText(const EntityPairs& e)
    {
        DxfLabel label;
        label.at = e.point(10);
        label.height = std::abs(e.number(40));
        const QPointF direction = e.point(11);
        label.rotation = !e.value(11).isNull() && !direction.isNull()
                             ? std::atan2(direction.y(), direction.x()) * 180 / std::numbers::pi
                             : e.number(50);
        // Attachment 1..9: top, middle, bottom rows of left, centre, right.
        const int attachment = std::clamp(e.integer(71), 1, 9) - 1;
        label.horizontal = attachment % 3;
        label.vertical = 3 - attachment / 3;   // 3 top, 2 middle, 1 bottom
        label.text = extract::StripMtextCodes(m_decoder.decode(e.joined(3, 1)));
        addLabel(std::move(label));
    }

    void addInsert(const EntityPairs& e)
    {
        DxfInsert insert;
        insert.block = m_decoder.decode(e.value(2).trimmed());
        insert.at = e.point(10);
        insert.scaleX = e.number(41, 1);
        insert.scaleY = e.number(42, 1);
        insert.rotation = e.number(50);
        if (e.mirrored()) {
            insert.at = Mirror(insert.at);
            insert.scaleX = -insert.scaleX;
            insert.rotation = -insert.rotation;
        }
        if (!insert.block.isEmpty() && spend(1))
            target().inserts.append(std::move(insert));
    }

    DxfDrawing& m_drawing;
    DxfReadLimits m_limits;
    DxfValueDecoder m_decoder;
    DxfBlock* m_block = nullptr;
    std::optional<QPolygonF> m_polyline;
    QList<double> m_polylineBulges;
    bool m_polylineClosed = false;
    bool m_polylineSkipped = false;
    qsizetype m_entities = 0;
    qsizetype m_points = 0;
};

} // namespace

QPolygonF ArcPoints(QPointF centre, double radius, double startDeg, double endDeg)
{
    if (!std::isfinite(startDeg) || !std::isfinite(endDeg))
        return {};
    startDeg = std::fmod(startDeg, 360.0);
    endDeg = std::fmod(endDeg, 360.0);
    double sweep = endDeg - startDeg;
    if (sweep <= 0)
        sweep += 360;
    const int steps = std::max(2, int(std::ceil(sweep / kDegreesPerPoint)));
    QPolygonF path;
    path.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i)
        path.append(ArcPoint(centre, radius, (startDeg + sweep * i / steps) * std::numbers::pi / 180));
    return path;
}

QPolygonF SplinePoints(int degree, const QList<QPointF>& controls, const QList<double>& knots, const QList<QPointF>& fits)
{
    const qsizetype n = controls.size();
    const bool knotsAgree = degree >= 1 && degree <= 10 && n > degree && knots.size() == n + degree + 1
                            && std::is_sorted(knots.begin(), knots.end())
                            && knots[n] > knots[degree];
    if (!knotsAgree)
        return fits.size() >= 2 ? QPolygonF(fits) : QPolygonF(controls);
    // de Boor's algorithm at evenly spaced parameters.
    const double first = knots[degree];
    const double last = knots[n];
    const int samples = int(std::min<qsizetype>(kMostSplinePoints, std::max<qsizetype>(16, n * 8)));
    QPolygonF path;
    path.reserve(samples + 1);
    std::vector<QPointF> d(size_t(degree) + 1);
    for (int s = 0; s <= samples; ++s) {
        const double u = first + (last - first) * s / samples;
        qsizetype k = degree;
        while (k < n - 1 && knots[k + 1] <= u)
            ++k;
        for (int j = 0; j <= degree; ++j)
            d[size_t(j)] = controls[k - degree + j];
        for (int r = 1; r <= degree; ++r) {
            for (int j = degree; j >= r; --j) {
                const double left = knots[k - degree + j];
                const double right = knots[k + 1 + j - r];
                const double alpha = right > left ? (u - left) / (right - left) : 0;
                d[size_t(j)] = d[size_t(j) - 1] * (1 - alpha) + d[size_t(j)] * alpha;
            }
        }
        path.append(d[size_t(degree)]);
    }
    return path;
}

DxfDrawing ReadDxfDrawing(QByteArrayView bytes, const DxfReadLimits& limits)
{
    DxfDrawing drawing;
    if (extract::IsBinaryDxf(bytes)) {
        drawing.error = QStringLiteral("DXF 文件是二进制格式, 不能预览");
        return drawing;
    }
    DxfPairReader pairs(bytes);
    DrawingBuilder builder(drawing, limits);
    extract::DxfHeaderVariables header;
    EntityPairs entity;
    QByteArray section;
    bool sectionNameNext = false;
    bool anyPair = false;
    int code = 0;
    QByteArrayView value;

    // What the entity just read means, once the next one starts.
    const auto finish = [&] {
        const QByteArrayView type = entity.type();
        if (type.isEmpty() || (section != "ENTITIES" && section != "BLOCKS"))
            return;
        if (type == "BLOCK")
            builder.beginBlock(entity);
        else if (type == "ENDBLK")
            builder.endBlock();
        else if (type == "POLYLINE")
            builder.beginPolyline(entity);
        else if (type == "VERTEX" && builder.inPolyline())
            builder.addVertex(entity);
        else if (type == "SEQEND" && builder.inPolyline())
            builder.endPolyline();
        else
            builder.add(entity);
    };

    while (!builder.full()) {
        const DxfPairReader::Next next = pairs.next(code, value);
        if (next == DxfPairReader::Next::End)
            break;
        if (next == DxfPairReader::Next::NotACode) {
            drawing.damage = QStringLiteral("第 %1 行不是组码").arg(pairs.codeLineNumber());
            break;
        }
        anyPair = true;
        if (code == 0) {
            finish();
            entity.start(value);
            const QByteArrayView type = value.trimmed();
            if (type == "EOF")
                break;
            if (type == "SECTION")
                sectionNameNext = true;
            else if (type == "ENDSEC")
                section.clear();
            continue;
        }
        if (sectionNameNext && code == 2) {
            section = value.trimmed().toByteArray().toUpper();
            sectionNameNext = false;
            continue;
        }
        if (section == "HEADER")
            header.add(code, value, builder.decoder());
        else
            entity.add(code, value);
    }
    if (!builder.full())
        finish();
    if (!anyPair)
        drawing.error = QStringLiteral("DXF 文件已损坏: 文件中没有组码");
    return drawing;
}

} // namespace zq::preview
