#ifndef LOOPWEAVE_INDEX_SPARSE_BOX_GRID_H
#define LOOPWEAVE_INDEX_SPARSE_BOX_GRID_H

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/box.h"
#include "index/box_table.h"
#include "index/candidate_index.h"

namespace loopweave {

// Cells of fixed size without bounds, only those that list an item kept, in
// a hash table by column and row; and levels of ever coarser cells, eight
// times as wide each, for the larger boxes. Made for items crowded into a
// few places of a large plane, as lines are in the plane of their angles and
// offsets (geometry/line_reach.h): most lines of a map run at a few angles,
// and a grid over the whole plane, with cells sized for the count of items,
// puts thousands into one cell where the boxes asked about are a thousandth
// of its width. Here a cell is as wide as the boxes asked about.
//
// An item is listed on the finest level whose cells are at least as wide as
// its box, in the two cells or fewer it reaches into along each axis. Its box
// is read from the owner's table, which the owner keeps current and reports
// changes of (Insert); entries left behind go as queries meet them.
class SparseBoxGrid {
public:
    // Cells on the finest level `cellSize` wide: about as wide as the boxes
    // asked about, which then reach into two cells or fewer each way.
    SparseBoxGrid(double cellSize, BoxTable boxes);

    // Lists the item, new or with a new box; an item whose box is empty, nowhere.
    void Insert(int item);

    // Takes the item off the grid for good.
    void Retire(int item);

    // Appends to `found` every item listed in a cell that the box reaches,
    // on every level, each once, in no particular order.
    void Query(const Box& box, std::vector<int>& found);

private:
    // The cells a box reaches into on a level, inclusive.
    struct Range {
        std::int64_t x0, y0, x1, y1;
        bool Contains(std::int64_t x, std::int64_t y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
        bool operator==(const Range& other) const {
            return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
        }
    };
    struct Level {
        double cellSize;
        std::size_t live = 0;  // items listed here: a level without any is not asked
        std::unordered_map<std::uint64_t, std::vector<int>> cells;
    };
    struct Listing {
        Range range;
        std::uint64_t seenAt;  // the last query that found it
        int level;             // -1 while not listed
        bool retired;
    };

    Range RangeOf(const Level& level, const Box& box) const;
    static std::uint64_t Key(std::int64_t x, std::int64_t y);
    // Reports the live items of the cell at column x and row y of a level.
    void ReadCell(int level, std::int64_t x, std::int64_t y, std::vector<int>& items, std::vector<int>& found);
    Listing& ListingOf(int item);

    BoxTable boxes_;
    std::vector<Level> levels_;
    std::vector<Listing> listings_;  // by item
    std::uint64_t query_ = 0;
};

static_assert(Answers<ByBox, SparseBoxGrid>::value, "asked as every index is");

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_SPARSE_BOX_GRID_H
