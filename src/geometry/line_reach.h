#ifndef LOOPWEAVE_GEOMETRY_LINE_REACH_H
#define LOOPWEAVE_GEOMETRY_LINE_REACH_H

// Which pairs of segments far apart cutting can still change, far from the
// origin: only pairs on nearly the same line. A segment's line is placed by
// its direction and its offset in a plane of lines, with a box around the
// place that covers the rounding of its own side tests. Two segments whose
// boxes in the drawing lie farther apart than a distance R, and whose places
// lie farther apart than a reach that shrinks as R grows, modulo a half turn,
// are never cut at each other. An index of the places finds the pairs far
// apart without walking a band along every long line.
//
// Take segments A and B of lengths L_A and L_B, every coordinate within an
// extent of magnitude M and spread S. Write k = 6 DBL_EPSILON M; the side
// test of a point p against B rounds by at most k W_p, W_p <= L_B + d_p, d_p
// the distance of p from B. A point found inside B lies within L_B of both
// its ends, but for the rounding of the squared distances, so it lies across
// from B, within (kTolerance + 2 k L_B) / L_B of its line and within L_B: at
// most sqrt(kTolerance) + 2 k from B. Let the boxes of A and B lie farther
// apart than some R >= CutReach + 4 k, so that the segments lie D > R apart:
// then a cut needs a computed crossing, every end strictly on the opposite
// side of the other's line from the other end. An end p of A whose computed side differs from its
// true one (a flipped end) has a true doubled area of at most k W_p -
// kTolerance, so it lies within (k (L_B + d_p) - kTolerance) / L_B of B's
// line; that is within e_B = (kTolerance + AreaRoundingBound(M, S)) / L_B.
//
// If neither segment's ends were flipped, the segments would cross; so at
// least one of them, say A, has its ends truly on one side of the other's
// line, one of them flipped. Let the lines meet at X at the angle t, and p
// lie a_p from X.
//  - B's ends truly on both sides of A's line (or one on it): X lies on B,
//    so d_p <= a_p and D <= a_p. Then a_p sin t <= k + k a_p / L_B -
//    kTolerance / L_B, so sin t <= k / L_B + k / D.
//  - B's ends truly on one side too, an end q of B flipped, b_q from X:
//    d_p and d_q are at most a_p + b_q, and so is D. Adding the two bounds,
//    (a_p + b_q) sin t <= 2 k + k (a_p + b_q) (1 / L_A + 1 / L_B).
// So in every case sin t <= s = k (1 / L_A + 1 / L_B + 2 / R), and the
// angle between the lines is at most pi s / 2 <= 2 s. (Parallel lines have
// sin t = 0.)
//
// The offset of a line is its signed distance from the centre O of the
// extent, along its normal n, the direction turned left, for a direction at
// an angle from 0 up to pi, measured from any fixed direction. Either X lies
// on a segment, within the radius r of the extent about O, or the flipped
// end p lies within e_B of B's line
// (and the lines are parallel, or meet anywhere): the offsets then differ by
// at most |n_A - n_B| |X - O| <= t r, or by e_B + t |p - O| <= e_B + t r.
// Both bounds are sums of one part for each segment and a part for the pair:
// a segment's place is the box of angles within 2 k / L of its angle and of
// offsets within e + 2 k r / L of its offset, and the reach is 4 k r / R, in
// angles scaled by r to be lengths too, so that a square box is as wide in
// angle as in offset. Lines at angles near 0 and near pi are nearly the same
// line with opposite normals: the plane wraps with a half turn, the angle's
// copy a half turn on having the offset's sign turned.
//
// The angle and the offset are computed with a rounding of a few units in
// the last place of r and of the angle, far below the pad that every place
// is grown by, and the widths with a relative rounding far below the margin
// they are grown by; the lengths are taken as the larger side, no longer
// than the length; and a segment with a place that overflows is placed
// everywhere. A segment of no length is placed nowhere: every doubled area
// against it comes out 0, its two products the same but for the sign, so no
// point lies strictly on either side of it and it takes part in no crossing.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "geometry/box.h"
#include "geometry/contact_reach.h"
#include "geometry/point.h"
#include "geometry/rounding_model.h"

