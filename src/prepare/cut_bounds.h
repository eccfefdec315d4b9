#ifndef LOOPWEAVE_PREPARE_CUT_BOUNDS_H
#define LOOPWEAVE_PREPARE_CUT_BOUNDS_H

#include "geometry/contact_reach.h"
#include "geometry/point.h"
#include "prepare/box.h"

namespace loopweave {

// The pieces between which CutReach bounds cutting: those that lie within
// the allowed extent, the drawing's grown by a margin far wider than cut
// points stray from it (each is an end of another piece or lies on both
// pieces but for a few units in the last place), and are short for its
// coordinates (CutReachHolds).
//
// Any other piece gets a larger box in the walk, from the start or once cut.
// A long piece A inside the extent can change, or be changed by, a piece B
// farther away than the reach only where B comes within
// h = (kTolerance + G) / L of A's line, G the rounding bound over the
// extent: a point found on A's line or inside A lies that close, and so does
// an end of B whose strict side against A is flipped; and if neither end is
// flipped, B meets A's line. (A's ends found inside a short B lie within the
// reach of B.) So A's box joined with the box of the strip within h of its
// line across the extent meets every such B; for a piece along an axis that
// is a thin band. A piece outside the extent gets the extent itself: it is
// paired with every piece.
class CutBounds {
public:
    explicit CutBounds(const Box& extent);

    // The sum of the sides bounds the length from above.
    bool Bound(const Box& box) const {
        return allowed_.Contains(box) &&
               CutReachHolds(magnitude_, spread_, (box.maxX - box.minX) + (box.maxY - box.minY));
    }

    // The box the walk gives a finite piece from `start` to `end`, whose own
    // box is `box`.
    Box WalkBox(const Box& box, const Point& start, const Point& end) const {
        if (Bound(box)) return box;
        if (!allowed_.Contains(box)) return allowed_;
        return box.Joined(Strip(start, end));
    }

    // Whether a box meets the walk box of every piece.
    bool CoversAll(const Box& box) const { return box.Contains(allowed_); }

    // About how many of the pieces the walk pairs with a piece of this walk
    // box, as a share of all: the share of the extent's area it covers.
    double ShareCovered(const Box& walkBox) const;

private:
    // Relative to the largest coordinate: room for more cuts of one piece
    // than there can be pieces.
    static constexpr int kMarginExponent = -20;
    // Relative to the largest coordinate and the spread: far more than the
    // rounding of the strip's ends.
    static constexpr int kPadExponent = -40;

    // The box around the points of the extent within h of the line through
    // `start` and `end`, the ends of a piece within the extent that is long
    // for it; the extent itself where h overflows, near the top of the range.
    Box Strip(const Point& start, const Point& end) const;

    Box allowed_;
    double magnitude_;
    double spread_;
    double pad_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_PREPARE_CUT_BOUNDS_H
