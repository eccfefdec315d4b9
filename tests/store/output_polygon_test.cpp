#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "loopweave.h"
#include "support/allocation_counter.h"
#include "support/drawing.h"

namespace {

using loopweave::testing::AllocationCounter;
using loopweave::testing::AppendClosedChain;

int RoundOf(const std::vector<std::pair<double, double>>& starts) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, starts);
    return polygon.Round();
}

TEST(OutputPolygon, StartsEmptyAndUndiagnosed) {
    COutputLoopweave polygon;
    EXPECT_EQ(polygon.Count(), 0);
    EXPECT_EQ(polygon.Element().Head(), nullptr);
    EXPECT_EQ(polygon.Error().Head(), nullptr);
    EXPECT_FALSE(polygon.Critical());
    EXPECT_FALSE(polygon.Cross());
    EXPECT_FALSE(polygon.Return());
    EXPECT_EQ(polygon.Round(), 0);
}

TEST(OutputPolygon, OwnsWhatTheHostPutsIntoItsLists) {
    AllocationCounter counter;
    {
        COutputLoopweave polygon;
        EXPECT_EQ(&polygon.Element(), &polygon.Element());
        EXPECT_EQ(&polygon.Error(), &polygon.Error());
        AppendClosedChain(polygon, {{0, 0}, {1, 0}, {1, 1}});
        polygon.Error().Append(new CCoord(1, 1, 2));
        EXPECT_EQ(polygon.Count(), 3);
    }
    EXPECT_EQ(counter.Releases(), counter.Allocations());
}

TEST(OutputPolygonRound, CounterClockwiseIsOneClockwiseIsMinusOne) {
    EXPECT_EQ(RoundOf({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), 1);
    EXPECT_EQ(RoundOf({{0, 0}, {0, 1}, {1, 1}, {1, 0}}), -1);
    // Far from the origin the sum is taken about the first start point and
    // stays exact.
    EXPECT_EQ(RoundOf({{1e9, 1e9}, {1e9 + 1, 1e9}, {1e9 + 1, 1e9 + 1}, {1e9, 1e9 + 1}}), 1);
}

TEST(OutputPolygonRound, ChainsWithoutAreaAreZero) {
    EXPECT_EQ(RoundOf({{0, 0}}), 0);
    EXPECT_EQ(RoundOf({{0, 0}, {1, 0}}), 0);                  // out and back
    EXPECT_EQ(RoundOf({{0, 0}, {1, 1}, {3, 3}, {2, 2}}), 0);  // all on one line
}

TEST(OutputPolygonRound, TheToleranceBoundsTwiceTheAreaAndIncludesItsValue) {
    EXPECT_EQ(RoundOf({{0, 0}, {0.001, 0}, {0, 0.002}}), 1);   // twice the area 2e-6
    EXPECT_EQ(RoundOf({{0, 0}, {0.001, 0}, {0, 0.0005}}), 0);  // 5e-7
    EXPECT_EQ(RoundOf({{0, 0}, {1, 0}, {0, 0.000001}}), 1);    // exactly 1e-6
    EXPECT_EQ(RoundOf({{0, 0}, {1, 0}, {0, -0.000001}}), -1);
}

TEST(OutputPolygonRound, ReadsStartPointsOnly) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    auto* last = static_cast<CLoopweaveElement*>(polygon.Element().Data(polygon.Element().Tail()));
    *last = CLoopweaveElement(0, 1, -50, -50);
    EXPECT_EQ(polygon.Round(), 1);
}

TEST(OutputPolygonRound, ASpikeAddsNoArea) {
    // The outer boundary of a square with a dangling line from (1, 1) to (2, 2).
    EXPECT_EQ(RoundOf({{0, 1}, {1, 1}, {2, 2}, {1, 1}, {1, 0}, {0, 0}}), -1);
    EXPECT_EQ(RoundOf({{0, 1}, {1, 1}, {1, 0}, {0, 0}}), -1);
}

}  // namespace
