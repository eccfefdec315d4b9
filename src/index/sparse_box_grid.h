#ifndef LOOPWEAVE_INDEX_SPARSE_BOX_GRID_H
#define LOOPWEAVE_INDEX_SPARSE_BOX_GRID_H

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "geometry/box.h"
#include "index/box_table.h"
#include "index/cell_frame.h"
#include "index/cell_listing.h"
#include "index/cell_table.h"
#include "index/tuning.h"

namespace loopweave {

// Cells of fixed size without bounds, only those that list an item kept, in
// a hash table by level, column and row; and levels of ever coarser cells,
// eight times as wide each, for the larger boxes. Made for items crowded into
// a few places of a large plane, as lines are in the plane of their angles
// and offsets (geometry/line_reach.h): most lines of a map run at a few
// angles, and a grid over the whole plane, with cells sized for the count of
// items, puts thousands into one cell where the boxes asked about are a
// thousandth of its width. Here a cell is as wide as the boxes asked about.
//
// An item is listed on the finest level whose cells are at least as wide as
// its box, in the two cells or fewer it reaches into along each axis; one
// wider than the coarsest level's cells is reported to every query. A query
// skips the levels whose boxes all lie away from it. Its box
// is read from the owner's table, which the owner keeps current and reports
// changes of (Insert); entries left behind go as queries meet them. A cell's
// entries are linked in one table of entries, so that listing an item costs
// no allocation of its own.
class SparseBoxGrid {
public:
    // Cells on the finest level `cellSize` wide: about as wide as the boxes
    // asked about, which then reach into two cells or fewer each way. Room
    // for about `items` items from the start.
    SparseBoxGrid(double cellSize, std::size_t items, BoxTable boxes);

    // Lists the item, new or with a new box; an item whose box is empty, nowhere.
    void Insert(int item);

    // Takes the item off the grid; inserted again, it is listed afresh.
    void Retire(int item);

    // Appends to `found` every item listed in a cell that the box reaches,
    // on every level, each once, in no particular order.
    void Query(const Box& box, std::vector<int>& found);

private:
    static constexpr int kNone = -1;
    static constexpr int kWide = tuning::kSparseLevels;  // the level of the items reported to every query
    static_assert(kWide <= 127, "levels are numbered in a byte (CellListing::Level)");

    using Range = CellSpan<std::int64_t>;
    using Listing = CellListing<std::int64_t>;  // by item
    struct Entry {
        int item;
        int next;
    };

    Range RangeOf(int level, const Box& box) const;
    static std::uint64_t Key(int level, std::int64_t x, std::int64_t y);
    static int LevelOf(std::uint64_t key);
    static std::pair<std::int64_t, std::int64_t> CellOf(std::uint64_t key);
    void Link(int level, std::int64_t x, std::int64_t y, int item);
    // Reports the live items of a cell, whose first entry is `first`, and
    // unlinks the stale ones.
    void ReadCell(int level, std::int64_t x, std::int64_t y, int& first, std::vector<int>& found);
    Listing& ListingOf(int item);

    BoxTable boxes_;
    std::vector<double> cellSizes_;   // by level
    std::vector<double> cellScales_;  // by level: the inverse of the size
    std::vector<std::size_t> live_;  // items listed, by level and then the wide ones: a level without any is not asked
    std::vector<Box> reached_;       // by level: around every box listed there, so that a query far from all skips it
    CellTable cells_;                // by key: the first of the cell's entries
    std::vector<Entry> entries_;
    int freeEntry_ = kNone;  // entries unlinked, linked through `next`
    std::vector<int> wide_;  // items listed on no level, reported to every query
    std::vector<Listing> listings_;  // by item
    QueryStamps stamps_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_SPARSE_BOX_GRID_H
