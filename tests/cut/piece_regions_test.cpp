// The regions of pieces far from the origin at the edge of the reach in the
// plane of lines: two long pieces whose boxes lie apart, one's band passing
// the other's box, with places apart by three quarters of that reach, either
// way round, may meet.

#include "cut/piece_regions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cut/cut_bounds.h"
#include "cut/piece_table.h"
#include "geometry/contact_reach.h"
#include "support/drawing.h"

namespace {

using loopweave::Box;
using loopweave::CutBounds;
using loopweave::PieceRegions;
using loopweave::PieceTable;
using loopweave::Point;

// A ends at the centre of the extent, and B starts just beyond it on a line
// through the centre turned by `turn`: the offsets of both lines are about 0,
// B's band passes A's end, and their places lie apart along the angle.
struct TwoPieces {
    TwoPieces(const Box& extent, double turn) {
        const Point centre{(extent.minX + extent.maxX) / 2, (extent.minY + extent.maxY) / 2};
        const double angle = 0.3;
        const double length = 100;
        const auto along = [&](double a, double distance) {
            return Point{centre.x + distance * std::cos(a), centre.y + distance * std::sin(a)};
        };
        const Point aStart = along(angle, -length);
        const Point bStart = along(angle + turn, 1);
        const Point bEnd = along(angle + turn, 1 + length);
        loopweave::testing::Enter(builder, {{aStart.x, aStart.y, centre.x, centre.y}, {bStart.x, bStart.y, bEnd.x, bEnd.y}});
    }
    CLoopweave builder;
};

TEST(CutRegions, LongPiecesWithPlacesWithinTheReachOfEachOtherMayMeet) {
    const Box extent{1e7, 1e7, 1e7 + 2000, 1e7 + 2000};
    const CutBounds bounds(extent);
    const loopweave::LinePlane& plane = bounds.Lines();
    const double lineReach = plane.Reach(std::max(loopweave::CutReach(), plane.Apart()));
    const double radius = plane.Bounds().maxY;
    for (int side : {1, -1}) {
        // The turn that leaves the places a little more than 3/4 of the reach
        // apart, from the width of A's place.
        TwoPieces straight(extent, 0);
        PieceTable straightPieces(straight.builder.Element());
        PieceRegions straightRegions(straightPieces, bounds, true);
        straightRegions.Rebox(0);
        const Box& place = straightRegions.Own(0).place;
        const double turn = side * (0.75 * lineReach + (place.maxX - place.minX)) / radius;

        TwoPieces turned(extent, turn);
        PieceTable pieces(turned.builder.Element());
        PieceRegions regions(pieces, bounds, true);
        regions.Rebox(0);
        regions.Rebox(1);
        const Box& a = regions.Own(0).place;
        const Box& b = regions.Own(1).place;
        const double apart = side > 0 ? b.minX - a.maxX : a.minX - b.maxX;
        ASSERT_GT(apart, 0.6 * lineReach);
        ASSERT_LT(apart, 0.9 * lineReach);
        ASSERT_TRUE(regions.Own(1).hasBand && !regions.Own(0).box.Grown(1e-3).Meets(regions.Own(1).box));
        EXPECT_TRUE(regions.Near(0).MayMeet(regions.Own(1), bounds)) << side;
        EXPECT_TRUE(regions.Near(1).MayMeet(regions.Own(0), bounds)) << side;
        // Farther apart by the reach, they may not.
        TwoPieces far(extent, turn + side * lineReach / radius);
        PieceTable farPieces(far.builder.Element());
        PieceRegions farRegions(farPieces, bounds, true);
        farRegions.Rebox(0);
        farRegions.Rebox(1);
        EXPECT_FALSE(farRegions.Near(0).MayMeet(farRegions.Own(1), bounds)) << side;
    }
}

}  // namespace
