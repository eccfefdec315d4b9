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

}  // namespace

int CompareElements(CLoopweaveElement& a, CLoopweaveElement& b) {
    const Point aStart = StartOf(a), aEnd = EndOf(a), bStart = StartOf(b), bEnd = EndOf(b);
    const double aValues[4] = {aStart.x, aStart.y, aEnd.x, aEnd.y};
    const double bValues[4] = {bStart.x, bStart.y, bEnd.x, bEnd.y};
    if (const int order = CompareCoordinates(aValues, bValues)) return order;
    return ElementEditor::Serial(a) < ElementEditor::Serial(b) ? 1 : -1;
}

bool SameElement(CLoopweaveElement& a, CLoopweaveElement& b) {
    return SamePoint(StartOf(a), StartOf(b)) && SamePoint(EndOf(a), EndOf(b));
}

std::vector<CLoopweaveElement*> SelectEdges(CPtrList& stored) {
    std::vector<CLoopweaveElement*> table;
    table.reserve(static_cast<std::size_t>(stored.Count()));
    int serial = 0;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(stored)) {
        ElementEditor::SetSerial(*element, ++serial);
        if (!IsFinite(*element) || HasNoLength(*element)) continue;
        if (RunsBackwards(*element)) ElementEditor::Reverse(*element);
        table.push_back(element);
    }

    // The comparison is not a strict weak order (equality within the
    // tolerance is not transitive), which std::sort may answer by reading past
    // the range; the stable merge sort stays in bounds and is deterministic.
    // The serial tie-break never answers 0, so an element has to be kept
    // from preceding itself.
    std::stable_sort(table.begin(), table.end(),
                     [](CLoopweaveElement* a, CLoopweaveElement* b) { return a != b && CompareElements(*a, *b) < 0; });

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
