#include "polygonize/coordinate_frame.h"

#include <algorithm>
#include <cmath>

namespace lwpolygonize {

namespace {

// Bounds on the scale's exponent: far inside the range of doubles for any
// coordinate a file holds, so that scaling neither overflows nor loses bits.
constexpr int kMinExponent = -200;
constexpr int kMaxExponent = 200;

// Whether a - b is exact in doubles: Knuth's TwoSum recovers the rounding
// error of the difference with no assumption on the operands' sizes (and
// needs the arithmetic as written, without fused multiply-add).
bool DifferenceIsExact(double a, double b) {
    const double difference = a - b;
    const double bPart = a - difference;
    const double aPart = difference + bPart;
    const double error = (a - aPart) + (bPart - b);
    return error == 0;
}

// The offset of one axis: the centre of [low, high], rounded to a multiple
// of the spacing of doubles at the axis's largest magnitude; 0 where some
// coordinate would not move exactly.
double AxisOffset(double low, double high, const std::vector<DrawingSegment>& segments,
                  double DrawingSegment::*start, double DrawingSegment::*end) {
    const double largest = std::max(std::fabs(low), std::fabs(high));
    if (largest == 0) return 0;
    const double spacing = std::ldexp(1.0, std::ilogb(largest) - 52);
    const double offset = std::round((low / 2 + high / 2) / spacing) * spacing;
    for (const DrawingSegment& segment : segments) {
        for (const double value : {segment.*start, segment.*end}) {
            if (std::isfinite(value) && !DifferenceIsExact(value, offset)) return 0;
        }
    }
    return offset;
}

}  // namespace

CoordinateFrame::CoordinateFrame(const std::vector<DrawingSegment>& segments, const Extent& extent) {
    if (extent.empty) return;
    offsetX_ = AxisOffset(extent.minX, extent.maxX, segments, &DrawingSegment::sx, &DrawingSegment::ex);
    offsetY_ = AxisOffset(extent.minY, extent.maxY, segments, &DrawingSegment::sy, &DrawingSegment::ey);
    const double size = std::max({std::fabs(extent.minX - offsetX_), std::fabs(extent.maxX - offsetX_),
                                  std::fabs(extent.minY - offsetY_), std::fabs(extent.maxY - offsetY_)});
    if (size == 0) return;  // a single point: any scale is as good
    // size < 2^(ilogb(size) + 1), so the scaled size stays below 2^13 and
    // reaches at least half of it.
    const int mostExponent = std::ilogb(kMostMagnitude);
    scaleExponent_ = std::clamp(mostExponent - 1 - std::ilogb(size), kMinExponent, kMaxExponent);
    scale_ = std::ldexp(1.0, scaleExponent_);
}

}  // namespace lwpolygonize
