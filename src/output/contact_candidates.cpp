#include "output/contact_candidates.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <utility>

#include "geometry/contact_reach.h"

namespace loopweave {
namespace {

// Below this many elements, testing every pair costs less than the grid.
constexpr std::size_t kFewestForGrid = 32;

// The grid's cells are made large enough that the elements cover at most
// this many of them on average.
constexpr double kMostEntriesPerElement = 8;

bool HasFiniteEnds(const Segment& s) {
    return std::isfinite(s.start.x) && std::isfinite(s.start.y) && std::isfinite(s.end.x) && std::isfinite(s.end.y);
}

}  // namespace

ContactCandidates::ContactCandidates(const std::vector<Segment>& segments)
    : count_(static_cast<int>(segments.size())), wide_(segments.size(), true) {
    boxes_.reserve(segments.size());
    // The chain's box and largest coordinate magnitude, over the finite
    // elements: the reach argument concerns the coordinates of the pairs it
    // skips, and non-finite elements are never skipped.
    Box chain{{HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL}};
    double magnitude = 0;
    for (const Segment& s : segments) {
        boxes_.push_back({{std::min(s.start.x, s.end.x), std::min(s.start.y, s.end.y)},
                          {std::max(s.start.x, s.end.x), std::max(s.start.y, s.end.y)}});
        if (!HasFiniteEnds(s)) continue;
        for (int axis = 0; axis < 2; ++axis) {
            chain.low[axis] = std::min(chain.low[axis], boxes_.back().low[axis]);
            chain.high[axis] = std::max(chain.high[axis], boxes_.back().high[axis]);
            magnitude = std::max({magnitude, std::fabs(boxes_.back().low[axis]), std::fabs(boxes_.back().high[axis])});
        }
    }
    const double spans[2] = {chain.high[0] - chain.low[0], chain.high[1] - chain.low[1]};
    const double extent = std::max({spans[0], spans[1], 0.0});
    if (segments.size() <= kFewestForGrid || !ReachesHold(magnitude, extent)) {
        everyPair_ = true;
        return;
    }

    // Each box is grown by its reach and by a pad for the rounding of the
    // growing. Two elements within the reach of the pair (the larger of the
    // two reaches) along an axis then have grown intervals that overlap: from
    // the rounding of the gap, of the grown ends and of the pad, each at most
    // 2^-53 of values below magnitude + extent (reaches are at most the
    // extent), the pad of 2^-50 (magnitude + extent) leaves room to spare. And
    // overlapping intervals cover a common cell, since the cell of a
    // coordinate never decreases as the coordinate grows.
    const double pad = 4 * DBL_EPSILON * (magnitude + extent);
    reach_.assign(segments.size(), 0);
    std::vector<Box> grown(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        if (!HasFiniteEnds(s)) continue;
        reach_[i] = RelationReach(std::hypot(s.end.x - s.start.x, s.end.y - s.start.y));
        if (!(reach_[i] <= extent)) continue;
        wide_[i] = false;
        const double margin = reach_[i] + pad;
        grown[i] = {{boxes_[i].low[0] - margin, boxes_[i].low[1] - margin},
                    {boxes_[i].high[0] + margin, boxes_[i].high[1] + margin}};
    }
    ListInCells(grown);
    for (int i = 0; i < count_; ++i) {
        if (wide_[static_cast<std::size_t>(i)]) wideList_.push_back(i);
    }
}

void ContactCandidates::ListInCells(const std::vector<Box>& grown) {
    // Cells as small as a typical grown box, so that a cell lists few
    // elements, but large enough that the listing stays within a few entries
    // per element: a box k cells wide covers up to (k + 2)^2 of them, and a
    // few long elements among many short ones would otherwise cover
    // thousands. Start from the median size and double until the listing fits.
    std::vector<double> sizes;
    origin_[0] = origin_[1] = HUGE_VAL;
    for (std::size_t i = 0; i < grown.size(); ++i) {
        if (wide_[i]) continue;
        sizes.push_back(std::max(grown[i].high[0] - grown[i].low[0], grown[i].high[1] - grown[i].low[1]));
        origin_[0] = std::min(origin_[0], grown[i].low[0]);
        origin_[1] = std::min(origin_[1], grown[i].low[1]);
    }
    if (sizes.empty()) return;
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
    cellSize_ = sizes[sizes.size() / 2];
    if (!(cellSize_ > 0)) cellSize_ = 1;
    const auto listingAt = [&](double cellSize) {
        double entries = 0;
        for (double size : sizes) entries += (std::floor(size / cellSize) + 2) * (std::floor(size / cellSize) + 2);
        return entries;
    };
    while (listingAt(cellSize_) > kMostEntriesPerElement * static_cast<double>(sizes.size())) cellSize_ *= 2;

    cells_.resize(grown.size());
    std::vector<std::pair<std::uint64_t, int>> listing;
    for (std::size_t i = 0; i < grown.size(); ++i) {
        if (wide_[i]) continue;
        const CellRange range = CellsOf(grown[i]);
        cells_[i] = range;
        for (std::uint64_t column = range.low[0]; column <= range.high[0]; ++column) {
            for (std::uint64_t row = range.low[1]; row <= range.high[1]; ++row) {
                listing.emplace_back(CellKey(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)), static_cast<int>(i));
            }
        }
    }
    // By cell, and within a cell by element.
    std::sort(listing.begin(), listing.end());
    listed_.reserve(listing.size());
    for (std::size_t k = 0; k < listing.size(); ++k) {
        if (k == 0 || listing[k].first != listing[k - 1].first) {
            keys_.push_back(listing[k].first);
            firstListed_.push_back(k);
        }
        listed_.push_back(listing[k].second);
    }
    firstListed_.push_back(listing.size());
}

