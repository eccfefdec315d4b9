#include "index/sparse_box_grid.h"

#include <algorithm>
#include <cmath>

#include "index/tuning.h"

namespace loopweave {

SparseBoxGrid::SparseBoxGrid(double cellSize, BoxTable boxes) : boxes_(boxes) {
    levels_.push_back(Level{cellSize > 0 && std::isfinite(cellSize) ? cellSize : 1.0, 0, {}});
}

// Columns and rows beyond a bound far past any plane asked about are clamped
// to it, as a grid clamps to its border cells: two boxes that meet still
// reach a common cell.
SparseBoxGrid::Range SparseBoxGrid::RangeOf(const Level& level, const Box& box) const {
    static constexpr double kMost = 0x1p30;
    const auto cell = [&level](double at) {
        return static_cast<std::int64_t>(std::clamp(std::floor(at / level.cellSize), -kMost, kMost));
    };
    return {cell(box.minX), cell(box.minY), cell(box.maxX), cell(box.maxY)};
}

std::uint64_t SparseBoxGrid::Key(std::int64_t x, std::int64_t y) {
    return (static_cast<std::uint64_t>(x) << 32) ^ static_cast<std::uint64_t>(static_cast<std::uint32_t>(y));
}

SparseBoxGrid::Listing& SparseBoxGrid::ListingOf(int item) {
    const auto index = static_cast<std::size_t>(item);
    if (listings_.size() <= index) listings_.resize(index + 1, Listing{Range{0, 0, -1, -1}, 0, -1, false});
    return listings_[index];
}

// A box as wide as a level's cells reaches into two of them at most each way.
// Cells that listed the item before on the same level list it still. An
// empty box is listed nowhere.
void SparseBoxGrid::Insert(int item) {
    Listing& listing = ListingOf(item);
    if (listing.retired) return;
    const Box& box = boxes_[static_cast<std::size_t>(item)];
    if (!(box.minX <= box.maxX && box.minY <= box.maxY)) {
        if (listing.level >= 0) --levels_[static_cast<std::size_t>(listing.level)].live;
        listing.level = -1;
        return;
    }
    const double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
    std::size_t level = 0;
    while (levels_[level].cellSize < size) {
        if (level + 1 == levels_.size()) {
            levels_.push_back(Level{levels_[level].cellSize * tuning::kSparseCoarserBy, 0, {}});
        }
        ++level;
    }
    Level& on = levels_[level];
    const Range range = RangeOf(on, box);
    const bool sameLevel = listing.level == static_cast<int>(level);
    if (sameLevel && listing.range == range) return;
    if (!sameLevel) {
        if (listing.level >= 0) --levels_[static_cast<std::size_t>(listing.level)].live;
        ++on.live;
    }
    for (std::int64_t y = range.y0; y <= range.y1; ++y) {
        for (std::int64_t x = range.x0; x <= range.x1; ++x) {
            if (!sameLevel || !listing.range.Contains(x, y)) on.cells[Key(x, y)].push_back(item);
        }
    }
    listing.level = static_cast<int>(level);
    listing.range = range;
}

void SparseBoxGrid::Retire(int item) {
    Listing& listing = ListingOf(item);
    if (listing.retired) return;
    if (listing.level >= 0) --levels_[static_cast<std::size_t>(listing.level)].live;
    listing.retired = true;
}

// A box that reaches into more cells of a level than the level lists reads
// the listed ones instead.
void SparseBoxGrid::Query(const Box& box, std::vector<int>& found) {
    ++query_;
    for (std::size_t level = 0; level < levels_.size(); ++level) {
        Level& on = levels_[level];
        if (on.live == 0) continue;
        const Range range = RangeOf(on, box);
        const double reached = (static_cast<double>(range.x1 - range.x0) + 1) * (static_cast<double>(range.y1 - range.y0) + 1);
        if (reached > static_cast<double>(on.cells.size())) {
            for (auto& [key, items] : on.cells) {
                const auto x = static_cast<std::int64_t>(static_cast<std::int32_t>(key >> 32));
                const auto y = static_cast<std::int64_t>(static_cast<std::int32_t>(key & 0xffffffffU));
                if (range.Contains(x, y)) ReadCell(static_cast<int>(level), x, y, items, found);
            }
            continue;
        }
        for (std::int64_t y = range.y0; y <= range.y1; ++y) {
            for (std::int64_t x = range.x0; x <= range.x1; ++x) {
                const auto cell = on.cells.find(Key(x, y));
                if (cell != on.cells.end()) ReadCell(static_cast<int>(level), x, y, cell->second, found);
            }
        }
    }
}

// Entries of retired items, and of items listed elsewhere now, are dropped
// as they are met.
void SparseBoxGrid::ReadCell(int level, std::int64_t x, std::int64_t y, std::vector<int>& items,
                             std::vector<int>& found) {
    for (std::size_t i = 0; i < items.size();) {
        Listing& listing = listings_[static_cast<std::size_t>(items[i])];
        if (listing.retired || listing.level != level || !listing.range.Contains(x, y)) {
            items[i] = items.back();
            items.pop_back();
            continue;
        }
        if (listing.seenAt != query_) {
            listing.seenAt = query_;
            found.push_back(items[i]);
        }
        ++i;
    }
}

}  // namespace loopweave
