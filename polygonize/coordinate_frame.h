// The drawing as the library sees it: moved so that its extent's centre lies
// near the origin, and scaled by a power of two so that the library's fixed
// tolerance of 1e-6 stands for the distance the user means.
//
// Why: the library's tolerance is absolute, and it also bounds doubled
// triangle areas. Far from the origin (a UTM zone's 5e5 and 5e6 metres) the
// rounding of those areas is larger than the tolerance, and the results turn
// to noise; and the tolerance is 1e-6 in whatever unit the drawing has,
// degrees, metres or millimetres alike.
//
// Both moves are exact where it matters:
// - The offset c of an axis is a multiple of the spacing of the doubles near
//   that axis's largest coordinate, so x - c is a multiple of x's own
//   spacing; it is exact whenever it needs no more than 53 bits, which holds
//   unless the drawing reaches from near zero to far away. Every input
//   coordinate is checked (TwoSum): if one does not move exactly, that axis
//   is not moved. An exact x - c gives back x when c is added again, so the
//   input points come back bit for bit.
// - The scale is a power of two: multiplying and dividing by it is exact
//   (short of overflow, which the bounds on the scale rule out).
#ifndef LOOPWEAVE_POLYGONIZE_COORDINATE_FRAME_H
#define LOOPWEAVE_POLYGONIZE_COORDINATE_FRAME_H

#include <vector>

#include "polygonize/extent.h"

namespace lwpolygonize {

// A line of the input, in its own coordinates, with its keys.
struct InputSegment {
    double sx, sy, ex, ey;
    int key1, key2;
};

class CoordinateFrame {
public:
    // The library's tolerance, in its own units.
    static constexpr double kLibraryTolerance = 1e-6;

    CoordinateFrame() = default;  // the identity

    // Fitted to the segments. `tolerance` > 0: ends closer than about that
    // distance, in input units, meet (the power of two nearest to it). 0:
    // the library's 1e-6 in input units, unless the drawing, centred, is so
    // large that the rounding of its areas would reach that; then the
    // smallest scale-down that keeps it well conditioned.
    CoordinateFrame(const std::vector<InputSegment>& segments, const Extent& extent, double tolerance);

    double ToLibraryX(double x) const { return (x - offsetX_) * scale_; }
    double ToLibraryY(double y) const { return (y - offsetY_) * scale_; }
    double FromLibraryX(double x) const { return x / scale_ + offsetX_; }
    double FromLibraryY(double y) const { return y / scale_ + offsetY_; }
    // An area in library units, in input units.
    double AreaFromLibrary(double area) const { return area / scale_ / scale_; }

    double OffsetX() const { return offsetX_; }
    double OffsetY() const { return offsetY_; }
    int ScaleExponent() const { return scaleExponent_; }
    // How close two ends must be to meet, in input units.
    double Tolerance() const { return kLibraryTolerance / scale_; }

private:
    double offsetX_ = 0, offsetY_ = 0;
    int scaleExponent_ = 0;
    double scale_ = 1;  // 2^scaleExponent_
};

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_COORDINATE_FRAME_H
