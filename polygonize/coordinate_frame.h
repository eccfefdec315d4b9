// The drawing as the library sees it: moved so that its extent's centre lies
// near the origin, and scaled by a power of two so that the library's tests
// are as tight as doubles allow.
//
// Why: the library has one absolute tolerance, 1e-6, and it bounds two
// things: the distance at which two ends meet, and the doubled area of the
// triangle an end makes with a line, so an end lands on a line of length L
// within 1e-6 / L of it. Both are in the drawing's units. In degrees, where
// a border's segments are 1e-4 long, the area test would put an end "on" a
// line a hundredth of a degree away; scaling the drawing up by s makes the
// distance 1e-6 / s and the landing distance 1e-6 / (s^2 L). The scale is
// bounded by rounding: the computed doubled area of points of magnitude M
// that lie W apart is off by up to 6 x 2^-52 M W, and the library
// keeps its cheap near-origin bounds only while that stays below half the
// tolerance. So the centred drawing is scaled to the largest power of two
// that keeps its coordinates within kMostMagnitude, whatever the units:
// degrees, metres or feet, a block or a continent. A user's tolerance is
// honoured by snapping the drawing before it is entered (snapping.h), never
// by this scale, which would make the landing distance grow with its square.
//
// Both moves are exact where it matters:
// - The offset c of an axis is a multiple of the spacing of the doubles near
//   that axis's largest coordinate, so x - c is a multiple of x's own
//   spacing; it is exact whenever it needs no more than 53 bits, which holds
//   unless the drawing reaches from near zero to far away. Every coordinate
//   is checked (TwoSum): if one does not move exactly, that axis is not
//   moved. An exact x - c gives back x when c is added again, so the input
//   points come back bit for bit.
// - The scale is a power of two: multiplying and dividing by it is exact
//   (short of overflow and underflow, which the bounds on the scale rule out).
#ifndef LOOPWEAVE_POLYGONIZE_COORDINATE_FRAME_H
#define LOOPWEAVE_POLYGONIZE_COORDINATE_FRAME_H

#include <algorithm>
#include <vector>

#include "polygonize/extent.h"
#include "polygonize/segments.h"

namespace lwpolygonize {

class CoordinateFrame {
public:
    // The library's tolerance, in its own units.
    static constexpr double kLibraryTolerance = 1e-6;
    // The largest magnitude of a centred, scaled coordinate: 2^13, where the
    // rounding of a doubled area, 6 x 2^-52 x 2^13 x 2^14, is 1.8e-7, below
    // half the tolerance; at 2^14 it would be 7.2e-7.
    static constexpr double kMostMagnitude = 8192;

    CoordinateFrame() = default;  // the identity

    // Fitted to the segments, whose finite ends span `extent`.
    CoordinateFrame(const std::vector<DrawingSegment>& segments, const Extent& extent);
    // Fitted to a drawing spanning `extent` whose every coordinate moves
    // exactly by CentredOffset on the axes marked: a drawing read in parts,
    // each part checked by MovesExactly, gets the frame the constructor
    // above gives the whole.
    CoordinateFrame(const Extent& extent, bool moveX, bool moveY);

    // The offset of an axis spanning [low, high]: its centre, rounded to a
    // multiple of the spacing of the doubles at the axis's largest magnitude.
    static double CentredOffset(double low, double high);
    // Whether value - offset is exact, so that adding the offset back gives
    // the value bit for bit.
    static bool MovesExactly(double value, double offset);

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
    double MeetingDistance() const { return kLibraryTolerance / scale_; }
    // How close an end must be to a line of the given length (in input
    // units) to land on it, in input units.
    double LandingDistance(double length) const { return kLibraryTolerance / (scale_ * scale_ * length); }
    // Whether the library's tests resolve lines of the given length (in
    // input units; the drawing's median, say): an end meets another, or
    // lands on such a line, only within a thousandth of its length. Where
    // not, the drawing spans too many of its lines for one scale: the
    // rounding of doubled areas grows with the square of the extent.
    bool Resolves(double length) const {
        return std::max(MeetingDistance(), LandingDistance(length)) <= length / 1000;
    }

private:
    double offsetX_ = 0, offsetY_ = 0;
    int scaleExponent_ = 0;
    double scale_ = 1;  // 2^scaleExponent_
};

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_COORDINATE_FRAME_H
