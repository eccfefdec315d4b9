#ifndef LOOPWEAVE_INDEX_STRIP_PAIRS_H
#define LOOPWEAVE_INDEX_STRIP_PAIRS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "geometry/segment.h"
#include "geometry/strip.h"

namespace loopweave {

// For each element of a chain, the later elements paired with it: those
// whose segments meet a strip of its own (Strip), or one of whose strips its
// segment meets. The caller says, as strips, where another element must pass
// to be found in contact with each (ContactCandidates says why).
//
// The segments' boxes go into a packed tree, which an element's strips
// descend together, only where one of them meets the nodes
// (PackedBoxTree::QueryAlong): the tree is packed along a Hilbert curve, so a
// thin strip meets the nodes near where it crosses the chain, a few per
// level, however the chain winds.
//
// A chain that gives more pairs than `mostPairs` (one crowded into one place,
// where nearly every pair is near) is not paired; Complete is false then, and
// also when a strip could not be made.
class StripPairs {
public:
    // Appends the element's strips; false when they cannot be made.
    using StripsOf = std::function<bool(int element, std::vector<Strip>& strips)>;

    // Pairs the elements not marked in `leftOut`.
    StripPairs(const std::vector<Segment>& segments, const std::vector<bool>& leftOut, const StripsOf& stripsOf,
               std::size_t mostPairs);

    bool Complete() const { return complete_; }

    // The later elements paired with the element, ascending.
    const int* begin(int element) const { return later_.data() + from_[Index(element)]; }
    const int* end(int element) const { return later_.data() + from_[Index(element) + 1]; }

private:
    static std::size_t Index(int element) { return static_cast<std::size_t>(element); }
    // Merges the pairs found from their later elements alone into the lists.
    void MergeFoundLate(std::vector<std::uint64_t>& foundLate);

    bool complete_ = true;
    // The later elements of element e are later_[from_[e]] up to later_[from_[e + 1]].
    std::vector<std::size_t> from_;
    std::vector<int> later_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_STRIP_PAIRS_H
