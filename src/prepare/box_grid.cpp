#include "prepare/box_grid.h"

#include <cmath>

namespace loopweave {
namespace {

// More coarse cells than this and an item goes on the large list.
constexpr long kMostCoarseCells = 64;
// Live items per coarse cell beyond which the short ones move to a fine grid.
constexpr std::size_t kMostItemsPerCoarseCell = 16;
// More fine cells than this and an item stays on the coarse grid.
constexpr long kMostFineCells = 4;
// Items per fine cell beyond which the fine grid is made finer.
constexpr std::size_t kMostItemsPerFineCell = 4;
constexpr std::size_t kMostCellsPerGrid = std::size_t{1} << 24;

}  // namespace

BoxGrid::Grid::Grid(const Box& extent, std::size_t cellsWanted) : extent(extent) {
    const double width = std::max(extent.maxX - extent.minX, 0.0);
    const double height = std::max(extent.maxY - extent.minY, 0.0);
    const double wanted = static_cast<double>(std::clamp<std::size_t>(cellsWanted, 1, kMostCellsPerGrid));
    // Square cells; a flat extent gets one row or column of them.
    cellSize = std::max(std::sqrt(width * height / wanted), std::max(width, height) / wanted);
    if (!(cellSize > 0)) cellSize = 1;
    columns = static_cast<int>(std::min(width / cellSize, wanted)) + 1;
    rows = static_cast<int>(std::min(height / cellSize, wanted)) + 1;
    cells.resize(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
}

BoxGrid::CellRange BoxGrid::Grid::RangeOf(const Box& box) const {
    const auto cell = [this](double offset, int count) {
        const double index = std::floor(offset / cellSize);
        return static_cast<int>(std::clamp(index, 0.0, static_cast<double>(count - 1)));
    };
    return {cell(box.minX - extent.minX, columns), cell(box.minY - extent.minY, rows),
            cell(box.maxX - extent.minX, columns), cell(box.maxY - extent.minY, rows)};
}

BoxGrid::BoxGrid(const Box& extent, std::size_t cellsWanted, const std::vector<Box>& boxes)
    : boxes_(boxes), coarse_(extent, cellsWanted), fine_(extent, 1) {}

void BoxGrid::Insert(int item) {
    const auto index = static_cast<std::size_t>(item);
    if (listedIn_.size() <= index) {
        listedIn_.resize(index + 1, Listing{kNowhere, CellRange{0, 0, -1, -1}});
        seenAt_.resize(index + 1, 0);
        retired_.resize(index + 1, 0);
        onLargeList_.resize(index + 1, 0);
    }
    if (listedIn_[index].layer == kNowhere) ++liveItems_;
    List(item);
    const bool crowded = !fineInUse_ ? liveItems_ > kMostItemsPerCoarseCell * coarse_.cells.size()
                                                 : fineItems_ > kMostItemsPerFineCell * fine_.cells.size();
    if (crowded && fine_.cells.size() < kMostCellsPerGrid) Refine();
}

void BoxGrid::Retire(int item) {
    const auto index = static_cast<std::size_t>(item);
    if (Live(index)) {
        --liveItems_;
        if (listedIn_[index].layer == kFine) --fineItems_;
    }
    retired_[index] = 1;
}

// Cells that listed the item before on the same grid list it still. Its
// entries elsewhere are stale and go as queries meet them; should the item
// come back to such a cell first, the cell lists it twice, and queries report
// it once.
void BoxGrid::List(int item) {
    const auto index = static_cast<std::size_t>(item);
    const Box& box = boxes_[index];
    Listing& listed = listedIn_[index];
    Layer layer = kFine;
    CellRange range = fine_.RangeOf(box);
    if (!fineInUse_ || range.Count() > kMostFineCells) {
        range = coarse_.RangeOf(box);
        layer = range.Count() > kMostCoarseCells ? kLarge : kCoarse;
    }
    if (listed.layer == kFine) --fineItems_;
    if (layer == kFine) ++fineItems_;
    if (layer == kLarge) {
        if (!onLargeList_[index]) largeItems_.push_back(item);
        onLargeList_[index] = 1;
    } else {
        Grid& grid = layer == kFine ? fine_ : coarse_;
        for (int y = range.y0; y <= range.y1; ++y) {
            for (int x = range.x0; x <= range.x1; ++x) {
                if (listed.layer != layer || !listed.range.Contains(x, y)) grid.Cell(x, y).push_back(item);
            }
        }
    }
    listed = Listing{layer, range};
}

void BoxGrid::Refine() {
    fine_ = Grid(fine_.extent, 2 * liveItems_);
    fineInUse_ = true;
    for (std::size_t item = 0; item < listedIn_.size(); ++item) {
        if (!Live(item)) continue;
        // Entries on the old fine grid are gone: list such items anew.
        if (listedIn_[item].layer == kFine) {
            listedIn_[item].layer = kNowhere;
            --fineItems_;
        }
        List(static_cast<int>(item));
    }
}

void BoxGrid::Query(const Box& box, std::vector<int>& found) {
    ++query_;
    if (fineInUse_) QueryGrid(fine_, kFine, box, found);
    QueryGrid(coarse_, kCoarse, box, found);
    for (std::size_t i = 0; i < largeItems_.size();) {
        const auto item = static_cast<std::size_t>(largeItems_[i]);
        if (retired_[item] || listedIn_[item].layer != kLarge) {
            onLargeList_[item] = 0;
            largeItems_[i] = largeItems_.back();
            largeItems_.pop_back();
            continue;
        }
        ++i;
        Report(static_cast<int>(item), found);
    }
}

void BoxGrid::QueryGrid(Grid& grid, Layer layer, const Box& box, std::vector<int>& found) {
    const CellRange range = grid.RangeOf(box);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            std::vector<int>& cell = grid.Cell(x, y);
            for (std::size_t i = 0; i < cell.size();) {
                const auto item = static_cast<std::size_t>(cell[i]);
                const Listing& listed = listedIn_[item];
                // Entries of retired items, and of items listed elsewhere
                // now, are dropped as they are met.
                if (retired_[item] || listed.layer != layer || !listed.range.Contains(x, y)) {
                    cell[i] = cell.back();
                    cell.pop_back();
                    continue;
                }
                ++i;
                Report(static_cast<int>(item), found);
            }
        }
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
