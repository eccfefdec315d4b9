#include "index/line_index.h"

#include <cmath>
#include <cstring>

#include "store/element_geometry.h"

namespace loopweave {
namespace {

constexpr double kCell = 4 * kTolerance;

// The same two end points within the tolerance, in either direction.
bool SameLine(CLoopweaveElement& e, CLoopweaveElement& s) {
    return (SamePoint(StartOf(e), StartOf(s)) && SamePoint(EndOf(e), EndOf(s))) ||
           (SamePoint(StartOf(e), EndOf(s)) && SamePoint(EndOf(e), StartOf(s)));
}

// Adding 0.0 turns -0.0 into 0.0, which equals it, so that equal cells hash
// alike.
double CellOf(double at) { return std::floor(at / kCell) + 0.0; }

// The bits of the column, spread by an odd multiplier, and of the row; the
// high half folded onto the low, whose bits place a cell within its block
// of the table (CellTable): the bits of a whole number of modest size end
// in zeros, and multiplying keeps them.
std::uint64_t KeyOf(double column, double row) {
    std::uint64_t x = 0, y = 0;
    std::memcpy(&x, &column, sizeof x);
    std::memcpy(&y, &row, sizeof y);
    const std::uint64_t mixed = x * 0x9E3779B97F4A7C15u ^ y;
    return mixed ^ mixed >> 32;
}

}  // namespace

void LineIndex::Add(CLoopweaveElement& element) {
    if (!IsFinite(element)) return;
    const std::uint64_t start = KeyOf(CellOf(element.Sx()), CellOf(element.Sy()));
    const std::uint64_t end = KeyOf(CellOf(element.Ex()), CellOf(element.Ey()));
    for (const std::uint64_t key : {start, end}) {
        const auto list = static_cast<std::size_t>(cells_.Insert(key, static_cast<int>(lists_.size())).value);
        if (list == lists_.size()) lists_.emplace_back();
        lists_[list].push_back(&element);
        if (end == start) break;
    }
}

bool LineIndex::Repeats(CLoopweaveElement& element) const {
    const double x = CellOf(element.Sx());
    const double y = CellOf(element.Sy());
    for (double dx = -1; dx <= 1; ++dx) {
        for (double dy = -1; dy <= 1; ++dy) {
            const CellTable::Slot* cell = cells_.Find(KeyOf(x + dx, y + dy));
            if (cell == nullptr) continue;
            for (CLoopweaveElement* filed : lists_[static_cast<std::size_t>(cell->value)]) {
                if (SameLine(element, *filed)) return true;
            }
        }
    }
    return false;
}

}  // namespace loopweave
