#include "polygonize/label_places.h"

#include "polygonize/face_nesting.h"

namespace lwpolygonize {

std::vector<long> AreasHolding(const LayerContent& content, const std::vector<LabelPoint>& points) {
    if (points.empty()) return {};  // the locator would copy every face's ring for nothing
    std::vector<COutputLoopweave*> faces;
    for (const AreaFeature& area : content.areas) faces.push_back(area.outer.polygon);
    const FaceLocator locator(faces);
    std::vector<long> areas;
    areas.reserve(points.size());
    for (const LabelPoint& point : points) {
        areas.push_back(
            locator.Locate(point.x, point.y, [&](std::size_t face) { return !IsEnclosedFace(*faces[face]); }));
    }
    return areas;
}

}  // namespace lwpolygonize
