#include "index/packed_box_tree.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "geometry/point.h"
#include "index/tuning.h"

namespace loopweave {
namespace {

// Twice the centre: no rounding of a halving.
double CentreX(const Box& box) { return box.minX + box.maxX; }
double CentreY(const Box& box) { return box.minY + box.maxY; }

// The place along a Hilbert curve of the cell (x, y) of a grid 2^16 cells
// wide: cells near each other along the curve lie near each other in the
// plane, and any stretch of the curve covers a compact patch of cells.
std::uint32_t HilbertPlace(std::uint32_t x, std::uint32_t y) {
    std::uint32_t place = 0;
    for (std::uint32_t half = 1u << 15; half > 0; half /= 2) {
        const std::uint32_t right = (x & half) != 0 ? 1 : 0;
        const std::uint32_t upper = (y & half) != 0 ? 1 : 0;
        place += half * half * ((3 * right) ^ upper);
        // Turn the quadrant so that the curve within it runs from the cell
        // where it enters to the one where it leaves.
        if (upper == 0) {
            if (right == 1) {
                x = half - 1 - (x & (half - 1));
                y = half - 1 - (y & (half - 1));
            }
            std::swap(x, y);
        }
    }
    return place;
}

// Sorts the entries by their centres' places along a Hilbert curve over the
// centres' extent; ties go by item.
void SortAlongHilbertCurve(std::vector<PackedBoxTree::Entry>& entries) {
    Box centres{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const PackedBoxTree::Entry& entry : entries) {
        const Point centre{CentreX(entry.box), CentreY(entry.box)};
        if (IsFinite(centre)) centres = centres.Joined(Box::Around(centre, centre));
    }
    constexpr double kCells = 65536;
    const auto cell = [&](double value, double low, double high) {
        const double at = std::floor((value - low) / (high - low) * kCells);
        return at > 0 ? static_cast<std::uint32_t>(std::min(at, kCells - 1)) : 0;
    };
    std::vector<std::pair<std::uint32_t, std::size_t>> order;
    order.reserve(entries.size());
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const Point centre{CentreX(entries[e].box), CentreY(entries[e].box)};
        // A centre that is not finite goes to the far end of the curve.
        const std::uint32_t place = IsFinite(centre) ? HilbertPlace(cell(centre.x, centres.minX, centres.maxX),
                                                                    cell(centre.y, centres.minY, centres.maxY))
                                                     : UINT32_MAX;
        order.emplace_back(place, e);
    }
    std::sort(order.begin(), order.end(), [&](const auto& x, const auto& y) {
        if (x.first != y.first) return x.first < y.first;
        return entries[x.second].item < entries[y.second].item;
    });
    std::vector<PackedBoxTree::Entry> sorted;
    sorted.reserve(entries.size());
    for (const auto& [place, e] : order) sorted.push_back(entries[e]);
    entries.swap(sorted);
}

}  // namespace

// The entries go in the order of their centres along a Hilbert curve over
// the centres' extent, sixteen to a leaf, and each level's nodes sixteen to a
// node of the next in that order, so every node holds a compact patch of
// entries. (Packed in vertical slices instead, as in sort-tile-recursive
// packing, a slice across a ring held both of its arcs, so a node's box
// spanned the ring's inside, and a band along one element of a long ring met
// about the square root of its entries.) The order is only a matter of
// speed, as every query reports the same set whatever it is; ties go by item,
// so that it is the same on every run all the same.
PackedBoxTree::PackedBoxTree(std::vector<Entry> entries) : entries_(std::move(entries)), live_(entries_.size(), true) {
    if (entries_.empty()) return;
    SortAlongHilbertCurve(entries_);

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
    const Strip::BoxTest test(band);
    const auto meets = [&](const Box& other) { return test.Meets(other); };
    if (!levels_.empty()) Descend(levels_.size() - 1, 0, meets, found);
}

void PackedBoxTree::QueryAlong(const std::vector<Strip::BoxTest>& bands, std::vector<int>& found) const {
    const auto meets = [&](const Box& other) {
        return std::any_of(bands.begin(), bands.end(), [&](const Strip::BoxTest& test) { return test.Meets(other); });
    };
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
