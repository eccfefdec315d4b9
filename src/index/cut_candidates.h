#ifndef LOOPWEAVE_INDEX_CUT_CANDIDATES_H
#define LOOPWEAVE_INDEX_CUT_CANDIDATES_H

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "geometry/box.h"
#include "geometry/line_reach.h"
#include "geometry/strip.h"
#include "index/box_grid.h"
#include "index/box_table.h"
#include "index/cell_listing.h"
#include "index/sparse_box_grid.h"

namespace loopweave {

// The pieces that cutting's walk over nearby pairs may pair with a piece,
// under the contract of candidate_index.h; their boxes and places are read
// from the owner's tables, which the owner keeps current (Update). Near the
// origin the grid is asked along a band only for a region whose box spans
// many cells both ways, and, as no region asks beyond its piece's band, may
// hold a long line at a slant by stretches of the band; far
// from it long lines are held by their boxes and found by their places.
class CutCandidates {
public:
    // Over `extent`, sized for about `pieces` pieces; bands asked along are
    // padded by `pad` for the rounding of the cells' edges.
    CutCandidates(const Box& extent, std::size_t pieces, BoxTable boxes, double pad);

    // Lists the pieces by their places in `plane` too, read from `places`,
    // in cells `cellSize` wide, about as wide as a place asked about. Before
    // Load.
    void ListPlaces(const LinePlane& plane, BoxTable places, double cellSize);

    // Lists the pieces present from the start, once, before anything else:
    // near the origin, those that `bandOf` gives a band for may be held by
    // stretches of it (BoxGrid::Load).
    void Load(const std::vector<int>& pieces, const BoxGrid::BandOf& bandOf);
    // Lists the piece, new or with a new box or place.
    void Update(int piece);
    // Takes the piece off; updated again, it is listed afresh.
    void Retire(int piece);
    // Gives the entries of `from` to `to`, a piece cut off it and not listed
    // yet (BoxGrid::HandOver); both are to be updated next.
    void HandOver(int from, int to) { grid_.HandOver(from, to); }

    // Appends, each once and in no particular order, every piece that
    // `accept` accepts of those whose own box, or place, may meet the region
    // with the box `box`, narrowed near the origin by `narrowedBy` unless
    // null, and far from the origin with the place `*place`.
    template <typename Accept>
    void Find(const Box& box, const Strip* narrowedBy, const Box* place, const Accept& accept,
              std::vector<int>& found) {
        const std::size_t from = found.size();
        Gather(box, narrowedBy, place, found);
        const auto first = found.begin() + static_cast<std::ptrdiff_t>(from);
        found.erase(std::remove_if(first, found.end(), [&](int piece) { return !accept(piece); }), found.end());
        if (!places_) return;
        stamps_.NextQuery();
        std::size_t kept = from;
        for (std::size_t i = from; i < found.size(); ++i) {
            if (stamps_.FirstOf(static_cast<std::size_t>(found[i]))) found[kept++] = found[i];
        }
        found.resize(kept);
    }

private:
    // Appends what the grids list where the region lies: a piece listed by
    // both, or by the grid of places a half turn on too, more than once.
    void Gather(const Box& box, const Strip* narrowedBy, const Box* place, std::vector<int>& found);

    BoxGrid grid_;
    std::size_t pieces_;
    double pad_;
    double slant_;  // the least width and height of a box asked about along its band
    const LinePlane* plane_ = nullptr;
    std::optional<SparseBoxGrid> places_;
    QueryStamps stamps_;  // by piece: far from the origin, the pieces found twice are dropped
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_CUT_CANDIDATES_H
