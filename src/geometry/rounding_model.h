#ifndef LOOPWEAVE_GEOMETRY_ROUNDING_MODEL_H
#define LOOPWEAVE_GEOMETRY_ROUNDING_MODEL_H

#include <algorithm>
#include <cmath>

#include "geometry/box.h"
#include "geometry/contact_reach.h"
#include "geometry/point.h"

namespace loopweave {

// How far the kernel's side test can round among the coordinates of one
// extent, and the widths that follow from it (contact_reach.h gives the
// argument): the largest magnitude M and the spread S of the extent, the
// bound G on the rounding of a doubled area, the most doubled area the test
// can take for none (kTolerance + G), the pad for the rounding of the bands
// built on them, and the half-width of a segment's band: the points within
// (kTolerance + G) / L of its line, L its larger side, which is no longer
// than its length. Cutting, the plane of lines and the self-crossing check
// all read them here.
class RoundingModel {
public:
    // Over the coordinates of `extent`, a box with finite sides.
    explicit RoundingModel(const Box& extent)
        : magnitude_(MagnitudeOf(extent)),
          spread_(std::max(extent.maxX - extent.minX, extent.maxY - extent.minY)),
          pad_(std::ldexp(magnitude_ + spread_, kPadExponent)) {}

    // The largest magnitude of a coordinate of the box.
    static double MagnitudeOf(const Box& box) {
        return std::max({std::fabs(box.minX), std::fabs(box.minY), std::fabs(box.maxX), std::fabs(box.maxY)});
    }

    double Magnitude() const { return magnitude_; }
    double Spread() const { return spread_; }

    // G, the rounding of a doubled area over the extent.
    double AreaRounding() const { return AreaRoundingBound(magnitude_, spread_); }
    // k, the rounding of a doubled area per unit of distance.
    double AreaRoundingPerUnit() const { return AreaRoundingBound(magnitude_, 1); }
    // kTolerance + G: the largest true doubled area the side test can take
    // for no area at all.
    double AreaBound() const { return kTolerance + AreaRounding(); }

    // Relative to the largest coordinate and the spread: far more than the
    // rounding of the bands' ends and of the tests on them.
    double Pad() const { return pad_; }

    // The half-width of the band of the segment from `start` to `end`.
    double BandHalfWidth(const Point& start, const Point& end) const {
        return AreaBound() / std::max(std::fabs(end.x - start.x), std::fabs(end.y - start.y));
    }

    // Whether a band of this half-width is wider than `share` of the spread:
    // it would meet much of the extent and tell little.
    bool TooWide(double halfWidth, double share) const { return !(halfWidth <= spread_ * share); }

private:
    static constexpr int kPadExponent = -40;

    double magnitude_;
    double spread_;
    double pad_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_GEOMETRY_ROUNDING_MODEL_H
