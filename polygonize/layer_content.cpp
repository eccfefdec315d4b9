#include "polygonize/layer_content.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <tuple>
#include <unordered_map>
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
    if (selected.polygon->Count() > 0) content.lines.push_back({selected.index, PathOf(*selected.polygon), LineOrigin::kWholeChain});
}

// An element's line, its ends in a canonical order: the same for both
// directions. Formation gives every end at a vertex the vertex's coordinates,
// so the two walks along one edge compare equal.
using Edge = std::tuple<double, double, double, double>;

struct EdgeHash {
    std::size_t operator()(const Edge& edge) const {
        const std::hash<double> hash;
        std::size_t h = hash(std::get<0>(edge));
        for (const double value : {std::get<1>(edge), std::get<2>(edge), std::get<3>(edge)}) {
            h = h * 1000003 ^ hash(value);
        }
        return h;
    }
};

Edge EdgeOf(double sx, double sy, double ex, double ey) {
    return std::tie(sx, sy) < std::tie(ex, ey) ? Edge{sx, sy, ex, ey} : Edge{ex, ey, sx, sy};
}
Edge EdgeOf(const ElementCopy& e) { return EdgeOf(e.sx, e.sy, e.ex, e.ey); }
Edge EdgeOf(CLoopweaveElement* e) { return EdgeOf(e->Sx(), e->Sy(), e->Ex(), e->Ey()); }

// The lines that nothing written carries, from the closed chains that are
// neither faces nor holes: the edges with no face on either side (a bridge
// between two islands, a tree of lines, lines that cross uncut), each once,
// in runs along the chains. A face that collapsed (no area by the library's
// measure, counter-clockwise by the exact one) is such a chain too, and
// leaves an error point.
void AddUncarried(const std::vector<SelectedPolygon>& chains, LayerContent& content) {
    // Each edge of the chains, numbered once; whether something carries it.
    std::unordered_map<Edge, std::size_t, EdgeHash> number;
    std::vector<Path> paths;
    for (const SelectedPolygon& chain : chains) {
        paths.push_back(PathOf(*chain.polygon));
        for (const ElementCopy& element : paths.back()) number.emplace(EdgeOf(element), number.size());
        if (chain.polygon->Round() == 0 && SignedAreaOf(paths.back()) > 0) {
            const ElementCopy& first = paths.back().front();
            content.errors.push_back({first.sx, first.sy, kCollapsedFlag, chain.index});
        }
    }
    if (number.empty()) return;
    std::vector<char> carried(number.size(), 0);
    const auto carry = [&](const auto& elements) {
        for (const auto& element : elements) {
            const auto found = number.find(EdgeOf(element));
            if (found != number.end()) carried[found->second] = 1;
        }
    };
    for (const AreaFeature& area : content.areas) {
        carry(ChainOf(*area.outer.polygon));
        for (COutputLoopweave* hole : area.holes) carry(ChainOf(*hole));
    }
    for (const LineFeature& line : content.lines) carry(line.path);
    for (std::size_t c = 0; c < chains.size(); ++c) {
        Path run;
        const auto finish = [&] {
            if (!run.empty()) content.lines.push_back({chains[c].index, std::move(run), LineOrigin::kUncarried});
            run.clear();
        };
        for (const ElementCopy& element : paths[c]) {
            char& done = carried[number.at(EdgeOf(element))];
            if (done) {
                finish();
                continue;
            }
            done = 1;
            run.push_back(element);
        }
        finish();
    }
}

void AddErrorPoints(const SelectedPolygon& selected, LayerContent& content) {
    for (CCoord* point : ErrorPointsOf(*selected.polygon)) {
        content.errors.push_back({point->X(), point->Y(), point->Flag(), selected.index});
    }
}

void AddCoverage(const std::vector<SelectedPolygon>& polygons, LayerContent& content) {
    std::vector<COutputLoopweave*> chains;
    for (const SelectedPolygon& selected : polygons) chains.push_back(selected.polygon);
    const std::vector<std::vector<std::size_t>> holes = HolesOfFaces(chains);
    std::vector<bool> isHole(polygons.size(), false);
    for (const std::vector<std::size_t>& holesOfOne : holes) {
        for (std::size_t hole : holesOfOne) isHole[hole] = true;
    }
    std::vector<SelectedPolygon> unwritten;
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
        } else if (!isHole[i] && polygon.Count() > 0) {
            // The outer boundary of a group in no face: the edge of the
            // unbounded face, which is no polygon.
            unwritten.push_back(polygons[i]);
        }
    }
    AddUncarried(unwritten, content);
}

}  // namespace

LayerContent ContentOf(const std::vector<SelectedPolygon>& polygons, const std::vector<std::vector<Path>>& strippedRuns,
                       Selection selection) {
    LayerContent content;
    for (const SelectedPolygon& selected : polygons) {
        if (!Selects(selection, *selected.polygon)) continue;
        content.selected.push_back(selected);
        AddErrorPoints(selected, content);
        for (const Path& run : strippedRuns[static_cast<std::size_t>(selected.index - 1)]) {
            content.lines.push_back({selected.index, run, LineOrigin::kStrippedRun});
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
