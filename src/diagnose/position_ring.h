#ifndef LOOPWEAVE_DIAGNOSE_POSITION_RING_H
#define LOOPWEAVE_DIAGNOSE_POSITION_RING_H

#include <cstddef>
#include <set>
#include <vector>

namespace loopweave {

// The positions 0 to n - 1 of a chain as a ring (the last is followed by the
// first) from which positions can be removed, the others keeping their order,
// together with the set of positions at which some condition holds.
//
// A scan that starts again from the head after every change finds the first
// position, in chain order, at which the condition holds: the smallest marked
// one, so long as the caller re-marks every position whose condition the
// change can affect. Positions that leave the ring leave the set with them.
class PositionRing {
public:
    explicit PositionRing(int count);

    int Count() const { return count_; }
    int Next(int position) const { return next_[static_cast<std::size_t>(position)]; }
    int Previous(int position) const { return previous_[static_cast<std::size_t>(position)]; }

    void Remove(int position);

    // Records whether the condition holds at a position still in the ring.
    void Mark(int position, bool holds);
    // The first position at which the condition holds, or -1.
    int FirstMarked() const { return marked_.empty() ? -1 : *marked_.begin(); }

private:
    std::vector<int> next_;
    std::vector<int> previous_;
    std::set<int> marked_;
    int count_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_DIAGNOSE_POSITION_RING_H
