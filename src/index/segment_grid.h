#ifndef LOOPWEAVE_INDEX_SEGMENT_GRID_H
#define LOOPWEAVE_INDEX_SEGMENT_GRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/box.h"
#include "geometry/point.h"
#include "geometry/strip.h"
#include "index/cell_frame.h"

namespace loopweave {

// A fixed set of segments, each listed in the cells of a grid that it passes
// through: asked along a band, the grid reads the cells the band passes, a
// row of them, where a box around a band at a slant would cover the whole
// grid. Segments and bands beyond the extent are clamped to its border cells.
class SegmentGrid {
public:
    struct Segment {
        Point start;
        Point end;
    };

    // About one cell per segment; the walks along segments and bands are
    // grown by `pad` to cover the rounding of their course.
    SegmentGrid(const Box& extent, const std::vector<Segment>& segments, double pad);

    // Appends the number of every segment listed in a cell that the band
    // passes, each once, in no particular order.
    void Along(const Strip& band, std::vector<int>& found);

private:
    CellFrame frame_;
    double pad_;
    // The segments of each cell, packed: cell c lists items_[from_[c]] up to
    // items_[from_[c + 1]].
    std::vector<std::size_t> from_;
    std::vector<int> items_;
    std::vector<std::uint64_t> seenAt_;  // by segment: the last band that found it
    std::uint64_t band_ = 0;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_SEGMENT_GRID_H