namespace loopweave {

// The plane of lines over an extent: a line's angle times the extent's radius
// along x, its offset along y.
class LinePlane {
public:
    explicit LinePlane(const Box& extent)
        : centre_{extent.minX + (extent.maxX - extent.minX) / 2, extent.minY + (extent.maxY - extent.minY) / 2},
          rounding_(extent),
          pad_(rounding_.Pad()),
          radius_(std::hypot(extent.maxX - extent.minX, extent.maxY - extent.minY) / 2 + pad_),
          halfTurn_(kPi * radius_),
          perUnit_(rounding_.AreaRoundingPerUnit()) {}

    // Every place lies within the angles from 0 to a half turn, grown by its
    // own width, and offsets up to the radius, grown alike.
    Box Bounds() const { return {0, -radius_, halfTurn_, radius_}; }

    // Where to seek the places of lines that a segment may be cut at, when
    // the segments whose boxes lie within `apart` (at least Apart()) of its
    // own are sought by their boxes: its own place grown by this.
    double Reach(double apart) const { return 4 * perUnit_ * radius_ / apart * kMargin; }

    // The least distance apart beyond which pairs may be sought by their
    // places: CutReach and room for the rounding of a point found inside,
    // or, where it is more, the distance at which the reach in the plane is
    // as large. Seeking by boxes that much farther costs little more, while
    // the reach in the plane, in angle and in offset, shrinks as much.
    double Apart() const { return std::max(CutReach() + 4 * perUnit_, std::sqrt(4 * perUnit_ * radius_)); }

    // The place of the line of the segment from `start` to `end`, both within
    // the extent, for a pair test whose bound on the sine of the angle between
    // the lines has the share `sineTimesSide` / side for this segment (side
    // its larger side, no longer than its length) and 2 k / R for the pair:
    // cutting's is k (above), the relation test's its own
    // (index/contact_candidates.h). The angle is at most twice the sine.
    Box PlaceOf(const Point& start, const Point& end) const { return PlaceOf(start, end, perUnit_); }
    Box PlaceOf(const Point& start, const Point& end, double sineTimesSide) const {
        double dx = end.x - start.x;
        double dy = end.y - start.y;
        const double side = std::max(std::fabs(dx), std::fabs(dy));
        if (!(side > 0)) return Nowhere();
        // The angle from the direction (2, 1), along which few lines run,
        // where lines along the axes and the diagonals would all lie near
        // the plane's edge, each asked about a half turn on too.
        double along = 2 * dx + dy;
        double across = 2 * dy - dx;
        if (across < 0 || (across == 0 && along < 0)) {
            dx = -dx;
            dy = -dy;
            along = -along;
            across = -across;
        }
        const double u = std::atan2(across, along) * radius_;
        const double v = (dx * (start.y - centre_.y) - dy * (start.x - centre_.x)) / std::hypot(dx, dy);
        const double turning = 2 * sineTimesSide / side * radius_ * kMargin;
        const double shifting = (rounding_.BandHalfWidth(start, end) + turning) * kMargin;
        const Box place{u - turning - pad_, v - shifting - pad_, u + turning + pad_, v + shifting + pad_};
        return place.IsFinite() ? place : Everywhere();
    }

    // Whether the places `a` and `b` meet, modulo the half turn: as they
    // are, or a half turn apart either way with a's offsets turned.
    bool Meet(const Box& a, const Box& b) const {
        if (a.Meets(b)) return true;
        if (!(-a.maxY <= b.maxY && b.minY <= -a.minY)) return false;
        return (a.minX + halfTurn_ <= b.maxX && b.minX <= a.maxX + halfTurn_) ||
               (a.minX - halfTurn_ <= b.maxX && b.minX <= a.maxX - halfTurn_);
    }

    // The box a whole number of half turns on: the angle shifted, the offset's
    // sign turned at every half turn.
    Box Turned(const Box& box, int turns) const {
        if (turns == 0) return box;
        const double shift = turns * halfTurn_;
        return {box.minX + shift, -box.maxY, box.maxX + shift, -box.minY};
    }

    // A place that meets every other.
    Box Everywhere() const { return Bounds().Grown(2 * halfTurn_); }

    // A place that meets none, a half turn on too.
    static Box Nowhere() { return {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL}; }

private:
    static constexpr double kPi = 3.141592653589793;
    // Room for the rounding of the bounds themselves, whatever their size.
    static constexpr double kMargin = 1 + 0x1p-40;

    Point centre_;
    RoundingModel rounding_;
    double pad_;
    double radius_;
    double halfTurn_;
    double perUnit_;  // k, the rounding of a doubled area per unit of extent
};

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_LINE_REACH_H
