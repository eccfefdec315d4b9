#include "prepare/box_grid.h"

#include <algorithm>
#include <cmath>

namespace loopweave {

BoxGrid::BoxGrid(const Box& extent, std::size_t cellsWanted) : extent_(extent) {
    const double width = std::max(extent.maxX - extent.minX, 0.0);
    const double height = std::max(extent.maxY - extent.minY, 0.0);
    const double cells = static_cast<double>(std::min<std::size_t>(std::max<std::size_t>(cellsWanted, 1), 1u << 24));
    // Square cells; a flat extent gets one row or column of them.
    cellSize_ = std::max(std::sqrt(width * height / cells), std::max(width, height) / cells);
    if (!(cellSize_ > 0)) cellSize_ = 1;
    columns_ = static_cast<int>(std::min(width / cellSize_, cells)) + 1;
    rows_ = static_cast<int>(std::min(height / cellSize_, cells)) + 1;
    cells_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
}

int BoxGrid::Column(double x) const {
    const double column = std::floor((x - extent_.minX) / cellSize_);
    return static_cast<int>(std::clamp(column, 0.0, static_cast<double>(columns_ - 1)));
}

int BoxGrid::Row(double y) const {
    const double row = std::floor((y - extent_.minY) / cellSize_);
    return static_cast<int>(std::clamp(row, 0.0, static_cast<double>(rows_ - 1)));
}

BoxGrid::CellRange BoxGrid::RangeOf(const Box& box) const {
    return {Column(box.minX), Row(box.minY), Column(box.maxX), Row(box.maxY)};
}

namespace {

// More cells than this and an item goes on the large list.
constexpr int kMostCells = 64;

}  // namespace

void BoxGrid::Insert(int item, const Box& box) {
    const auto index = static_cast<std::size_t>(item);
    if (listedIn_.size() <= index) {
        listedIn_.resize(index + 1, CellRange{1, 1, 0, 0});
        seenAt_.resize(index + 1, 0);
        retired_.resize(index + 1, 0);
        large_.resize(index + 1, 0);
        onLargeList_.resize(index + 1, 0);
    }
    const CellRange range = RangeOf(box);
    CellRange& listed = listedIn_[index];
    const long cells = static_cast<long>(range.x1 - range.x0 + 1) * (range.y1 - range.y0 + 1);
    large_[index] = cells > kMostCells;
    if (large_[index]) {
        listed = CellRange{1, 1, 0, 0};  // its cell entries are stale now
        if (!onLargeList_[index]) largeItems_.push_back(item);
        onLargeList_[index] = 1;
        return;
    }
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            if (!listed.Contains(x, y)) cells_[static_cast<std::size_t>(y) * columns_ + x].push_back(item);
        }
    }
    // Every cell of the new range lists the item now. Cells of the old range
    // outside it keep their entries until a query drops them; should the item
    // return there first, it is listed twice, and queries report it once.
    listed = range;
}

void BoxGrid::Query(const Box& box, std::vector<int>& found) {
    ++query_;
    const CellRange range = RangeOf(box);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            std::vector<int>& cell = cells_[static_cast<std::size_t>(y) * columns_ + x];
            for (std::size_t i = 0; i < cell.size();) {
                const int item = cell[i];
                // Entries of retired items, and of items whose box no longer
                // reaches this cell, are dropped as they are met.
                if (retired_[static_cast<std::size_t>(item)] || !listedIn_[static_cast<std::size_t>(item)].Contains(x, y)) {
                    cell[i] = cell.back();
                    cell.pop_back();
                    continue;
                }
                ++i;
                Report(item, found);
            }
        }
    }
    for (std::size_t i = 0; i < largeItems_.size();) {
        const auto item = static_cast<std::size_t>(largeItems_[i]);
        if (retired_[item] || !large_[item]) {
            onLargeList_[item] = 0;
            largeItems_[i] = largeItems_.back();
            largeItems_.pop_back();
            continue;
        }
        ++i;
        Report(static_cast<int>(item), found);
    }
}

// Appends the item unless this query has reported it already.
void BoxGrid::Report(int item, std::vector<int>& found) {
    std::uint64_t& seen = seenAt_[static_cast<std::size_t>(item)];
    if (seen == query_) return;
    seen = query_;
    found.push_back(item);
}

}  // namespace loopweave
