#ifndef LOOPWEAVE_GEOMETRY_SEGMENT_H
#define LOOPWEAVE_GEOMETRY_SEGMENT_H

#include "geometry/point.h"

namespace loopweave {

// Where a point P lies against a directed segment A, looking from A's start to
// its end with y pointing up. Mirrored positions have opposite signs, so the
// product of the positions of B's two ends classifies B against A:
//    1 both strictly on one side       -1 strictly on opposite sides
//   -4 one at each end of A            -6 one at an end, the other beyond the opposite end
//   -9 beyond both ends                ±3 one off the line, the other on it outside A
//    0 one strictly inside A
enum Position : int {
    kBeyondEnd = -3,  // on A's line, outside A on the side of its end
    kAtEnd = -2,      // at A's end (and not at its start)
    kRight = -1,      // strictly right of A's line
    kInside = 0,      // on A's line, strictly between start and end
    kLeft = 1,        // strictly left of A's line
    kAtStart = 2,     // at A's start
    kBeforeStart = 3  // on A's line, outside A on the side of its start
};

// How segment B meets segment A. The relation is not symmetric: exchanging A
// and B turns 3 into 4 (for a T) and 6 into 7.
enum Relation : int {
    kApart = 0,        // no contact
    kCrossing = 1,     // cross at a point interior to both
    kJoined = 2,       // an end of B at an end of A, without running along A
    kEndOfAOnB = 3,    // an end of A strictly inside B, B's ends on opposite sides of A (a T)
    kEndOfBOnA = 4,    // an end of B strictly inside A: a T, or a partial collinear overlap
    kSameSegment = 5,  // the same two end points, in either direction
    kAAlongB = 6,      // A lies along B, and B reaches beyond A
    kBAlongA = 7       // B lies along A and within it
};

// A directed segment from `start` to `end`, the subject of the kernel's tests.
// Start and end may coincide: every test gives a defined answer then too.
//
// Every decision is made with the absolute tolerance: a point lies on A's line
// when twice the area of the triangle it spans with A is below kTolerance, so
// the band about a long segment is narrower than kTolerance and the band about
// a short one wider. The arithmetic is carried out in a fixed order, operation
// by operation, so that every build and every CPU gives the same bits.
struct Segment {
    Segment(double sx, double sy, double ex, double ey) : start{sx, sy}, end{ex, ey} {}

    Position PointPosition(const Point& p) const;
    Relation SegmentRelation(const Segment& b) const;

    // Where the infinite lines of this segment and b cross, measured along this
    // segment (possibly outside both segments). Writes `place` and returns
    // true, or returns false and leaves `place` alone when the lines are
    // parallel within the tolerance.
    bool LineCrossing(const Segment& b, Point& place) const;

    // The points at which this segment has to be cut so that b no longer meets
    // its interior: the ends of b strictly inside it (the one nearer to this
    // segment's start first), or the crossing point of a proper crossing.
    // Returns how many points it wrote (0, 1 or 2); the others are left alone.
    // Ends of b are written as b holds them, not moved onto this line.
    int SegmentCrossPoints(const Segment& b, Point& first, Point& second) const;

    Point start;
    Point end;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_SEGMENT_H
