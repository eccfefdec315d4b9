#include "diagnose/position_ring.h"

namespace loopweave {

PositionRing::PositionRing(int count) : next_(static_cast<std::size_t>(count)), previous_(next_.size()), count_(count) {
    for (int p = 0; p < count; ++p) {
        next_[static_cast<std::size_t>(p)] = p + 1 == count ? 0 : p + 1;
        previous_[static_cast<std::size_t>(p)] = p == 0 ? count - 1 : p - 1;
    }
}

void PositionRing::Remove(int position) {
    const int before = Previous(position);
    const int after = Next(position);
    next_[static_cast<std::size_t>(before)] = after;
    previous_[static_cast<std::size_t>(after)] = before;
    marked_.erase(position);
    --count_;
}

void PositionRing::Mark(int position, bool holds) {
    if (holds) {
        marked_.insert(position);
    } else {
        marked_.erase(position);
    }
}

}  // namespace loopweave
