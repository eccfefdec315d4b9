#ifndef LOOPWEAVE_INDEX_ENDS_NEAR_LINES_H
#define LOOPWEAVE_INDEX_ENDS_NEAR_LINES_H

#include <cstddef>
#include <vector>

#include "geometry/box.h"
#include "geometry/rounding_model.h"
#include "geometry/segment.h"

namespace loopweave {

// For each element of a chain, the later elements that have an end near its
// line or near whose line it has an end: within h = A / L of the line, L the
// larger side of the element that owns the line and A a bound on the area
// that the relation test can mistake for no area at all (kTolerance plus the
// rounding of the doubled area over the chain). Far from the origin that
// rounding outgrows the tolerance, and the relation test can find two short
// elements in contact that lie far apart along nearly one line; only such a
// pair, or a pair that truly meets, can be in contact there
// (ContactCandidates).
//
// Each line is the band across the chain's extent within h of it (Strip);
// the elements' ends go into a packed tree, which each band descends only
// where it meets the nodes (PackedBoxTree::QueryAlong): about the square
// root of the chain's size each, however the ends crowd. (A grid with cells
// sized for the extent let a crowd of short elements beside one that runs
// far away share a few cells, which every band in the crowd read whole.)
//
// A chain whose ends lie near many lines (nearly every end of a chain along
// one straight line is near every other element's line) gives more pairs
// than `mostPairs`; they are not listed, and Complete is false.
class EndsNearLines {
public:
    // Pairs the elements not marked in `leftOut`; `extent` holds them all,
    // and `rounding` is the rounding model over it.
    EndsNearLines(const std::vector<Segment>& segments, const std::vector<bool>& leftOut, const Box& extent,
                  const RoundingModel& rounding, std::size_t mostPairs);

    bool Complete() const { return complete_; }

    // The later elements paired with the element, ascending.
    const int* begin(int element) const { return later_.data() + from_[Index(element)]; }
    const int* end(int element) const { return later_.data() + from_[Index(element) + 1]; }

private:
    static std::size_t Index(int element) { return static_cast<std::size_t>(element); }

    bool complete_ = true;
    // The later elements of element e are later_[from_[e]] up to later_[from_[e + 1]].
    std::vector<std::size_t> from_;
    std::vector<int> later_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_ENDS_NEAR_LINES_H
