#include "polygonize/polygon_access.h"

namespace lwpolygonize {

std::vector<SelectedPolygon> NumberedPolygons(CLoopweave& builder) {
    std::vector<SelectedPolygon> polygons;
    int index = 0;
    for (COutputLoopweave* polygon : Items<COutputLoopweave>(builder.Polygon())) polygons.push_back({++index, polygon});
    return polygons;
}

Path PathOf(COutputLoopweave& polygon) {
    Path path;
    path.reserve(static_cast<std::size_t>(polygon.Count()));
    for (CLoopweaveElement* e : ChainOf(polygon)) path.push_back({e->Sx(), e->Sy(), e->Ex(), e->Ey(), e->Key1(), e->Key2()});
    return path;
}

std::string KeysAlong(const Path& path, const InputKeys& inputKeys) {
    std::string keys;
    for (const ElementCopy& element : path) {
        if (!keys.empty()) keys += ' ';
        keys += inputKeys.Of(element.key1, element.key2);
    }
    return keys;
}

double SignedAreaOf(const Path& path) {
    double twiceArea = 0;
    for (const ElementCopy& e : path) twiceArea += e.sx * e.ey - e.ex * e.sy;
    return twiceArea / 2;
}

}  // namespace lwpolygonize
