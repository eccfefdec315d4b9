#include "output/contact_candidates.h"

#include <cfloat>
#include <cmath>
#include <utility>

#include "geometry/contact_reach.h"

namespace loopweave {
namespace {

// Beyond this many candidate pairs per element on average the filter has
// found a chain that crowds into one place (a star, say), and storing its
// pairs would cost more than testing them all.
constexpr std::size_t kMostPairsPerElement = 32;

struct Box {
    double low[2];
    double high[2];
};

Box BoxOf(const Segment& s) {
    return {{std::min(s.start.x, s.end.x), std::min(s.start.y, s.end.y)},
            {std::max(s.start.x, s.end.x), std::max(s.start.y, s.end.y)}};
}

bool HasFiniteEnds(const Segment& s) {
    return std::isfinite(s.start.x) && std::isfinite(s.start.y) && std::isfinite(s.end.x) && std::isfinite(s.end.y);
}

// How far the boxes lie apart along an axis, negative when they overlap. The
// difference of two coordinates is rounded once, to within a relative 2^-53
// of the true gap, which the reach's slack absorbs.
double GapAlong(const Box& p, const Box& q, int axis) {
    return std::max(q.low[axis] - p.high[axis], p.low[axis] - q.high[axis]);
}

}  // namespace

ContactCandidates::ContactCandidates(const std::vector<Segment>& segments)
    : count_(static_cast<int>(segments.size())), wide_(segments.size(), true) {
    std::vector<Box> boxes;
    boxes.reserve(segments.size());
    // The chain's box and largest coordinate magnitude, over the finite
    // elements: the reach argument concerns the coordinates of the pairs it
    // skips, and non-finite elements are never skipped.
    Box chain{{HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL}};
    double magnitude = 0;
    for (const Segment& s : segments) {
        boxes.push_back(BoxOf(s));
        if (!HasFiniteEnds(s)) continue;
        for (int axis = 0; axis < 2; ++axis) {
            chain.low[axis] = std::min(chain.low[axis], boxes.back().low[axis]);
            chain.high[axis] = std::max(chain.high[axis], boxes.back().high[axis]);
            magnitude = std::max({magnitude, std::fabs(boxes.back().low[axis]), std::fabs(boxes.back().high[axis])});
        }
    }
    const double spans[2] = {chain.high[0] - chain.low[0], chain.high[1] - chain.low[1]};
    const double extent = std::max({spans[0], spans[1], 0.0});
    if (!ReachesHold(magnitude, extent)) {
        everyPair_ = true;
        return;
    }

    std::vector<double> reach(segments.size());
    std::vector<int> narrow;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        if (!HasFiniteEnds(s)) continue;
        reach[i] = RelationReach(std::hypot(s.end.x - s.start.x, s.end.y - s.start.y));
        if (!(reach[i] <= extent)) continue;
        wide_[i] = false;
        narrow.push_back(static_cast<int>(i));
    }
    for (int i = 0; i < count_; ++i) {
        if (wide_[static_cast<std::size_t>(i)]) wideList_.push_back(i);
    }

    // Sweep along the longer side of the chain's box over the narrow
    // elements' intervals, each widened by its reach and by a pad for the
    // rounding of the widening: ordered by their widened low ends, each is
    // paired with those that follow while these begin within its widened
    // interval. That finds every pair within the reach of the pair (the
    // larger of the two reaches) along the sweep: from the rounding of the
    // gap, of the widened ends and of the pad, each at most 2^-53 of values
    // below magnitude + extent (reaches are at most the extent), the pad of
    // 2^-50 (magnitude + extent) leaves room to spare.
    const int axis = spans[0] >= spans[1] ? 0 : 1;
    const double pad = 4 * DBL_EPSILON * (magnitude + extent);
    std::vector<double> widenedLow(segments.size());
    std::vector<double> widenedHigh(segments.size());
    for (int i : narrow) {
        const std::size_t at = static_cast<std::size_t>(i);
        widenedLow[at] = boxes[at].low[axis] - (reach[at] + pad);
        widenedHigh[at] = boxes[at].high[axis] + (reach[at] + pad);
    }
    std::sort(narrow.begin(), narrow.end(), [&](int p, int q) {
        const double lowP = widenedLow[static_cast<std::size_t>(p)];
        const double lowQ = widenedLow[static_cast<std::size_t>(q)];
        return lowP < lowQ || (lowP == lowQ && p < q);
    });
    const std::size_t mostPairs = kMostPairsPerElement * segments.size();
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t k = 0; k < narrow.size(); ++k) {
        const std::size_t i = static_cast<std::size_t>(narrow[k]);
        for (std::size_t m = k + 1; m < narrow.size(); ++m) {
            const std::size_t j = static_cast<std::size_t>(narrow[m]);
            if (widenedLow[j] > widenedHigh[i]) break;
            const double pairReach = std::max(reach[i], reach[j]);
            if (GapAlong(boxes[i], boxes[j], 0) > pairReach || GapAlong(boxes[i], boxes[j], 1) > pairReach) continue;
            pairs.emplace_back(std::min(narrow[k], narrow[m]), std::max(narrow[k], narrow[m]));
        }
        if (pairs.size() > mostPairs) {
            everyPair_ = true;
            return;
        }
    }

    // Each pair under its first element, each list ascending.
    firstNear_.assign(segments.size() + 1, 0);
    for (const auto& [first, second] : pairs) ++firstNear_[static_cast<std::size_t>(first) + 1];
    for (std::size_t i = 0; i < segments.size(); ++i) firstNear_[i + 1] += firstNear_[i];
    near_.resize(pairs.size());
    std::vector<int> filled(firstNear_.begin(), firstNear_.end() - 1);
    for (const auto& [first, second] : pairs) near_[static_cast<std::size_t>(filled[static_cast<std::size_t>(first)]++)] = second;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::sort(near_.begin() + firstNear_[i], near_.begin() + firstNear_[i + 1]);
    }
}

}  // namespace loopweave
