#include "polygonize/coordinate_frame.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace lwpolygonize {
namespace {

CoordinateFrame FrameOf(const std::vector<DrawingSegment>& segments) {
    Extent extent;
    for (const DrawingSegment& s : segments) {
        extent.Add(s.sx, s.sy);
        extent.Add(s.ex, s.ey);
    }
    return CoordinateFrame(segments, extent);
}

// The largest magnitude a frame gives the drawing's coordinates.
double Magnitude(const CoordinateFrame& frame, const std::vector<DrawingSegment>& segments) {
    double most = 0;
    for (const DrawingSegment& s : segments) {
        for (double x : {s.sx, s.ex}) most = std::fmax(most, std::fabs(frame.ToLibraryX(x)));
        for (double y : {s.sy, s.ey}) most = std::fmax(most, std::fabs(frame.ToLibraryY(y)));
    }
    return most;
}

void ExpectRoundTrip(const CoordinateFrame& frame, const std::vector<DrawingSegment>& segments) {
    for (const DrawingSegment& s : segments) {
        EXPECT_EQ(frame.FromLibraryX(frame.ToLibraryX(s.sx)), s.sx);
        EXPECT_EQ(frame.FromLibraryY(frame.ToLibraryY(s.sy)), s.sy);
        EXPECT_EQ(frame.FromLibraryX(frame.ToLibraryX(s.ex)), s.ex);
        EXPECT_EQ(frame.FromLibraryY(frame.ToLibraryY(s.ey)), s.ey);
    }
}

// Degrees, metres of a UTM zone, a state plane in feet, millimetres of a
// part, a thousandth of a degree: every drawing is scaled to just below the
// largest magnitude that keeps the library's area rounding small, and its
// points come back bit for bit.
TEST(CoordinateFrameTest, ScalesEveryDrawingJustBelowTheLargestMagnitude) {
    const std::vector<std::vector<DrawingSegment>> drawings = {
        {{-74.0101, 40.7002, -73.9003, 40.8004, 0}, {-73.95, 40.71, -73.91, 40.79, 1}},
        {{583960.25, 4507523.5, 584960.75, 4508523.125, 0}},
        {{987654.321, 191234.5, 1012345.678, 221234.75, 0}},
        {{0.5, 0.25, 120.125, 80.0625, 0}},
        {{12.3456, 45.6789, 12.3466, 45.6799, 0}},
    };
    for (const auto& segments : drawings) {
        const CoordinateFrame frame = FrameOf(segments);
        const double magnitude = Magnitude(frame, segments);
        EXPECT_LT(magnitude, CoordinateFrame::kMostMagnitude);
        EXPECT_GE(magnitude, CoordinateFrame::kMostMagnitude / 4);
        ExpectRoundTrip(frame, segments);
    }
}

// A line from near zero to a million: the offset near 500,000 would not move
// 0.1 exactly, so that axis stays where it is, and 0.1 comes back as 0.1.
TEST(CoordinateFrameTest, AnAxisThatCannotMoveExactlyStays) {
    const std::vector<DrawingSegment> segments = {{0.1, 3, 1000000.7, 4, 0}};
    const CoordinateFrame frame = FrameOf(segments);
    EXPECT_EQ(frame.OffsetX(), 0);
    EXPECT_NE(frame.OffsetY(), 0);
    ExpectRoundTrip(frame, segments);

    // Fitted from the extent and each coordinate checked on its own, as a
    // drawing read in parts is, the frame is the same.
    Extent extent;
    extent.Add(0.1, 3);
    extent.Add(1000000.7, 4);
    const double offsetX = CoordinateFrame::CentredOffset(extent.minX, extent.maxX);
    const double offsetY = CoordinateFrame::CentredOffset(extent.minY, extent.maxY);
    const bool moveX = CoordinateFrame::MovesExactly(0.1, offsetX) && CoordinateFrame::MovesExactly(1000000.7, offsetX);
    const bool moveY = CoordinateFrame::MovesExactly(3, offsetY) && CoordinateFrame::MovesExactly(4, offsetY);
    EXPECT_FALSE(moveX);
    const CoordinateFrame fromParts(extent, moveX, moveY);
    EXPECT_EQ(fromParts.OffsetX(), frame.OffsetX());
    EXPECT_EQ(fromParts.OffsetY(), frame.OffsetY());
    EXPECT_EQ(fromParts.ScaleExponent(), frame.ScaleExponent());
}

// The distances the scale stands for, in input units.
TEST(CoordinateFrameTest, StatesTheDistancesItResolves) {
    const std::vector<DrawingSegment> degrees = {{-80, 30, -70, 40, 0}};  // centred: at most 5
    const CoordinateFrame frame = FrameOf(degrees);
    EXPECT_EQ(frame.ScaleExponent(), 10);
    EXPECT_DOUBLE_EQ(frame.MeetingDistance(), 1e-6 / 1024);
    EXPECT_DOUBLE_EQ(frame.LandingDistance(1e-4), 1e-6 / (1024.0 * 1024.0 * 1e-4));
    EXPECT_TRUE(frame.Resolves(1e-4));
    // A continent of 5,000 km drawn in segments of a metre: no one scale is tight.
    const std::vector<DrawingSegment> metres = {{0, 0, 5e6, 5e6, 0}};
    EXPECT_FALSE(FrameOf(metres).Resolves(1));
}

}  // namespace
}  // namespace lwpolygonize
