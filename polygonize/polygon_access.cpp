#include "polygonize/polygon_access.h"

#include <cmath>

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

std::string KeysAlong(const Path& path) {
    std::string keys;
    for (const ElementCopy& element : path) {
        if (!keys.empty()) keys += ' ';
        keys += std::to_string(element.key1) + "," + std::to_string(element.key2);
    }
    return keys;
}

double AreaOf(const Path& path) {
    double twiceArea = 0;
    for (const ElementCopy& e : path) twiceArea += e.sx * e.ey - e.ex * e.sy;
    return std::fabs(twiceArea) / 2;
}

}  // namespace lwpolygonize
