#include "index/strip_pairs.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "index/packed_box_tree.h"

namespace loopweave {

StripPairs::StripPairs(const std::vector<Segment>& segments, const std::vector<bool>& leftOut, const StripsOf& stripsOf,
                       std::size_t mostPairs)
    : from_(segments.size() + 1, 0) {
    std::vector<PackedBoxTree::Entry> boxes;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!leftOut[i]) boxes.push_back({Box::Around(segments[i].start, segments[i].end), static_cast<int>(i)});
    }
    const PackedBoxTree tree(std::move(boxes));

    // Each pair as one number, the earlier element in the high half, so that
    // sorting the numbers sorts the pairs by element and then by partner.
    std::vector<std::uint64_t> pairs;
    std::vector<Strip> strips;
    std::vector<int> partners;
    for (std::size_t i = 0; i < segments.size() && complete_; ++i) {
        if (leftOut[i]) continue;
        strips.clear();
        if (!stripsOf(static_cast<int>(i), strips)) {
            complete_ = false;
            break;
        }
        partners.clear();
        for (const Strip& strip : strips) {
            const std::size_t before = partners.size();
            tree.QueryAlong(strip, partners);
            // The tree met the segment's box; the strip must meet the segment.
            const auto missed = [&](int partner) {
                const Segment& other = segments[static_cast<std::size_t>(partner)];
                return !strip.MeetsSegment(other.start, other.end);
            };
            const auto found = partners.begin() + static_cast<std::ptrdiff_t>(before);
            partners.erase(std::remove_if(found, partners.end(), missed), partners.end());
        }
        // An element met by both strips is met twice.
        partners.erase(std::remove(partners.begin(), partners.end(), static_cast<int>(i)), partners.end());
        std::sort(partners.begin(), partners.end());
        partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
        for (int partner : partners) {
            const auto other = static_cast<std::size_t>(partner);
            pairs.push_back(std::uint64_t{std::min(i, other)} << 32 | std::max(i, other));
        }
        complete_ = pairs.size() <= mostPairs;
    }
    if (complete_) Store(pairs);
}

void StripPairs::Store(std::vector<std::uint64_t>& pairs) {
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
