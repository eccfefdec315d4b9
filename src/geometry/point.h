#ifndef LOOPWEAVE_GEOMETRY_POINT_H
#define LOOPWEAVE_GEOMETRY_POINT_H

#include <cmath>

namespace loopweave {

// The one tolerance of the library, absolute and in the host's units: two
// coordinates are the same when they differ by less than this, and different
// when they differ by this much or more. The kernel uses the same constant to
// bound doubled triangle areas and cross products.
inline constexpr double kTolerance = 1e-6;

// The kernel's own point. It becomes the public CCoord, with a flag, only
// where a polygon hands it to the host.
struct Point {
    double x;
    double y;
};

// Both coordinates finite: the kernel's tests give no meaningful answer for
// infinities and not-a-number.
inline bool IsFinite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Each coordinate differs by less than kTolerance. Not transitive: two points
// can each be the same as a third without being the same as each other. A
// not-a-number coordinate is never the same as anything.
inline bool SamePoint(const Point& p, const Point& q) {
    return std::fabs(p.x - q.x) < kTolerance && std::fabs(p.y - q.y) < kTolerance;
}

// +1 or -1 when the values differ by kTolerance or more, the sign of a - b;
// 0 when they are the same: one step of the orders that sort within the
// tolerance, which are not strict weak orders either.
inline int CompareCoordinate(double a, double b) {
    if (std::fabs(a - b) >= kTolerance) return a > b ? 1 : -1;
    return 0;
}

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_POINT_H
