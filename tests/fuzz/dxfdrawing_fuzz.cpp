// The preview's drawings: any bytes as a DXF drawing, placed and drawn into a small picture, and as
// a DWG whose header's picture is looked for. Whatever the bytes, reading ends within the limits,
// the scene holds no point that is not a number, and a picture found lies inside the file.
#include "DwgThumbnail.h"
#include "DxfScene.h"
#include "FuzzSupport.h"

#include <cmath>

using namespace zq::preview;
using zqfuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureGuiApp();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    DxfReadLimits read;
    read.maxEntities = 20'000;
    read.maxPoints = 200'000;
    const DxfDrawing drawing = ReadDxfDrawing(bytes, read);
    Check(drawing.model.size() <= read.maxEntities, "no more entities than the limit");
    DxfSceneLimits place;
    place.maxPoints = 200'000;
    const DxfScene scene = PlaceDrawing(drawing, place);
    qsizetype points = 0;
    for (const QPolygonF& path : scene.paths) {
        points += path.size();
        for (const QPointF& p : path)
            Check(std::isfinite(p.x()) && std::isfinite(p.y()), "every point placed is a number");
    }
    Check(points <= place.maxPoints + 1'000'000, "no more points placed than the limit and one path");
    const QImage picture = DrawScene(scene, QSize(64, 48));
    Check(picture.size() == QSize(64, 48), "the picture has the size asked for");

    const DwgThumbnail thumbnail = ReadDwgThumbnail(bytes);
    Check(thumbnail.data.size() <= bytes.size() + 14, "a DWG's picture comes from the file");
    Check((thumbnail.format == DwgThumbnail::Format::None) != thumbnail.why.isEmpty(),
          "no picture exactly when there is a reason");
    return 0;
}
