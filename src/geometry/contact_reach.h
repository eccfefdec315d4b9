#ifndef LOOPWEAVE_GEOMETRY_CONTACT_REACH_H
#define LOOPWEAVE_GEOMETRY_CONTACT_REACH_H

// How far apart two segments can lie and still be found in contact by the
// kernel's tests (segment.h). A spatial index that skips only pairs whose
// bounding boxes lie farther apart than the reach of both segments skips
// only pairs whose tests would come out as no contact, so it changes no
// result. (Not the reach of either one: a very short segment's line reaches
// far, and a long segment passing within that reach is in contact with it.)
//
// The kernel's side test is the doubled area
//     a = p.y (e.x - s.x) + s.y (p.x - e.x) + e.y (s.x - p.x),
// evaluated on absolute coordinates and compared with kTolerance. For points
// whose coordinates are at most M in magnitude and differ by at most W, each
// difference is rounded by at most eps W, each product by at most 2 eps M W
// including its difference, and the two sums by eps times at most 3 M W each;
// in all the computed area is within G = 12 eps M W of the true one
// (eps = 2^-53). The bounds below hold while G <= kTolerance / 2; beyond that
// the rounding can flip a strict side, and only short segments keep a bound
// on cutting (the last paragraph); other pairs the callers examine all.
//
// Given G <= kTolerance / 2, for a segment of length L:
//  - "on the line" (|a| < kTolerance) means a true distance below
//    b = (kTolerance + G) / L from the line;
//  - "inside" also needs the squared distances to both ends below L^2, so an
//    inside point lies within L (1 + 8 eps) of both ends: within min(b, L),
//    which is at most sqrt(kTolerance + G), of the segment;
//  - every strict side is the true side, since the computed area is at least
//    kTolerance and the error at most half of it; so four strict opposite
//    sides mean the segments truly cross, and their boxes meet.
//
// Cutting cuts only at the ends of one segment found inside the other and at
// proper crossings, so CutReach bounds the distance of every pair that cutting
// changes. The relation test also reports a contact when one segment crosses
// the other's line while an end of the other lies on its own line beyond its
// ends (a T at the edge of the tolerance), and when a segment's ends lie on a
// short segment's line before and beyond it. The T lies within
//     T(G) L = L (kTolerance + G) / (2 (kTolerance - G))
// of the first segment's end: the second crosses the first one's line at a
// slope of at least 2 (kTolerance - G) / (L L') and passes within
// (kTolerance + G) / L' of the end. That is at most 1.5 L, and little more
// than L / 2 for the coordinates of most drawings, whose G is a tiny fraction
// of kTolerance. RelationReach covers those too.
//
// Far from the origin G outgrows the tolerance, but only between points far
// apart: for an end p of B tested against A, W is at most L_A + d, d the
// distance of p from A. Write k = 12 eps M and suppose both segments are
// short for their coordinates, k L <= kTolerance / 8. Then for cutting:
//  - an end found inside A lies within (kTolerance + k L_A) / L_A + 5 eps L_A
//    of A and within L_A (1 + 5 eps) of both its ends, so within
//    1.3 sqrt(kTolerance) of it: within CutReach;
//  - a crossing needs a divisor of at least kTolerance, which rounds by at
//    most 5 eps L_A L_B, so L_A L_B sin t >= 0.85 kTolerance, t the angle at
//    which the lines meet, at X;
//  - a strict side whose true sign differs (a flipped end) needs a computed
//    area of at least kTolerance within G of a true one of the other sign, so
//    the end lies within (G - kTolerance) / L of the line. If no end is
//    flipped, X lies on both segments and their boxes meet. If an end of B is
//    flipped against A's line (or, alike, of A against B's), at r_B from X
//    along B's line, then r_B L_A sin t <= k (L_A + d) - kTolerance. When A
//    truly meets B's line, d <= r_B, and with the bound on sin t,
//    r_B (0.85 kTolerance / L_B - k) <= k L_A - kTolerance < 0: impossible.
//    When an end of A is flipped too, at r_A, both have d <= S = r_A + r_B,
//    and the two bounds add up to S (0.85 kTolerance - k (L_A + L_B)) <=
//    L_B (k L_A - kTolerance) + L_A (k L_B - kTolerance) < 0: impossible too.
// So between short segments CutReach bounds cutting at any magnitude. A long
// segment's side test can flip signs far along its line, where a nearly
// collinear segment then finds a crossing: no distance bounds that.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "geometry/point.h"

namespace loopweave {

// The bound G on the rounding of a doubled area, for coordinates of at most
// `magnitude` that differ by at most `extent`.
inline double AreaRoundingBound(double magnitude, double extent) { return 6 * DBL_EPSILON * magnitude * extent; }

// Whether the reaches below hold for such coordinates.
inline bool ReachesHold(double magnitude, double extent) {
    return AreaRoundingBound(magnitude, extent) <= kTolerance / 2;
}

// The reaches take the bounds above with room to spare (2 kTolerance for
// kTolerance + G, T(G) + 1/2 times the length for T(G) times it), so that the
// rounding of the magnitudes, extents and lengths they are computed from
// cannot matter.

// How far apart two segments' boxes can be when cutting either at the other
// changes something: the same for every segment.
inline double CutReach() { return std::sqrt(2 * kTolerance) + 2 * kTolerance; }

// The reach of a segment no longer than `length`: CutReach, or less for a
// segment shorter than it. An end found inside a segment lies within its
// length of both its ends, but for the rounding of the squared distances,
// and a crossing needs boxes that meet, so cutting changes a pair of
// segments only within the larger of their two reaches. A piece cut off a
// segment is no longer than it but for rounding, well within the factor 2,
// so cutting never makes a reach grow. (Between segments far shorter than
// CutReach, the one reach for all paired each with hundreds of neighbours.)
inline double CutReachOf(double length) { return std::min(CutReach(), 2 * length + 2 * kTolerance); }

// Whether CutReach bounds every change that cutting makes among segments no
// longer than `length`, with coordinates of at most `magnitude` that spread by
// at most `extent`: rounding stays below half the tolerance throughout, or the
// segments are short for their magnitude as above.
inline bool CutReachHolds(double magnitude, double extent, double length) {
    return ReachesHold(magnitude, std::min(extent, 4 * length));
}

// Where, more narrowly than RelationReach says, another segment must pass to
// be found in contact with a segment of the given length, by the cases
// above: within SegmentContactReach of the segment itself (an end found
// inside it or at one of its ends, a T, a crossing), or across its span
// within LineContactReach of its line (a segment whose ends lie on its line
// before and beyond it). For a short segment the second is a long thin
// strip across it, where RelationReach is a square as wide: in a dense
// drawing of short segments that square holds thousands of them.
inline double SegmentContactReach(double length, double roundingBound) {
    const double tFactor = (kTolerance + roundingBound) / (2 * (kTolerance - roundingBound));
    return (tFactor + 0.5) * length + 2 * kTolerance;
}
inline double LineContactReach(double length) { return 2 * kTolerance / length + 2 * kTolerance; }

// How far from its box a segment of the given length can be found in contact
// with another by the relation test, in either role, among coordinates whose
// doubled areas round by at most `roundingBound` (G, at most kTolerance / 2).
// Infinite for a segment of no length, whose line is every line through its
// point.
inline double RelationReach(double length, double roundingBound) {
    if (!(length > 0)) return HUGE_VAL;
    const double tFactor = (kTolerance + roundingBound) / (2 * (kTolerance - roundingBound));
    return 2 * kTolerance / length + (tFactor + 0.5) * length + 2 * kTolerance;
}

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_CONTACT_REACH_H
