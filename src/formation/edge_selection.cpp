#include "formation/edge_selection.h"

#include <algorithm>
#include <cmath>

#include "store/element_editor.h"
#include "store/element_geometry.h"
#include "store/list_items.h"

namespace loopweave {
namespace {

// No length at all: unlike SamePoint, a difference of exactly kTolerance
// still counts as none.
bool HasNoLength(const Point& start, const Point& end) {
    return std::fabs(start.x - end.x) <= kTolerance && std::fabs(start.y - end.y) <= kTolerance;
}

// x directs an element whose x extent reaches the tolerance, y any other. The
// test on the directing axis is exact, so the direction never depends on a
// tolerance band.
bool RunsBackwards(const Point& start, const Point& end) {
    if (std::fabs(start.x - end.x) >= kTolerance) return end.x < start.x;
    return end.y < start.y;
}

// The order of edges: by start x, start y, end x, end y, the first coordinate
// that differs by kTolerance or more deciding; edges equal within the
// tolerance stand in descending serial. +1 when a comes after b, -1 when
// before, 0 only for an edge and itself.
int CompareEdges(const SelectedEdge& a, const SelectedEdge& b) {
    if (const int order = CompareCoordinate(a.start.x, b.start.x)) return order;
    if (const int order = CompareCoordinate(a.start.y, b.start.y)) return order;
    if (const int order = CompareCoordinate(a.end.x, b.end.x)) return order;
    if (const int order = CompareCoordinate(a.end.y, b.end.y)) return order;
    if (a.serial == b.serial) return 0;
    return a.serial < b.serial ? 1 : -1;
}

// Start and end each within the tolerance of the other's, in the same direction.
bool SameEdge(const SelectedEdge& a, const SelectedEdge& b) {
    return SamePoint(a.start, b.start) && SamePoint(a.end, b.end);
}

}  // namespace

std::vector<SelectedEdge> SelectEdges(CPtrList& stored) {
    std::vector<SelectedEdge> edges;
    edges.reserve(static_cast<std::size_t>(stored.Count()));
    int serial = 0;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(stored)) {
        ElementEditor::SetSerial(*element, ++serial);
        // The ends read once, straight from the element: the public
        // accessors are calls into the shared library.
        const Point start = StartOf(*element);
        const Point end = EndOf(*element);
        if (!IsFinite(start) || !IsFinite(end) || HasNoLength(start, end)) continue;
        const bool backwards = RunsBackwards(start, end);
        if (backwards) ElementEditor::Reverse(*element);
        edges.push_back({backwards ? end : start, backwards ? start : end, element->Key1(), element->Key2(), serial});
    }

    // The comparison is not a strict weak order (equality within the
    // tolerance is not transitive), which std::sort may answer by reading past
    // the range; the stable merge sort stays in bounds and is deterministic.
    std::stable_sort(edges.begin(), edges.end(),
                     [](const SelectedEdge& a, const SelectedEdge& b) { return CompareEdges(a, b) < 0; });

    // Equal elements now stand together, the one entered first last. Dropping
    // every element that equals its successor keeps exactly that one of each
    // run, in one pass.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (i + 1 < edges.size() && SameEdge(edges[i], edges[i + 1])) continue;
        edges[kept++] = edges[i];
    }
    edges.resize(kept);
    return edges;
}

}  // namespace loopweave
