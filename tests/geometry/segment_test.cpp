#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "geometry/segment.h"

namespace {

using namespace loopweave;  // position and relation codes

void ExpectPoint(const Point& point, double x, double y) {
    EXPECT_EQ(point.x, x);
    EXPECT_EQ(point.y, y);
}

// Both directions of SegmentCrossPoints, as (count, first, second).
struct Cuts {
    int count;
    Point first;
    Point second;
};

Cuts CutsOf(const Segment& a, const Segment& b) {
    Cuts cuts{0, {-7, -7}, {-7, -7}};
    cuts.count = a.SegmentCrossPoints(b, cuts.first, cuts.second);
    return cuts;
}

TEST(PointPosition, ClassifiesAgainstALongSegment) {
    const Segment a(0, 0, 100, 0);
    EXPECT_EQ(a.PointPosition({50, 0.0000001}), kLeft);  // doubled area 0.00001
    EXPECT_EQ(a.PointPosition({50, -0.0000001}), kRight);
    EXPECT_EQ(a.PointPosition({0, 0.0000005}), kLeft);  // near the start, yet off the line
    EXPECT_EQ(a.PointPosition({-1, 0}), kBeforeStart);
    EXPECT_EQ(a.PointPosition({101, 0}), kBeyondEnd);
    EXPECT_EQ(a.PointPosition({0, 0}), kAtStart);
    EXPECT_EQ(a.PointPosition({100, 0}), kAtEnd);
    EXPECT_EQ(a.PointPosition({50, 0}), kInside);
}

// A doubled area of exactly the tolerance is off the line: the band about the
// line is open, as two coordinates a whole tolerance apart are different.
TEST(PointPosition, AnAreaOfExactlyTheToleranceIsOffTheLine) {
    const Segment a(0, 0, 1, 0);
    EXPECT_EQ(a.PointPosition({0.5, 1e-6}), kLeft);
    EXPECT_EQ(a.PointPosition({0.5, -1e-6}), kRight);
    EXPECT_EQ(a.PointPosition({0.5, 0.999e-6}), kInside);
}

TEST(PointPosition, TheLineOfAShortSegmentIsAWideBand) {
    const Segment a(0, 0, 0.0000001, 0);
    EXPECT_EQ(a.PointPosition({0, 5}), kBeforeStart);
    EXPECT_EQ(a.PointPosition({0, 11}), kLeft);
}

TEST(PointPosition, ADegenerateSegmentHasItsPointAtTheStartAndEverythingElseBeyond) {
    const Segment a(1, 1, 1, 1);
    EXPECT_EQ(a.PointPosition({1, 1}), kAtStart);
    EXPECT_EQ(a.PointPosition({5, -3}), kBeyondEnd);
}

TEST(PointPosition, EquidistantFromBothEndsOutsideCountsAsBeyondTheEnd) {
    // Reachable only on a segment shorter than the tolerance: the point is on
    // the line, outside, and equally far from both ends.
    const Segment a(0, 0, 0, 0.0000005);
    EXPECT_EQ(a.PointPosition({1, 0.00000025}), kBeyondEnd);
}

TEST(PointPosition, UsesTheThreeProductAreaNotTheCrossProduct) {
    // (E - S) x (P - S) gives 9.997e-7 here, below the tolerance, and would put
    // P on the line; the three products added in order give 1.0002e-6.
    const Segment a(1000000.4092393628, 1000000.2670234615, 1000006.5996393894, 1000007.6026220521);
    EXPECT_EQ(a.PointPosition({1000003.5728991851, 1000004.0159475106}), kLeft);
}

// Two points of each position code against A = (0, 0) -> (4, 0), so that every
// pair of codes can be formed by a segment B with two distinct ends where the
// geometry allows it.
const Segment kA(0, 0, 4, 0);
const std::map<int, std::pair<Point, Point>> kProbes = {
    {kBeyondEnd, {{6, 0}, {8, 0}}},     {kAtEnd, {{4, 0}, {4, 0}}}, {kRight, {{1, -1}, {3, -2}}},
    {kInside, {{1, 0}, {3, 0}}},        {kLeft, {{1, 1}, {3, 2}}},  {kAtStart, {{0, 0}, {0, 0}}},
    {kBeforeStart, {{-2, 0}, {-4, 0}}},
};

TEST(SegmentRelation, ReproducesEveryCellOfTheTable) {
    constexpr int R = -1;  // decided by where A's ends lie against B, tested below
    const int table[7][7] = {
        // c:  -3  -2  -1   0   1   2   3
        {0, 2, 0, 4, 0, 6, 6},  // b = -3
        {2, 2, 2, 7, 2, 5, 6},  // b = -2
        {0, 2, 0, 4, R, 2, 0},  // b = -1
        {4, 7, 4, 7, 4, 7, 4},  // b = 0
        {0, 2, R, 4, 0, 2, 0},  // b = 1
        {6, 5, 2, 7, 2, 2, 2},  // b = 2
        {6, 6, 0, 4, 0, 2, 0},  // b = 3
    };
    for (int b = -3; b <= 3; ++b) {
        for (int c = -3; c <= 3; ++c) {
            const int expected = table[b + 3][c + 3];
            if (expected == R) continue;
            const Point start = kProbes.at(b).first;
            const Point end = b == c ? kProbes.at(c).second : kProbes.at(c).first;
            ASSERT_EQ(kA.PointPosition(start), b);
            ASSERT_EQ(kA.PointPosition(end), c);
            EXPECT_EQ(kA.SegmentRelation(Segment(start.x, start.y, end.x, end.y)), expected)
                << "b = " << b << ", c = " << c;
        }
    }
}

TEST(SegmentRelation, EndsOnOppositeSidesAreDecidedByASEndsAgainstB) {
    // Crossing interiors, in both cells of the table.
    EXPECT_EQ(kA.SegmentRelation(Segment(1, -1, 1, 1)), kCrossing);
    EXPECT_EQ(kA.SegmentRelation(Segment(1, 1, 1, -1)), kCrossing);
    // B crosses A's line beyond A: A lies on one side of B.
    EXPECT_EQ(kA.SegmentRelation(Segment(6, -1, 6, 1)), kApart);
    // B passes through A's end: A stands on B.
    EXPECT_EQ(kA.SegmentRelation(Segment(4, -1, 4, 1)), kEndOfAOnB);
    // A's end lies at B's end yet just off A's long line: against B, A's end
    // is at B's end (position -2) and A's start to one side, a product that
    // only the edge of the tolerance produces; it counts as a crossing.
    const Segment longA(0, 0, 1000, 0);
    EXPECT_EQ(longA.SegmentRelation(Segment(1000, -5, 1000, 0.0000005)), kCrossing);
}

TEST(SegmentRelation, ExchangingTheSegmentsMirrorsTAndContainment) {
    const Segment a(0, 0, 2, 0);
    const Segment stem(1, 0, 1, 1);
    EXPECT_EQ(a.SegmentRelation(stem), kEndOfBOnA);
    EXPECT_EQ(stem.SegmentRelation(a), kEndOfAOnB);

    const Segment longer(0, 0, 3, 0);
    const Segment within(2, 0, 1, 0);
    EXPECT_EQ(longer.SegmentRelation(within), kBAlongA);
    EXPECT_EQ(within.SegmentRelation(longer), kAAlongB);

    const Segment overlapping(1, 0, 3, 0);  // partial overlap: 4 both ways
    EXPECT_EQ(a.SegmentRelation(overlapping), kEndOfBOnA);
    EXPECT_EQ(overlapping.SegmentRelation(a), kEndOfBOnA);
}

TEST(SegmentRelation, SharedEndsAndSameSegments) {
    const Segment a(0, 0, 1, 0);
    EXPECT_EQ(a.SegmentRelation(Segment(1, 0, 1, 1)), kJoined);  // corner
    EXPECT_EQ(a.SegmentRelation(Segment(1, 0, 2, 0)), kJoined);  // continuing collinear
    EXPECT_EQ(a.SegmentRelation(Segment(2, 0, 3, 0)), kApart);   // collinear, beyond
    EXPECT_EQ(a.SegmentRelation(Segment(0, 0, 1, 0)), kSameSegment);
    EXPECT_EQ(a.SegmentRelation(Segment(1, 0, 0, 0)), kSameSegment);
    EXPECT_EQ(a.SegmentRelation(Segment(0, 1, 1, 1)), kApart);  // parallel
}

TEST(SegmentRelation, DegenerateSegments) {
    EXPECT_EQ(Segment(0, 0, 2, 0).SegmentRelation(Segment(1, 0, 1, 0)), kBAlongA);
    EXPECT_EQ(Segment(1, 1, 1, 1).SegmentRelation(Segment(0, 0, 2, 2)), kApart);
}

TEST(LineCrossing, WritesWhereTheInfiniteLinesCross) {
    const Segment a(0, 0, 1, 0);
    Point place{-7, -7};
    EXPECT_TRUE(a.LineCrossing(Segment(5, -1, 5, 1), place));
    ExpectPoint(place, 5, 0);  // outside A: the lines are not the segments
}

TEST(LineCrossing, LeavesThePlaceAloneForParallelLines) {
    Point place{-7, -9};
    EXPECT_FALSE(Segment(0, 0, 1, 0).LineCrossing(Segment(0, 1, 1, 1), place));
    ExpectPoint(place, -7, -9);
}

TEST(LineCrossing, IsMeasuredAlongTheSegmentItIsAppliedTo) {
    // The same crossing computed along A and along B differs in the last bits;
    // each direction has its own exact answer.
    const Segment a(2.3796462709189137, 5.442292252959518, 3.6995516654807927, 6.039200385961944);
    const Segment b(6.25720304108054, 0.6552885923981311, 0.13167991554874137, 8.3746908209646);
    Point alongA{};
    Point alongB{};
    ASSERT_TRUE(a.LineCrossing(b, alongA));
    ASSERT_TRUE(b.LineCrossing(a, alongB));
    ExpectPoint(alongA, 0x1.38084d1948d81p+1, 0x1.5dfd0e69f4104p+2);
    ExpectPoint(alongB, 0x1.38084d1948d83p+1, 0x1.5dfd0e69f4103p+2);
}

TEST(SegmentCrossPoints, AProperCrossingCutsBothAtTheCrossing) {
    const Segment a(0, 0, 2, 2), b(0, 2, 2, 0);
    ASSERT_EQ(a.SegmentRelation(b), kCrossing);
    for (Cuts cuts : {CutsOf(a, b), CutsOf(b, a)}) {
        ASSERT_EQ(cuts.count, 1);
        ExpectPoint(cuts.first, 1, 1);
        ExpectPoint(cuts.second, -7, -7);  // untouched
    }
}

TEST(SegmentCrossPoints, ATCutsOnlyTheSegmentThatIsStoodOn) {
    const Segment a(0, 0, 2, 0), stem(1, 0, 1, 1);
    Cuts cuts = CutsOf(a, stem);
    ASSERT_EQ(cuts.count, 1);
    ExpectPoint(cuts.first, 1, 0);
    EXPECT_EQ(CutsOf(stem, a).count, 0);

    // A crossed exactly at its start: only B is cut, at A's start.
    const Segment through(0, -1, 0, 1);
    ASSERT_EQ(a.SegmentRelation(through), kEndOfAOnB);
    EXPECT_EQ(CutsOf(a, through).count, 0);
    cuts = CutsOf(through, a);
    ASSERT_EQ(cuts.count, 1);
    ExpectPoint(cuts.first, 0, 0);
}

TEST(SegmentCrossPoints, TheCutIsTheOtherSegmentsOwnEndNotItsProjection) {
    const Segment a(0, 0, 1, 0), stem(0.5, 0.0000005, 0.5, 1);
    ASSERT_EQ(a.SegmentRelation(stem), kEndOfBOnA);
    const Cuts cuts = CutsOf(a, stem);
    ASSERT_EQ(cuts.count, 1);
    ExpectPoint(cuts.first, 0.5, 0.0000005);
}

TEST(SegmentCrossPoints, CollinearOverlapsCutAtTheEndsInside) {
    const Segment a(0, 0, 2, 0), b(1, 0, 3, 0);  // partial overlap
    Cuts cuts = CutsOf(a, b);
    ASSERT_EQ(cuts.count, 1);
    ExpectPoint(cuts.first, 1, 0);
    cuts = CutsOf(b, a);
    ASSERT_EQ(cuts.count, 1);
    ExpectPoint(cuts.first, 2, 0);

    const Segment longer(0, 0, 3, 0), within(2, 0, 1, 0);
    cuts = CutsOf(longer, within);  // the point nearer to A's start first
    ASSERT_EQ(cuts.count, 2);
    ExpectPoint(cuts.first, 1, 0);
    ExpectPoint(cuts.second, 2, 0);
    EXPECT_EQ(CutsOf(within, longer).count, 0);

    cuts = CutsOf(longer, Segment(0, 0, 2, 0));  // sharing the start: one end inside
    ASSERT_EQ(cuts.count, 1);
    ExpectPoint(cuts.first, 2, 0);
}

TEST(SegmentCrossPoints, TouchingOrIdenticalSegmentsAreNotCut) {
    const Segment a(0, 0, 1, 0);
    for (const Segment& b : {Segment(1, 0, 1, 1), Segment(0, 0, 1, 0), Segment(1, 0, 0, 0), Segment(2, 0, 3, 0)}) {
        EXPECT_EQ(CutsOf(a, b).count, 0);
        EXPECT_EQ(CutsOf(b, a).count, 0);
    }
}

TEST(SegmentCrossPoints, ADegeneratePointInsideCutsTwiceAtThatPoint) {
    Cuts cuts = CutsOf(Segment(0, 0, 2, 0), Segment(1, 0, 1, 0));
    ASSERT_EQ(cuts.count, 2);
    ExpectPoint(cuts.first, 1, 0);
    ExpectPoint(cuts.second, 1, 0);

    // Seen from the degenerate segment, both ends of B lie beyond it on "its
    // line", so nothing is cut; seen from B, the point lies inside twice.
    const Segment point(1, 1, 1, 1), diagonal(0, 0, 2, 2);
    EXPECT_EQ(CutsOf(point, diagonal).count, 0);
    cuts = CutsOf(diagonal, point);
    ASSERT_EQ(cuts.count, 2);
    ExpectPoint(cuts.first, 1, 1);
    ExpectPoint(cuts.second, 1, 1);
}

TEST(SegmentCrossPoints, ACrossingAgainstAVeryShortSegmentYieldsNoPoint) {
    // The relation says crossing, yet against the short B the start of A lies
    // "on its line" beyond it, so neither direction finds a point to cut at.
    const Segment a(0, 0, 1000, 0), b(10, -0.00000001, 10, 0.00000001);
    ASSERT_EQ(a.SegmentRelation(b), kCrossing);
    EXPECT_EQ(CutsOf(a, b).count, 0);
    EXPECT_EQ(CutsOf(b, a).count, 0);
}

}  // namespace
