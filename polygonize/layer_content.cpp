#include "polygonize/layer_content.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "polygonize/face_nesting.h"

namespace lwpolygonize {

namespace {

// The library's diagnosis says it: a closed chain that neither crosses,
// touches nor overlaps itself, nor runs back, and encloses an area.
bool IsSimpleRing(COutputLoopweave& polygon) {
    return !polygon.Critical() && !polygon.Cross() && !polygon.Return() && polygon.Round() != 0;
}

bool Selects(Selection selection, COutputLoopweave& polygon) {
    switch (selection) {
        case Selection::kFaces:
            return IsEnclosedFace(polygon);
        case Selection::kBoundaries:
            return !IsEnclosedFace(polygon);
        case Selection::kChains:
        case Selection::kCoverage:
            break;
    }
    return true;
}

// Whether the rings of a face pass one point twice: a ring pinched where two
// parts of it meet, as the outer boundary of two islands that touch at a
// corner does, or a hole touching another. The library's diagnosis calls that
// no crossing, since no two elements cross, but a GIS calls such a ring
// invalid: it is repaired as one that crosses itself.
bool PassesAPointTwice(const std::vector<COutputLoopweave*>& rings) {
    std::vector<std::pair<double, double>> points;
    for (COutputLoopweave* ring : rings) {
        for (const ElementCopy& element : PathOf(*ring)) points.emplace_back(element.sx, element.sy);
    }
    std::sort(points.begin(), points.end());
    return std::adjacent_find(points.begin(), points.end()) != points.end();
}

// A line of its own for a chain that bounds no area.
void AddAsLine(const SelectedPolygon& selected, LayerContent& content) {
    if (selected.polygon->Count() > 0) content.lines.push_back({selected.index, PathOf(*selected.polygon)});
}

void AddCoverage(const std::vector<SelectedPolygon>& polygons, LayerContent& content) {
    std::vector<COutputLoopweave*> chains;
    for (const SelectedPolygon& selected : polygons) chains.push_back(selected.polygon);
    const std::vector<std::vector<std::size_t>> holes = HolesOfFaces(chains);
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        COutputLoopweave& polygon = *polygons[i].polygon;
        if (polygon.Critical()) {
            AddAsLine(polygons[i], content);
        } else if (IsEnclosedFace(polygon)) {
            AreaFeature area{polygons[i], {}, polygon.Cross()};
            std::vector<COutputLoopweave*> rings{&polygon};
            for (std::size_t hole : holes[i]) {
                area.holes.push_back(chains[hole]);
                rings.push_back(chains[hole]);
                area.needsRepair = area.needsRepair || chains[hole]->Cross();
            }
            area.needsRepair = area.needsRepair || PassesAPointTwice(rings);
            content.areas.push_back(std::move(area));
        }
        // An outer boundary is a hole of the face around its group, or the
        // edge of the unbounded face, which is no polygon.
    }
}

}  // namespace

LayerContent ContentOf(const std::vector<SelectedPolygon>& polygons, const std::vector<std::vector<Path>>& strippedRuns,
                       Selection selection) {
    LayerContent content;
    for (const SelectedPolygon& selected : polygons) {
        if (!Selects(selection, *selected.polygon)) continue;
        content.selected.push_back(selected);
        for (const Path& run : strippedRuns[static_cast<std::size_t>(selected.index - 1)]) {
            content.lines.push_back({selected.index, run});
        }
    }
    if (selection == Selection::kCoverage) {
        AddCoverage(polygons, content);
        return content;
    }
    for (const SelectedPolygon& selected : content.selected) {
        if (IsSimpleRing(*selected.polygon)) {
            content.areas.push_back({selected, {}, false});
        } else {
            AddAsLine(selected, content);
        }
    }
    return content;
}

}  // namespace lwpolygonize
