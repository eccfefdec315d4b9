#include "index/ends_near_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "geometry/strip.h"
#include "index/packed_box_tree.h"

namespace loopweave {

EndsNearLines::EndsNearLines(const std::vector<Segment>& segments, const std::vector<bool>& leftOut, const Box& extent,
                             const RoundingModel& rounding, std::size_t mostPairs)
    : from_(segments.size() + 1, 0) {
    std::vector<PackedBoxTree::Entry> ends;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (leftOut[i]) continue;
        ends.push_back({Box::Around(segments[i].start, segments[i].start), static_cast<int>(i)});
        ends.push_back({Box::Around(segments[i].end, segments[i].end), static_cast<int>(i)});
    }
    const PackedBoxTree tree(std::move(ends));

    // Each pair as one number, the earlier element in the high half, so that
    // sorting the numbers sorts the pairs by element and then by partner.
    std::vector<std::uint64_t> pairs;
    std::vector<int> partners;
    for (std::size_t i = 0; i < segments.size() && complete_; ++i) {
        if (leftOut[i]) continue;
        const Segment& s = segments[i];
        Strip band;
        if (!Strip::AcrossBox(s.start, s.end, rounding.BandHalfWidth(s.start, s.end), rounding.Pad(), extent, band)) {
            complete_ = false;
            break;
        }
        // An element with both ends in the band is met twice.
        partners.clear();
        tree.QueryAlong(band, partners);
        partners.erase(std::remove(partners.begin(), partners.end(), static_cast<int>(i)), partners.end());
        std::sort(partners.begin(), partners.end());
        partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
        for (int partner : partners) {
            const auto other = static_cast<std::size_t>(partner);
            pairs.push_back(std::uint64_t{std::min(i, other)} << 32 | std::max(i, other));
        }
        complete_ = pairs.size() <= mostPairs;
    }
    if (!complete_) return;

    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    later_.reserve(pairs.size());
    for (std::uint64_t pair : pairs) {
        ++from_[static_cast<std::size_t>(pair >> 32) + 1];
        later_.push_back(static_cast<int>(pair & 0xFFFFFFFFu));
    }
    for (std::size_t e = 1; e < from_.size(); ++e) from_[e] += from_[e - 1];
}

}  // namespace loopweave
