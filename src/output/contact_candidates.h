#ifndef LOOPWEAVE_OUTPUT_CONTACT_CANDIDATES_H
#define LOOPWEAVE_OUTPUT_CONTACT_CANDIDATES_H

#include <algorithm>
#include <cstddef>
#include <vector>

#include "geometry/segment.h"

namespace loopweave {

// For each element of a chain, the later elements that the relation test can
// find in contact with it: every other pair has boxes farther apart, along x
// or y, than the larger of the two elements' contact reaches
// (geometry/contact_reach.h) and tests as no contact, so a walk over these
// pairs in this order meets every contact the walk over all pairs meets, in
// the same order. (The smaller reach would not do: a very short element
// counts points within 1e-6 / length of its line as on it, so a long one can
// meet it far outside the long one's own reach.)
//
// Elements with a coordinate that is not finite, elements of no length and
// elements whose reach spans the whole chain are compared with every other.
// Where the reach argument does not hold for the chain's coordinates, or the
// filter would keep too many pairs to be worth storing, every pair is a
// candidate.
class ContactCandidates {
public:
    explicit ContactCandidates(const std::vector<Segment>& segments);

    // Calls visit(b) for every candidate b > a, in ascending order.
    template <typename Visit>
    void ForEachAfter(int a, Visit visit) const {
        if (everyPair_ || wide_[static_cast<std::size_t>(a)]) {
            for (int b = a + 1; b < count_; ++b) visit(b);
            return;
        }
        // Two ascending lists merged: the near ones found by the sweep and
        // the wide ones after a.
        auto nearIt = near_.begin() + firstNear_[static_cast<std::size_t>(a)];
        const auto nearEnd = near_.begin() + firstNear_[static_cast<std::size_t>(a) + 1];
        auto wideIt = std::upper_bound(wideList_.begin(), wideList_.end(), a);
        while (nearIt != nearEnd || wideIt != wideList_.end()) {
            if (wideIt == wideList_.end() || (nearIt != nearEnd && *nearIt < *wideIt)) {
                visit(*nearIt++);
            } else {
                visit(*wideIt++);
            }
        }
    }

private:
    int count_;
    bool everyPair_ = false;
    std::vector<bool> wide_;
    std::vector<int> wideList_;   // the wide elements, ascending
    std::vector<int> firstNear_;  // where each element's near list begins in near_; one more entry ends the last
    std::vector<int> near_;       // each element's later narrow candidates, ascending
};

}  // namespace loopweave

#endif  // LOOPWEAVE_OUTPUT_CONTACT_CANDIDATES_H
