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

    // A pair is usually found from both of its elements. Found from the
    // earlier one, the later is appended to its list at once: the lists are
    // made in element order, each ascending. Found from the later one alone,
    // it waits as one number, the earlier element in the high half, to be
    // merged in at the end. (Keeping every pair as a number until the end
    // held each twice, and sorting them cost more than finding them.)
    std::vector<std::uint64_t> foundLate;
    std::vector<Strip> strips;
    std::vector<Strip::BoxTest> tests;
    std::vector<int> partners;
    std::size_t found = 0;
    for (std::size_t i = 0; i < segments.size() && complete_; ++i) {
        from_[i] = later_.size();
        if (leftOut[i]) continue;
        strips.clear();
        if (!stripsOf(static_cast<int>(i), strips)) {
            complete_ = false;
            break;
        }
        tests.clear();
        for (const Strip& strip : strips) tests.emplace_back(strip);
        partners.clear();
        tree.QueryAlong(tests, partners);
        // The strips descend the tree together, as they lie together. A
        // partner is one whose box and segment meet the same strip, as when
        // each strip asked the tree alone.
        const auto met = [&](int partner) {
            const Segment& other = segments[static_cast<std::size_t>(partner)];
            const Box box = Box::Around(other.start, other.end);
            for (std::size_t s = 0; s < strips.size(); ++s) {
                if (tests[s].Meets(box) && strips[s].MeetsSegment(other.start, other.end)) return true;
            }
            return false;
        };
        partners.erase(std::remove_if(partners.begin(), partners.end(),
                                      [&](int partner) { return partner == static_cast<int>(i) || !met(partner); }),
                       partners.end());
        std::sort(partners.begin(), partners.end());
        for (int partner : partners) {
            const auto other = static_cast<std::size_t>(partner);
            if (other > i) {
                later_.push_back(partner);
            } else if (!std::binary_search(begin(partner), end(partner), static_cast<int>(i))) {
                foundLate.push_back(std::uint64_t{other} << 32 | i);
            }
        }
        found += partners.size();
        complete_ = found <= mostPairs;
    }
    from_.back() = later_.size();
    if (!complete_) {
        later_ = {};
        return;
    }
    MergeFoundLate(foundLate);
}

void StripPairs::MergeFoundLate(std::vector<std::uint64_t>& foundLate) {
    if (foundLate.empty()) return;
    std::sort(foundLate.begin(), foundLate.end());
    std::vector<int> merged;
    merged.reserve(later_.size() + foundLate.size());
    auto pending = foundLate.begin();
    for (std::size_t e = 0; e + 1 < from_.size(); ++e) {
        const auto first = static_cast<std::ptrdiff_t>(merged.size());
        merged.insert(merged.end(), later_.begin() + static_cast<std::ptrdiff_t>(from_[e]),
                      later_.begin() + static_cast<std::ptrdiff_t>(from_[e + 1]));
        const auto middle = static_cast<std::ptrdiff_t>(merged.size());
        for (; pending != foundLate.end() && (*pending >> 32) == e; ++pending)
            merged.push_back(static_cast<int>(*pending & 0xFFFFFFFFu));
        std::inplace_merge(merged.begin() + first, merged.begin() + middle, merged.end());
        from_[e] = static_cast<std::size_t>(first);
    }
    from_.back() = merged.size();
    later_.swap(merged);
}

}  // namespace loopweave
