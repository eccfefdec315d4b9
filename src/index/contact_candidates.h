#ifndef LOOPWEAVE_INDEX_CONTACT_CANDIDATES_H
#define LOOPWEAVE_INDEX_CONTACT_CANDIDATES_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/box.h"
#include "geometry/line_reach.h"
#include "geometry/rounding_model.h"
#include "geometry/segment.h"
#include "geometry/strip.h"
#include "index/cell_frame.h"
#include "index/sparse_box_grid.h"
#include "index/strip_pairs.h"

namespace loopweave {

// For each element of a chain, the later elements that the relation test can
// find in contact with it, so that a walk over these pairs in this order
// meets every contact the walk over all pairs meets, in the same order.
//
// Near the origin, where the rounding of the doubled areas over the chain
// stays below half the tolerance, a pair in contact lies within reach of
// each other (geometry/contact_reach.h), and most chains are listed in a
// grid: each element's box, grown by its reach (RelationReach: every pair in
// contact has boxes no farther apart, along x or y, than the larger of the
// two reaches; the smaller would not do, as a very short element counts
// points within 1e-6 / length of its line as on it, so a long one can meet it
// far outside the long one's own reach), is listed in the cells of the grid
// that it covers; two elements within reach of each other share a cell. The
// cells are about as large as the grown boxes, so an element covers a few
// cells and a cell lists a few elements, however the chain winds. A pair is
// tested only in the first cell the two share (the one at the low corner of
// their common cells), so it is met once however many cells it shares. The
// candidates are found element by element rather than stored: a chain that
// crowds into one place has nearly every pair near, and storing them would
// cost memory that grows with the square of the chain.
//
// Where the reaches are mostly many times the elements' lengths, as in a
// dense drawing of short segments, a grown box is a square that holds
// thousands of elements, although a pair in contact passes much closer: one
// segment meets the other's strip along it, within SegmentContactReach of
// it, or its strip across it, within LineContactReach of its line over its
// span. There StripPairs finds and keeps the pairs whose strips meet, each
// strip descending a packed tree of the segments' boxes; a chain with too
// many such pairs to keep is listed in the grid after all.
//
// Elements with a coordinate that is not finite, elements of no length,
// elements whose reach spans the whole chain and, in the grid, a few elements
// far larger than the cells are compared with every other.
//
// Far from the origin, where the rounding of the doubled areas over the
// chain outgrows the tolerance, no reach bounds the relation test: two short
// elements far apart along nearly one line can test as in contact. There the
// pairs whose boxes lie within a distance R of each other are found in the
// grid, and the pairs farther apart by their places in the plane of lines
// (geometry/line_reach.h), listed in a sparse grid: such a pair is in
// contact only if their lines nearly coincide. Write k for the rounding of a
// doubled area per unit (6 DBL_EPSILON M), e for an element's band
// half-width (kTolerance + G) / L, G = k S the rounding over the chain, and
// take R at least LinePlane::Apart. Two elements farther apart than R have no
// end within kTolerance of the other's ends, and none found inside the other
// (that needs R below sqrt(kTolerance) + 2 k), so a contact comes from one of:
//  - four strict opposite sides: a computed crossing, as cutting's, with
//    sin t <= k (1 / L_A + 1 / L_B + 2 / R), t the angle between the lines;
//  - B crossing A's line by strict sides while an end E of A lies on B's
//    line beyond B: E lies within (kTolerance + k (L_B + D)) / L_B of B's
//    line, D >= R its distance from where B meets A's line (or from the
//    end of B found on the wrong side, itself within k (L_A + D) / L_A of
//    A's line), so sin t < (2 k + kTolerance / L_B) / R + k / L_A + k / L_B;
//  - both ends of B on A's line, before and beyond A: they lie within e_A
//    of it, each at least R from A, so where e_A < R / 4 their projections
//    lie more than 1.9 R apart and sin t <= 1.04 e_A / R.
// So each element's place has the share kTolerance / R + 2 k + 1.1 e L / R
// over its larger side, and the pair the plane's reach, 4 k r / R; the
// offsets follow as for cutting. An element with e >= R / 4, whose band
// would cover much of the chain, or whose place overflows is compared with
// every other. R is the median element's larger side where that is more than
// LinePlane::Apart: the grid then pairs each element with its neighbours,
// and the places, which shrink as R grows, meet few others. Where the doubled
// areas could overflow, every pair is a candidate.
class ContactCandidates {
public:
    explicit ContactCandidates(const std::vector<Segment>& segments);

