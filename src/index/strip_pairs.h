#ifndef LOOPWEAVE_INDEX_STRIP_PAIRS_H
#define LOOPWEAVE_INDEX_STRIP_PAIRS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "geometry/segment.h"
#include "geometry/strip.h"

namespace loopweave {

// For each element of a chain, the later elements paired with it: those met
// by a strip of its own (Strip), or one of whose strips it meets. The caller
// says where each element may be found in contact with another, as strips,
// and whether another must bring an end into such a strip or any point of
// its segment (ContactCandidates gives the two cases and why).
//
// The targets go into a packed tree, which each strip descends only where it
// meets the nodes (PackedBoxTree::QueryAlong): the tree is packed along a
// Hilbert curve, so a thin strip meets the nodes near where it crosses the
// chain, a few per level, however the chain winds and however long the
// strip. (A grid with cells sized for the extent let a crowd of short
// elements beside one that runs far away share a few cells, which every
// strip in the crowd read whole.)
//
// A chain that gives more pairs than `mostPairs` (nearly every end of a chain
// along one straight line is near every other element's line) is not paired;
// Complete is false then, and also when a strip could not be made.
class StripPairs {
public:
    // What of another element a strip must meet to pair it.
    enum Target { kEnds, kSegments };
    // Appends the element's strips; false when they cannot be made.
    using StripsOf = std::function<bool(int element, std::vector<Strip>& strips)>;

    // Pairs the elements not marked in `leftOut`.
    StripPairs(const std::vector<Segment>& segments, const std::vector<bool>& leftOut, Target target,
               const StripsOf& stripsOf, std::size_t mostPairs);

    bool Complete() const { return complete_; }

    // The later elements paired with the element, ascending.
    const int* begin(int element) const { return later_.data() + from_[Index(element)]; }
    const int* end(int element) const { return later_.data() + from_[Index(element) + 1]; }

private:
    static std::size_t Index(int element) { return static_cast<std::size_t>(element); }
    void Store(std::vector<std::uint64_t>& pairs);

    bool complete_ = true;
    // The later elements of element e are later_[from_[e]] up to later_[from_[e + 1]].
    std::vector<std::size_t> from_;
    std::vector<int> later_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_STRIP_PAIRS_H
