#include "formation/edge_selection.h"

#include <algorithm>
#include <cmath>

#include "geometry/element_geometry.h"
#include "store/element_editor.h"
#include "store/list_items.h"

namespace loopweave {
namespace {

// No length at all: unlike SamePoint, a difference of exactly kTolerance
// still counts as none.
bool HasNoLength(CLoopweaveElement& element) {
    return std::fabs(element.Sx() - element.Ex()) <= kTolerance && std::fabs(element.Sy() - element.Ey()) <= kTolerance;
}

// x directs an element whose x extent reaches the tolerance, y any other. The
// test on the directing axis is exact, so the direction never depends on a
// tolerance band.
bool RunsBackwards(CLoopweaveElement& element) {
    if (std::fabs(element.Sx() - element.Ex()) >= kTolerance) return element.Ex() < element.Sx();
    return element.Ey() < element.Sy();
}

// +1 or -1 by the first pair of values that differ by kTolerance or more, 0
// when none does.
int CompareCoordinates(const double (&a)[4], const double (&b)[4]) {
    for (int i = 0; i < 4; ++i) {
        if (std::fabs(a[i] - b[i]) >= kTolerance) return a[i] > b[i] ? 1 : -1;
    }
    return 0;
}

// An edge with its coordinates at hand: the sort reads them from here, in
// sequence, instead of chasing each element's pointer at every comparison.
struct EdgeKey {
    double coordinates[4];  // start x, start y, end x, end y
    int serial;
    CLoopweaveElement* element;
};

// The order of edges: by start x, start y, end x, end y, the first coordinate
// that differs by kTolerance or more deciding; edges equal within the
// tolerance stand in descending serial. +1 when a comes after b, -1 when
// before, 0 only for an edge and itself.
int CompareEdges(const EdgeKey& a, const EdgeKey& b) {
    if (const int order = CompareCoordinates(a.coordinates, b.coordinates)) return order;
    if (a.serial == b.serial) return 0;
    return a.serial < b.serial ? 1 : -1;
}

}  // namespace

bool SameElement(CLoopweaveElement& a, CLoopweaveElement& b) {
    return SamePoint(StartOf(a), StartOf(b)) && SamePoint(EndOf(a), EndOf(b));
}

std::vector<CLoopweaveElement*> SelectEdges(CPtrList& stored) {
    std::vector<EdgeKey> keys;
    keys.reserve(static_cast<std::size_t>(stored.Count()));
    int serial = 0;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(stored)) {
        ElementEditor::SetSerial(*element, ++serial);
        if (!IsFinite(*element) || HasNoLength(*element)) continue;
        if (RunsBackwards(*element)) ElementEditor::Reverse(*element);
        const Point start = StartOf(*element);
        const Point end = EndOf(*element);
        keys.push_back({{start.x, start.y, end.x, end.y}, serial, element});
    }

    // The comparison is not a strict weak order (equality within the
    // tolerance is not transitive), which std::sort may answer by reading past
    // the range; the stable merge sort stays in bounds and is deterministic.
    std::stable_sort(keys.begin(), keys.end(), [](const EdgeKey& a, const EdgeKey& b) { return CompareEdges(a, b) < 0; });
    std::vector<CLoopweaveElement*> table;
    table.reserve(keys.size());
    for (const EdgeKey& key : keys) table.push_back(key.element);

    // Equal elements now stand together, the one entered first last. Dropping
    // every element that equals its successor keeps exactly that one of each
    // run, in one pass.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i + 1 < table.size() && SameElement(*table[i], *table[i + 1])) continue;
        table[kept++] = table[i];
    }
    table.resize(kept);
    return table;
}

}  // namespace loopweave
