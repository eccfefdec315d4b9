#include <gtest/gtest.h>

#include <limits>

#include "geometry/point.h"
#include "loopweave.h"

namespace {

using loopweave::Point;
using loopweave::SamePoint;

TEST(Coord, DefaultsToTheOriginWithFlagZero) {
    CCoord point;
    EXPECT_EQ(point.X(), 0);
    EXPECT_EQ(point.Y(), 0);
    EXPECT_EQ(point.Flag(), 0);
}

TEST(Coord, CopyAndAssignmentCarryTheFlag) {
    CCoord original(3, 4, 2);
    CCoord copy(original);
    EXPECT_EQ(copy.X(), 3);
    EXPECT_EQ(copy.Y(), 4);
    EXPECT_EQ(copy.Flag(), 2);

    CCoord target(7, 8, 1);
    const CCoord& result = (target = original);
    EXPECT_EQ(&result, &target);
    EXPECT_EQ(target.X(), 3);
    EXPECT_EQ(target.Flag(), 2);
}

TEST(SamePoint, ADifferenceOfExactlyTheToleranceIsDifferent) {
    EXPECT_FALSE(SamePoint({0, 0}, {0.000001, 0}));
    EXPECT_FALSE(SamePoint({0, 0}, {0, -0.000001}));
    EXPECT_TRUE(SamePoint({0, 0}, {0.000000999, -0.000000999}));
}

TEST(SamePoint, IsNotTransitive) {
    const Point a{0, 0}, b{0.0000007, 0}, c{0.0000014, 0};
    EXPECT_TRUE(SamePoint(a, b));
    EXPECT_TRUE(SamePoint(b, c));
    EXPECT_FALSE(SamePoint(a, c));
}

TEST(SamePoint, NotANumberIsNeverTheSame) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(SamePoint({nan, 0}, {nan, 0}));
    EXPECT_FALSE(SamePoint({0, 0}, {0, nan}));
}

}  // namespace