ContactCandidates::CellRange ContactCandidates::CellsOf(const Box& grown) const {
    CellRange range{};
    for (int axis = 0; axis < 2; ++axis) {
        const auto cell = [&](double value) {
            const double index = std::floor((value - origin_[axis]) / cellSize_);
            return static_cast<std::uint32_t>(std::clamp(index, 0.0, static_cast<double>(UINT32_MAX)));
        };
        range.low[axis] = cell(grown.low[axis]);
        range.high[axis] = cell(grown.high[axis]);
    }
    return range;
}

void ContactCandidates::FindNear(int a) {
    found_.clear();
    const Box& p = boxes_[static_cast<std::size_t>(a)];
    const double reachA = reach_[static_cast<std::size_t>(a)];
    const CellRange& range = cells_[static_cast<std::size_t>(a)];
    for (std::uint64_t column = range.low[0]; column <= range.high[0]; ++column) {
        const auto lastKey = CellKey(static_cast<std::uint32_t>(column), range.high[1]);
        auto key = std::lower_bound(keys_.begin(), keys_.end(), CellKey(static_cast<std::uint32_t>(column), range.low[1]));
        for (; key != keys_.end() && *key <= lastKey; ++key) {
            const auto k = static_cast<std::size_t>(key - keys_.begin());
            const auto cellEnd = listed_.begin() + static_cast<std::ptrdiff_t>(firstListed_[k + 1]);
            for (auto b = std::upper_bound(listed_.begin() + static_cast<std::ptrdiff_t>(firstListed_[k]), cellEnd, a); b != cellEnd; ++b) {
                // The boxes' gap along each axis, negative when they overlap,
                // rounded once: within a relative 2^-53 of the true gap, which
                // the reach's slack absorbs.
                const Box& q = boxes_[static_cast<std::size_t>(*b)];
                const double pairReach = std::max(reachA, reach_[static_cast<std::size_t>(*b)]);
                if (std::max(q.low[0] - p.high[0], p.low[0] - q.high[0]) > pairReach ||
                    std::max(q.low[1] - p.high[1], p.low[1] - q.high[1]) > pairReach) {
                    continue;
                }
                found_.push_back(*b);
            }
        }
    }
    // A pair that shares several cells is found in each.
    std::sort(found_.begin(), found_.end());
    found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
}

}  // namespace loopweave
