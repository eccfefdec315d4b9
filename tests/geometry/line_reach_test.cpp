// The places of lines against the kernel: every pair far apart that cutting
// changes lies within the reach in the plane of lines; and the edge of the
// bound the reach is derived from.

#include "geometry/line_reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>

#include "cut/pair_cutting.h"
#include "cut/piece_table.h"
#include "geometry/segment.h"
#include "support/drawing.h"

namespace {

using loopweave::Box;
using loopweave::kTolerance;
using loopweave::LinePlane;
using loopweave::Point;
using loopweave::Segment;

Box BoxOf(const Segment& s) { return Box::Around(s.start, s.end); }

// How far apart two boxes lie: the larger of the gaps along x and along y.
double Gap(const Box& a, const Box& b) {
    return std::max({b.minX - a.maxX, a.minX - b.maxX, b.minY - a.maxY, a.minY - b.maxY});
}

// Whether cutting the pair, A as the outer element, changes either of them.
bool CutChanges(const Segment& a, const Segment& b) {
    CLoopweave builder;
    loopweave::testing::Enter(builder,
                              {{a.start.x, a.start.y, a.end.x, a.end.y}, {b.start.x, b.start.y, b.end.x, b.end.y}});
    loopweave::PieceTable pieces(builder.Element());
    return loopweave::CutPair(pieces, 0, 1);
}

// Long segments far from the origin, and others nearly along their lines far
// beyond their ends, crossing them at small angles: where the side test's
// rounding outgrows the tolerance, the sides of A's ends against B's line
// flip now and then (in a few trials of these thousands), and the kernel
// finds a crossing. Every pair that cutting changes, farther apart than the
// distance the walk seeks by boxes, must have places within the reach of
// each other.
TEST(LineReach, FarPairsThatCuttingChangesHavePlacesWithinTheReach) {
    std::mt19937_64 random(29);
    std::uniform_real_distribution<double> unit(0, 1);
    int cut = 0;
    for (int trial = 0; trial < 100000; ++trial) {
        const double origin = std::ldexp(1 + unit(random), 23 + static_cast<int>(random() % 4));
        const double rounding = 6 * DBL_EPSILON * origin;  // per unit of extent
        const double lengthA = kTolerance / rounding * std::pow(10, 2 + 2 * unit(random));
        const double lengthB = kTolerance / rounding * std::pow(10, 3 * unit(random) - 1);
        const double beyond = lengthA * std::pow(10, unit(random) - 2);
        const double turn = (random() % 2 == 0 ? 1 : -1) * lengthA / beyond * std::pow(10, 1.5 * unit(random)) *
                            kTolerance / (lengthA * lengthB);
        const double angle = 6.283185307179586 * unit(random);
        const Segment a(origin, origin, origin + lengthA * std::cos(angle), origin + lengthA * std::sin(angle));
        const double crossX = origin + (lengthA + beyond) * std::cos(angle);
        const double crossY = origin + (lengthA + beyond) * std::sin(angle);
        const double dx = lengthB / 2 * std::cos(angle + turn);
        const double dy = lengthB / 2 * std::sin(angle + turn);
        const Segment b(crossX - dx, crossY - dy, crossX + dx, crossY + dy);
        const LinePlane plane(BoxOf(a).Joined(BoxOf(b)));
        const double apart = plane.Apart();
        if (!(Gap(BoxOf(a), BoxOf(b)) > apart)) continue;
        if (!CutChanges(a, b) && !CutChanges(b, a)) continue;
        ++cut;
        const Box placeA = plane.PlaceOf(a.start, a.end);
        const Box placeB = plane.PlaceOf(b.start, b.end);
        EXPECT_TRUE(plane.Meet(placeA.Grown(plane.Reach(apart)), placeB)) << "trial " << trial;
    }
    EXPECT_GT(cut, 0);
}

// Two segments through the centre of the extent, so that their offsets are
// the same, whose angles differ by just less than the bound 2 s of the
// header are kept; by a little more, not (the pad for the rounding lies
// between). Also either side of the direction (2, 1), where the plane's
// angles wrap with a half turn. Long segments as far apart as the walk seeks
// by places, where the pair's part of the bound outweighs the segments' own;
// and short ones as far apart as the extent, where their own turning terms
// outweigh the pair's and the pad.
TEST(LineReach, APairJustInsideTheBoundIsKept) {
    const Box extent{5e6, 5e6, 5e6 + 1000, 5e6 + 1000};
    const LinePlane plane(extent);
    const double k = loopweave::AreaRoundingBound(5e6 + 1000, 1);
    const Point centre{5e6 + 500, 5e6 + 500};
    const auto through = [&centre](double angle, double length) {
        const double dx = length / 2 * std::cos(angle);
        const double dy = length / 2 * std::sin(angle);
        return Segment(centre.x - dx, centre.y - dy, centre.x + dx, centre.y + dy);
    };
    const auto side = [](const Segment& s) {
        return std::max(std::fabs(s.end.x - s.start.x), std::fabs(s.end.y - s.start.y));
    };
    const double wrap = std::atan2(1.0, 2.0);
    struct Case {
        double apart, length, probeLength, beyond;
    };
    for (const Case& c : {Case{plane.Apart(), 200, 50, 1.01}, Case{1000, 0.2, 0.05, 1.1}}) {
        const auto kept = [&](const Segment& a, const Segment& b) {
            return plane.Meet(plane.PlaceOf(a.start, a.end).Grown(plane.Reach(c.apart)),
                              plane.PlaceOf(b.start, b.end));
        };
        for (double angle : {0.3, 1e-7, wrap + 1e-7, wrap - 1e-7, wrap + 3.141592653589793}) {
            const Segment a = through(angle, c.length);
            // Far from the origin a short segment's angle rounds by a good
            // share of the bound: each probe is judged by its own.
            const double aimed = 2 * k * (1 / side(a) + 1 / side(through(angle, c.probeLength)) + 2 / c.apart);
            int atTheEdge = 0;
            for (double share = 0.8; share < 1.3; share += 0.005) {
                for (int turn : {1, -1}) {
                    const Segment probe = through(angle + turn * share * aimed, c.probeLength);
                    const double bound = 2 * k * (1 / side(a) + 1 / side(probe) + 2 / c.apart);
                    const double apart = std::fabs(std::remainder(
                        std::atan2(probe.end.y - probe.start.y, probe.end.x - probe.start.x) -
                            std::atan2(a.end.y - a.start.y, a.end.x - a.start.x),
                        3.141592653589793));
                    if (apart <= 0.999 * bound) {
                        EXPECT_TRUE(kept(a, probe)) << angle << " " << c.apart << " " << apart / bound;
                    } else if (apart >= c.beyond * bound) {
                        EXPECT_FALSE(kept(a, probe)) << angle << " " << c.apart << " " << apart / bound;
                    }
                    atTheEdge += apart > 0.95 * bound && apart <= 0.999 * bound ? 1 : 0;
                }
            }
            EXPECT_GT(atTheEdge, 0) << angle << " " << c.apart;
        }
    }
}

// Places are closed boxes, and the plane wraps with a half turn: places that
// touch across it, along the angle or along the offset, a half turn on or
// back, meet, as their copies a half turn on meet the other place.
TEST(LineReach, PlacesThatTouchAcrossTheHalfTurnMeet) {
    const LinePlane plane({0, 0, 1000, 1000});
    const double halfTurn = plane.Bounds().maxX;
    const Box low{-1, 2, 1, 3};  // near the angle 0, at offsets 2 to 3
    for (const Box& high : {Box{halfTurn + 1, -5, halfTurn + 2, -2.5},    // touching along the angle
                            Box{halfTurn - 0.5, -4, halfTurn + 0.5, -3},  // along the offset
                            Box{halfTurn - 3, -2, halfTurn - 1, -1}}) {   // at a corner
        EXPECT_TRUE(plane.Meet(low, high));
        EXPECT_TRUE(plane.Meet(high, low));
        EXPECT_TRUE(plane.Turned(low, 1).Meets(high));
        EXPECT_TRUE(plane.Turned(high, -1).Meets(low));
        EXPECT_FALSE(plane.Meet(low, high.Grown(-1e-9)));
    }
}

}  // namespace
