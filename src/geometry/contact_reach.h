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
// the rounding can flip a strict side, no distance bounds a contact, and the
// callers examine every pair.
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
