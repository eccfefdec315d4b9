#include "index/line_index.h"

#include <cmath>
#include <functional>

#include "store/element_geometry.h"

namespace loopweave {
namespace {

constexpr double kCell = 4 * kTolerance;

// The same two end points within the tolerance, in either direction.
bool SameLine(CLoopweaveElement& e, CLoopweaveElement& s) {
    return (SamePoint(StartOf(e), StartOf(s)) && SamePoint(EndOf(e), EndOf(s))) ||
           (SamePoint(StartOf(e), EndOf(s)) && SamePoint(EndOf(e), StartOf(s)));
}

}  // namespace

std::size_t LineIndex::CellHash::operator()(const Cell& cell) const {
    const std::size_t hx = std::hash<double>()(cell.x);
    return hx ^ (std::hash<double>()(cell.y) + 0x9e3779b97f4a7c15ULL + (hx << 6) + (hx >> 2));
}

// Adding 0.0 turns -0.0 into 0.0, which equals it, so that equal cells hash
// alike.
LineIndex::Cell LineIndex::CellOf(double x, double y) {
    return {std::floor(x / kCell) + 0.0, std::floor(y / kCell) + 0.0};
}

void LineIndex::Add(CLoopweaveElement& element) {
    if (!IsFinite(element)) return;
    const Cell start = CellOf(element.Sx(), element.Sy());
    const Cell end = CellOf(element.Ex(), element.Ey());
    cells_[start].push_back(&element);
    if (!(end == start)) cells_[end].push_back(&element);
}

bool LineIndex::Repeats(CLoopweaveElement& element) const {
    const Cell around = CellOf(element.Sx(), element.Sy());
    for (double dx = -1; dx <= 1; ++dx) {
        for (double dy = -1; dy <= 1; ++dy) {
            const auto filed = cells_.find({around.x + dx, around.y + dy});
            if (filed == cells_.end()) continue;
            for (CLoopweaveElement* stored : filed->second) {
                if (SameLine(element, *stored)) return true;
            }
        }
    }
    return false;
}

}  // namespace loopweave
