#include "polygonize/coordinate_frame.h"

#include <algorithm>
#include <cmath>

namespace lwpolygonize {

namespace {

// Centred coordinates up to this size keep the rounding of a doubled
// triangle area (about 3 x 2^-53 x size^2) a few times below the library's
// tolerance of 1e-6.
constexpr double kWellConditioned = 32768;  // 2^15

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
double AxisOffset(double low, double high, const std::vector<InputSegment>& segments, double InputSegment::*start,
                  double InputSegment::*end) {
    const double largest = std::max(std::fabs(low), std::fabs(high));
    if (largest == 0) return 0;
    const double spacing = std::ldexp(1.0, std::ilogb(largest) - 52);
    const double offset = std::round((low / 2 + high / 2) / spacing) * spacing;
    for (const InputSegment& segment : segments) {
        for (const double value : {segment.*start, segment.*end}) {
            if (std::isfinite(value) && !DifferenceIsExact(value, offset)) return 0;
        }
    }
    return offset;
}

}  // namespace

CoordinateFrame::CoordinateFrame(const std::vector<InputSegment>& segments, const Extent& extent, double tolerance) {
    if (!extent.empty) {
        offsetX_ = AxisOffset(extent.minX, extent.maxX, segments, &InputSegment::sx, &InputSegment::ex);
        offsetY_ = AxisOffset(extent.minY, extent.maxY, segments, &InputSegment::sy, &InputSegment::ey);
    }
    if (tolerance > 0) {
        scaleExponent_ = static_cast<int>(std::lround(std::log2(kLibraryTolerance / tolerance)));
    } else if (!extent.empty) {
        const double size = std::max({std::fabs(extent.minX - offsetX_), std::fabs(extent.maxX - offsetX_),
                                      std::fabs(extent.minY - offsetY_), std::fabs(extent.maxY - offsetY_)});
        if (size > kWellConditioned) scaleExponent_ = -static_cast<int>(std::ceil(std::log2(size / kWellConditioned)));
    }
    scaleExponent_ = std::clamp(scaleExponent_, kMinExponent, kMaxExponent);
    scale_ = std::ldexp(1.0, scaleExponent_);
}

}  // namespace lwpolygonize
