#ifndef LOOPWEAVE_INDEX_CELL_LISTING_H
#define LOOPWEAVE_INDEX_CELL_LISTING_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "index/cell_frame.h"

namespace loopweave {

// How the grids of items that move (BoxGrid, SparseBoxGrid) list an item: on
// one level of cells, in the cells of one span there. An item that moves is
// listed in the cells it newly reaches, and an entry left behind, or of a
// retired item, is dropped when a query reads it and finds it no longer
// stands. A query reports an item once however many of its cells it reads.
template <typename Index>
struct CellListing {
    using Level = std::int8_t;  // a byte, as a query compares it for every entry
    static constexpr Level kNowhere = -1;

    CellSpan<Index> range;
    std::uint64_t seenAt;  // the last query that reported it (QueryStamps)
    int item;
    Level level;
    bool retired;

    bool Live() const { return level != kNowhere && !retired; }
    // Whether its entry in cell (x, y) of level `on` is stale: left behind, or retired.
    bool StaleAt(Level on, Index x, Index y) const { return retired || level != on || !range.Contains(x, y); }

    // Lists it in `cells` of level `to`, calling `link` with each cell that
    // does not list it yet: should it come back to a cell it left, that cell
    // lists it twice, and queries report it once.
    template <typename Link>
    void Relist(Level to, const CellSpan<Index>& cells, Link&& link) {
        for (Index y = cells.y0; y <= cells.y1; ++y) {
            for (Index x = cells.x0; x <= cells.x1; ++x) {
                if (level != to || !range.Contains(x, y)) link(x, y);
            }
        }
        level = to;
        range = cells;
    }
};

// Numbers queries: an item stamped with the running query's number has been
// reported. The stamp lives in the item's listing, which a query reads
// anyway, or in a table by item kept here.
class QueryStamps {
public:
    // Before each query.
    void NextQuery() { ++query_; }

    // Whether the running query meets for the first time what `seenAt`
    // stamps, or the item numbered `item`; stamps it.
    bool First(std::uint64_t& seenAt) const {
        if (seenAt == query_) return false;
        seenAt = query_;
        return true;
    }
    bool FirstOf(std::size_t item) {
        if (seen_.size() <= item) seen_.resize(item + 1, 0);
        return First(seen_[item]);
    }

private:
    std::uint64_t query_ = 0;
    std::vector<std::uint64_t> seen_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_CELL_LISTING_H
