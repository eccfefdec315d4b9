#include "geometry/segment.h"

#include <cmath>
#include <cstdlib>

namespace loopweave {
namespace {

double Square(double value) { return value * value; }

// The y term first, then the x term.
double SquaredDistance(const Point& p, const Point& q) { return Square(p.y - q.y) + Square(p.x - q.x); }

// The product of the positions of other's two ends against line: 1 when both
// lie strictly on one side, -1 when strictly on opposite sides.
int PositionProduct(const Segment& line, const Segment& other) {
    return line.PointPosition(other.start) * line.PointPosition(other.end);
}

}  // namespace

Position Segment::PointPosition(const Point& p) const {
    // Twice the signed area of the triangle start, end, p. In exact arithmetic
    // this is (end - start) x (p - start); in doubles the three products,
    // added in this order, are the value every decision rests on.
    const double area = p.y * (end.x - start.x) + start.y * (p.x - end.x) + end.y * (start.x - p.x);
    if (std::fabs(area) >= kTolerance) return area > 0 ? kLeft : kRight;

    // On the line. The ends are tested only now, so a point within the
    // tolerance of an end of a long segment but off its line is left or right.
    if (SamePoint(start, p)) return kAtStart;
    if (SamePoint(end, p)) return kAtEnd;

    const double length = SquaredDistance(end, start);
    const double fromStart = SquaredDistance(start, p);
    const double fromEnd = SquaredDistance(end, p);
    if (length > fromStart && length > fromEnd) return kInside;
    return fromStart < fromEnd ? kBeforeStart : kBeyondEnd;
}

Relation Segment::SegmentRelation(const Segment& b) const {
    const int bStart = PointPosition(b.start);
    const int bEnd = PointPosition(b.end);
    const int product = bStart * bEnd;

    // The order of these rules matters: each one decides only the cases that
    // the rules before it have left.
    if (product == 1) return kApart;         // both ends strictly on one side
    if (product == -6) return kAAlongB;      // at one end, beyond the other
    if (product == -4) return kSameSegment;  // at both ends
    if (std::abs(bStart) == 2) return bEnd == kInside ? kBAlongA : kJoined;
    if (std::abs(bEnd) == 2) return bStart == kInside ? kBAlongA : kJoined;
    if (bStart == kInside && bEnd == kInside) return kBAlongA;
    if (bStart != kInside && bStart == bEnd) return kApart;  // beyond the same end
    if (product == -9) return kAAlongB;                      // beyond both ends
    if (std::abs(product) == 3) return kApart;
    if (product == 0) return kEndOfBOnA;

    // B's ends lie strictly on opposite sides of A's line; where do A's ends
    // lie against B's line?
    const int aProduct = PositionProduct(b, *this);
    if (aProduct == 0) return kEndOfAOnB;
    if (aProduct == 1) return kApart;
    // Strictly opposite sides; other products arise only at the edge of the
    // tolerance and count as a crossing too.
    return kCrossing;
}

bool Segment::LineCrossing(const Segment& b, Point& place) const {
    const double ax = end.x - start.x;
    const double ay = end.y - start.y;
    const double bx = b.end.x - b.start.x;
    const double by = b.end.y - b.start.y;
    const double denominator = bx * ay - by * ax;
    // Parallel, or too short for the cross product of the directions to reach
    // the tolerance: the only division below is never by a tiny number.
    if (std::fabs(denominator) < kTolerance) return false;
    const double t = (bx * (b.start.y - start.y) - by * (b.start.x - start.x)) / denominator;
    place = {start.x + t * ax, start.y + t * ay};
    return true;
}

int Segment::SegmentCrossPoints(const Segment& b, Point& first, Point& second) const {
    const int bStart = PointPosition(b.start);
    const int bEnd = PointPosition(b.end);

    if (bStart == kInside && bEnd == kInside) {
        // Nearer to this segment's start first, so that it can be cut in
        // order; equal distances put b's end first.
        const bool startNearer = SquaredDistance(start, b.end) > SquaredDistance(start, b.start);
        first = startNearer ? b.start : b.end;
        second = startNearer ? b.end : b.start;
        return 2;
    }
    if (bStart == kInside) {
        first = b.start;
        return 1;
    }
    if (bEnd == kInside) {
        first = b.end;
        return 1;
    }
    if (bStart * bEnd == -1) {
        // A proper crossing needs this segment's ends strictly on opposite
        // sides of b's line as well. Then the doubled areas of b's ends against
        // this segment are at least kTolerance each and of opposite signs, so
        // the crossing's divisor is at least twice the tolerance.
        if (PositionProduct(b, *this) == -1) return LineCrossing(b, first) ? 1 : 0;
    }
    return 0;
}

}  // namespace loopweave