    // Calls visit(b) for every candidate b > a, in ascending order.
    template <typename Visit>
    void ForEachAfter(int a, Visit visit) {
        if (everyPair_ || wide_[static_cast<std::size_t>(a)]) {
            for (int b = a + 1; b < count_; ++b) visit(b);
            return;
        }
        FindNear(a);
        // Two ascending lists merged: the near ones and the wide ones after a.
        auto nearIt = found_.begin();
        auto wideIt = std::upper_bound(wideList_.begin(), wideList_.end(), a);
        while (nearIt != found_.end() || wideIt != wideList_.end()) {
            if (wideIt == wideList_.end() || (nearIt != found_.end() && *nearIt < *wideIt)) {
                visit(*nearIt++);
            } else {
                visit(*wideIt++);
            }
        }
    }

private:
    using CellRange = CellSpan<std::uint32_t>;  // the cells a grown box covers
    // All that the test of a pair reads about a narrow element, side by side.
    struct Narrow {
        Box box;
        double reach;
        CellRange cells;
    };

    CellRange CellsOf(const Box& grown) const;
    // Marks the elements that are narrow and returns every element's box
    // grown by its reach and pad (empty for the others).
    std::vector<Box> GrownBoxes(const std::vector<Segment>& segments, const std::vector<Box>& boxes,
                                const RoundingModel& rounding);
    // Chooses the cell size, and marks as wide the few elements far larger
    // than the cells; false when no element is narrow.
    bool ChooseCells(const std::vector<Box>& grown);
    // Chooses the cells and lists each narrow element in the cells its grown
    // box covers.
    void ListInCells(const std::vector<Box>& grown);
    // Near the origin, where the elements' reaches are mostly many times
    // their lengths, so that strips find their pairs faster than the grid:
    // keeps the pairs along the strips of every element that has length;
    // false, keeping none, otherwise or when they are too many.
    bool PairAlongStrips(const std::vector<Segment>& segments, const RoundingModel& rounding);
    // The strips along and across an element near the origin.
    static bool NearStrips(const Segment& s, const RoundingModel& rounding, std::vector<Strip>& strips);
    // Far from the origin: the distance apart beyond which pairs are sought
    // by their places, and each narrow element's place, listed.
    double FarApart(const std::vector<Segment>& segments) const;
    void ListPlaces(const std::vector<Segment>& segments, const RoundingModel& rounding);
    // Adds to found_ the elements after a whose places meet a's.
    void AddPlacedNear(int a);
    // Fills found_ with the narrow elements after the narrow element a that
    // are paired with it along strips, or lie within the pair's reach in the
    // grid or have places that meet its own, ascending.
    void FindNear(int a);
    // Merges the ascending runs of found_ that start at runStarts_ into one.
    void MergeRuns();

    int count_;
    bool everyPair_ = false;
    std::vector<bool> wide_;
    std::vector<int> wideList_;  // the wide elements, ascending
    std::optional<StripPairs> pairs_;  // near the origin, unless the grid is used instead
    // Far from the origin: the plane of lines, each narrow element's place
    // in it, listed in a sparse grid, and the reach about which they are sought.
    std::optional<LinePlane> plane_;
    std::vector<Box> places_;
    std::optional<SparseBoxGrid> placeGrid_;
    double apart_ = 0;
    double placeReach_ = 0;
    std::vector<int> placed_;
    std::vector<Narrow> narrow_;  // by element, set for the narrow ones
    double origin_[2] = {0, 0};
    double cellSize_ = 1;
    // The occupied cells are numbered densely. Element i covers the cells
    // cellsCovered_[firstCovered_[i]] onwards, column by column through its
    // range, row by row within a column; cell c lists its elements,
    // ascending, in listed_ from firstListed_[c] to firstListed_[c + 1].
    std::vector<std::size_t> firstCovered_;
    std::vector<int> cellsCovered_;
    std::vector<std::size_t> firstListed_;
    std::vector<int> listed_;
    std::vector<int> found_;
    std::vector<std::size_t> runStarts_;
    std::vector<int> merged_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_CONTACT_CANDIDATES_H
