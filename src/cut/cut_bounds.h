#ifndef LOOPWEAVE_CUT_CUT_BOUNDS_H
#define LOOPWEAVE_CUT_CUT_BOUNDS_H

#include "geometry/box.h"
#include "geometry/contact_reach.h"
#include "geometry/line_reach.h"
#include "geometry/point.h"
#include "geometry/rounding_model.h"
#include "geometry/strip.h"

namespace loopweave {

// The pieces between which CutReach bounds cutting: those that lie within
// the allowed extent, the drawing's grown by a margin far wider than cut
// points stray from it (each is an end of another piece or lies on both
// pieces but for a few units in the last place), and are short for its
// coordinates (CutReachHolds).
//
// Any other piece is sought farther. A long piece A inside the extent can
// change, or be changed by, a piece B farther away than the reach only where
// B comes within h = (kTolerance + G) / L of A's line, G the rounding bound
// over the extent: a point found on A's line or inside A lies that close, and
// so does an end of B whose strict side against A is flipped; and if neither
// end is flipped, B meets A's line. (A's ends found inside a short B lie
// within the reach of B.) Such a pair is also nearly collinear: their places
// in the plane of lines (LinePlane) lie within its reach of each other, so
// the walk finds B there, and tests it against A's box and against the band
// within h of A's line across the extent (Strip), and the other way round.
// A piece outside the extent is sought everywhere: it is paired with every
// piece.
//
// A piece cut off another lies on the other's line but for the rounding of
// the cut points and for how far off the line the end of a T may lie, and no
// band is wider than that of the shortest long piece. So a band widened by
// that much (Widened) holds the bands of the pieces later cut off its piece,
// in most drawings; whether it holds one is tested (Holds), not assumed.

struct Region;

class CutBounds {
public:
    explicit CutBounds(const Box& extent);

    // The sum of the sides bounds the length from above.
    bool Bound(const Box& box) const {
        return allowed_.Contains(box) &&
               CutReachHolds(rounding_.Magnitude(), rounding_.Spread(), (box.maxX - box.minX) + (box.maxY - box.minY));
    }

    // Whether the box lies within the allowed extent.
    bool Allowed(const Box& box) const { return allowed_.Contains(box); }

    // Sets the box and band of the region of a finite piece from `start` to
    // `end`, whose own box is `box`: its box, or the allowed extent for a
    // piece outside it; and its band for a long piece inside the extent.
    void RegionOf(const Box& box, const Point& start, const Point& end, Region& region) const;

    // Whether a box meets the region of every piece.
    bool CoversAll(const Box& box) const { return box.Contains(allowed_); }

    // The band widened by the half-width of the widest band, that of the
    // shortest long piece.
    Strip Widened(const Strip& strip) const { return strip.Grown(widening_); }

    // Whether the band `outer` holds the band `inner`, both across the
    // extent: measured from outer's line, as every point of inner within
    // outer's half-width of a point of the line lies within the extent grown
    // by outer's half-width, where outer's segment runs.
    bool Holds(const Strip& outer, const Strip& inner) const {
        return outer.Holds(inner, rounding_.Pad(), Strip::kFromLine);
    }

    double Pad() const { return rounding_.Pad(); }

    // The plane of lines over the allowed extent.
    const LinePlane& Lines() const { return lines_; }

    // About how many of the pieces the walk pairs with a piece whose region
    // has this box, as a share of all: the share of the extent's area it
    // covers.
    double ShareCovered(const Box& box) const;

private:
    // Relative to the largest coordinate: room for more cuts of one piece
    // than there can be pieces.
    static constexpr int kMarginExponent = -20;

    // The band within h of the line through `start` and `end`, the ends of a
    // piece within the extent that is long for it, clipped to the extent
    // grown by h; false where h overflows, or is so wide, near the top of the
    // range, that the band would cover the extent anyway.
    bool StripOf(const Point& start, const Point& end, Strip& strip) const;

    Box allowed_;
    RoundingModel rounding_;
    double widening_;
    LinePlane lines_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_CUT_BOUNDS_H
