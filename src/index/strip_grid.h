#ifndef LOOPWEAVE_INDEX_STRIP_GRID_H
#define LOOPWEAVE_INDEX_STRIP_GRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/box.h"
#include "geometry/strip.h"
#include "index/candidate_index.h"
#include "index/cell_frame.h"

namespace loopweave {

// A fixed set of strips, each listed in the cells of a grid that it passes:
// asked along a band, the grid reads the cells the band passes, a row of
// them, where a box around a band at a slant would cover the whole grid.
// Strips and bands beyond the extent are clamped to its border cells.
class StripGrid {
public:
    // About one cell per strip. A segment is stored as a strip along it, as
    // wide as the rounding of its course needs.
    StripGrid(const Box& extent, const std::vector<Strip>& strips);

    // Appends the number of every strip listed in a cell that the band
    // passes, each once, in no particular order.
    void QueryAlong(const Strip& band, std::vector<int>& found);

private:
    CellFrame frame_;
    // The strips of each cell, packed: cell c lists items_[from_[c]] up to
    // items_[from_[c + 1]].
    std::vector<std::size_t> from_;
    std::vector<int> items_;
    std::vector<std::uint64_t> seenAt_;  // by strip: the last band that found it
    std::uint64_t band_ = 0;
};

static_assert(Answers<AlongBand, StripGrid>::value, "asked as every index is");

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_STRIP_GRID_H
