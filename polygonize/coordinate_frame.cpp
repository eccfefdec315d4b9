#include "polygonize/coordinate_frame.h"

#include <algorithm>
#include <cmath>

namespace lwpolygonize {

namespace {

// Bounds on the scale's exponent: far inside the range of doubles for any
// coordinate a file holds, so that scaling neither overflows nor loses bits.
constexpr int kMinExponent = -200;
constexpr int kMaxExponent = 200;

// Whether every finite coordinate of one axis moves exactly by `offset`.
bool AxisMovesExactly(const std::vector<DrawingSegment>& segments, double offset, double DrawingSegment::*start,
                      double DrawingSegment::*end) {
    for (const DrawingSegment& segment : segments) {
        for (const double value : {segment.*start, segment.*end}) {
            if (std::isfinite(value) && !CoordinateFrame::MovesExactly(value, offset)) return false;
        }
    }
    return true;
}

}  // namespace

// Knuth's TwoSum recovers the rounding error of the difference with no
// assumption on the operands' sizes (and needs the arithmetic as written,
// without fused multiply-add).
bool CoordinateFrame::MovesExactly(double value, double offset) {
    const double difference = value - offset;
    const double offsetPart = value - difference;
    const double valuePart = difference + offsetPart;
    const double error = (value - valuePart) + (offsetPart - offset);
    return error == 0;
}

double CoordinateFrame::CentredOffset(double low, double high) {
    const double largest = std::max(std::fabs(low), std::fabs(high));
    if (largest == 0) return 0;
    const double spacing = std::ldexp(1.0, std::ilogb(largest) - 52);
    return std::round((low / 2 + high / 2) / spacing) * spacing;
}

// An axis is not moved where some coordinate would not move exactly.
CoordinateFrame::CoordinateFrame(const std::vector<DrawingSegment>& segments, const Extent& extent)
    : CoordinateFrame(extent,
                      !extent.empty && AxisMovesExactly(segments, CentredOffset(extent.minX, extent.maxX),
                                                        &DrawingSegment::sx, &DrawingSegment::ex),
                      !extent.empty && AxisMovesExactly(segments, CentredOffset(extent.minY, extent.maxY),
                                                        &DrawingSegment::sy, &DrawingSegment::ey)) {}

CoordinateFrame::CoordinateFrame(const Extent& extent, bool moveX, bool moveY) {
    if (extent.empty) return;
    offsetX_ = moveX ? CentredOffset(extent.minX, extent.maxX) : 0;
    offsetY_ = moveY ? CentredOffset(extent.minY, extent.maxY) : 0;
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
