#include "index/packed_box_tree.h"

#include <algorithm>
#include <cmath>

#include "index/tuning.h"

namespace loopweave {
namespace {

// Twice the centre: the order is the same, and no rounding of a halving.
double CentreX(const Box& box) { return box.minX + box.maxX; }
double CentreY(const Box& box) { return box.minY + box.maxY; }

// Sorts by one centre coordinate, then by the other, then by item. Many
// boxes can share a centre coordinate, as the sides of nested squares do, and
// ordered by the other one too they still fall into slices and leaves of
// boxes that lie together. The order is only a matter of speed, as every
// query reports the same set whatever it is; the item makes it the same on
// every run all the same.
template <typename First, typename Second>
void SortBy(std::vector<PackedBoxTree::Entry>::iterator from, std::vector<PackedBoxTree::Entry>::iterator to,
            First first, Second second) {
    std::sort(from, to, [&](const PackedBoxTree::Entry& a, const PackedBoxTree::Entry& b) {
        const double firstA = first(a.box);
        const double firstB = first(b.box);
        if (firstA != firstB) return firstA < firstB;
        const double secondA = second(a.box);
        const double secondB = second(b.box);
        if (secondA != secondB) return secondA < secondB;
        return a.item < b.item;
    });
}

}  // namespace

PackedBoxTree::PackedBoxTree(std::vector<Entry> entries) : entries_(std::move(entries)), live_(entries_.size(), true) {
    if (entries_.empty()) return;
    const std::size_t leaves = (entries_.size() + tuning::kTreeFanOut - 1) / tuning::kTreeFanOut;
    const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(leaves))));
    const std::size_t perSlice = slices * tuning::kTreeFanOut;
    SortBy(entries_.begin(), entries_.end(), CentreX, CentreY);
    for (std::size_t first = 0; first < entries_.size(); first += perSlice) {
        const std::size_t last = std::min(first + perSlice, entries_.size());
        SortBy(entries_.begin() + static_cast<std::ptrdiff_t>(first), entries_.begin() + static_cast<std::ptrdiff_t>(last),
               CentreY, CentreX);
    }

    // Each level over the one below, up to a single root.
    std::vector<Node> level;
    for (std::size_t first = 0; first < entries_.size(); first += tuning::kTreeFanOut) {
        const std::size_t last = std::min(first + tuning::kTreeFanOut, entries_.size());
        Node leaf{entries_[first].box, last - first};
        for (std::size_t entry = first + 1; entry < last; ++entry) leaf.box = leaf.box.Joined(entries_[entry].box);
        level.push_back(leaf);
    }
    levels_.push_back(std::move(level));
    while (levels_.back().size() > 1) {
        const std::vector<Node>& below = levels_.back();
        std::vector<Node> above;
        for (std::size_t first = 0; first < below.size(); first += tuning::kTreeFanOut) {
            const std::size_t last = std::min(first + tuning::kTreeFanOut, below.size());
            Node node = below[first];
            for (std::size_t child = first + 1; child < last; ++child) {
                node.box = node.box.Joined(below[child].box);
                node.live += below[child].live;
            }
            above.push_back(node);
        }
        levels_.push_back(std::move(above));
    }
}

void PackedBoxTree::Drop(std::size_t entry) {
    live_[entry] = false;
    std::size_t node = entry;
    for (std::vector<Node>& level : levels_) {
        node /= tuning::kTreeFanOut;
        --level[node].live;
    }
}

void PackedBoxTree::Query(const Box& box, std::vector<int>& found) const {
    const auto meets = [&](const Box& other) { return box.Meets(other); };
    if (!levels_.empty()) Descend(levels_.size() - 1, 0, meets, found);
}

void PackedBoxTree::QueryAlong(const Strip& band, std::vector<int>& found) const {
    const auto meets = [&](const Box& other) { return band.Meets(other); };
    if (!levels_.empty()) Descend(levels_.size() - 1, 0, meets, found);
}

template <typename Meets>
void PackedBoxTree::Descend(std::size_t level, std::size_t node, const Meets& meets, std::vector<int>& found) const {
    const Node& here = levels_[level][node];
    if (here.live == 0 || !meets(here.box)) return;
    const std::size_t first = node * tuning::kTreeFanOut;
    if (level == 0) {
        const std::size_t last = std::min(first + tuning::kTreeFanOut, entries_.size());
        for (std::size_t entry = first; entry < last; ++entry) {
            if (live_[entry] && meets(entries_[entry].box)) found.push_back(entries_[entry].item);
        }
        return;
    }
    const std::size_t last = std::min(first + tuning::kTreeFanOut, levels_[level - 1].size());
    for (std::size_t child = first; child < last; ++child) Descend(level - 1, child, meets, found);
}

}  // namespace loopweave
