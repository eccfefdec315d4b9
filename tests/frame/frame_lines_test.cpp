#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "loopweave.h"
#include "store/list_items.h"
#include "support/drawing.h"

namespace {

using loopweave::ItemsOf;
using loopweave::testing::ElementsText;
using loopweave::testing::Enter;
using loopweave::testing::Line;

struct Corners {
    double x1, y1, x2, y2;
};

// The frame pieces appended by one call, as text; the stored elements before
// them must come through unchanged.
std::string Frame(const std::vector<Line>& stored, Corners c) {
    CLoopweave builder;
    Enter(builder, stored);
    const std::string before = ElementsText(builder.Element());
    builder.AddFrameLine(c.x1, c.y1, c.x2, c.y2, 7, 8);
    const std::string after = ElementsText(builder.Element());
    EXPECT_EQ(after.compare(0, before.size(), before), 0) << "stored elements changed: " << after;
    return after.substr(before.empty() ? 0 : before.size() + 1);
}

struct Case {
    const char* name;
    std::vector<Line> stored;
    Corners corners;
    const char* pieces;  // frame pieces carry key1 7
};

class FrameCase : public ::testing::TestWithParam<Case> {};

TEST_P(FrameCase, AppendsThePiecesInOrder) {
    EXPECT_EQ(Frame(GetParam().stored, GetParam().corners), GetParam().pieces);
}

const Case kCases[] = {
    {"EmptyList", {}, {0, 0, 10, 5}, "(0,0)>(10,0):7 (0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7"},
    {"CornersExchanged", {}, {10, 5, 0, 0}, "(0,5)>(10,5):7 (10,0)>(10,5):7 (0,0)>(10,0):7 (0,0)>(0,5):7"},
    {"EndPointsOnTheFrame",
     {{3, 0, 3, 5, 1}, {0, 2, 6, 2, 2}},
     {0, 0, 10, 5},
     "(0,0)>(3,0):7 (3,0)>(10,0):7 (0,0)>(0,2):7 (0,2)>(0,5):7 (0,5)>(3,5):7 (3,5)>(10,5):7 (10,0)>(10,5):7"},
    {"StoredElementEqualToASide",
     {{10, 0, 0, 0, 1}},
     {0, 0, 10, 5},
     "(0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7"},
    {"EndPointBeyondACorner",
     {{12, 0, 12, 3, 1}},
     {0, 0, 10, 5},
     "(0,0)>(10,0):7 (10,0)>(12,0):7 (0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7"},
    {"ValuesCloserThanTheTolerance",
     {{5, 0.0000004, 5, 3, 1}, {5.0000002, 0, 5.0000002, -3, 2}},
     {0, 0, 10, 5},
     "(0,0)>(5,0):7 (5,0)>(5.0000002,0):7 (5.0000002,0)>(10,0):7 (0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7"},
    {"ZeroWidth", {}, {3, 0, 3, 5}, "(3,0)>(3,5):7"},
    {"OnePoint", {}, {3, 3, 3, 3}, ""},
    {"CrossingWithoutEndingDoesNotCut", {{5, -1, 5, 6, 1}}, {0, 0, 10, 5}, "(0,0)>(10,0):7 (0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7"},
    {"EndNearTheLineCutsExactlyOnIt",
     {{4, 0.0000009, 4, 3, 1}},
     {0, 0, 10, 5},
     "(0,0)>(4,0):7 (4,0)>(10,0):7 (0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7"},
};

INSTANTIATE_TEST_SUITE_P(AddFrameLine, FrameCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(AddFrameLine, PiecesCarryBothKeysAndASecondIdenticalCallAddsNothing) {
    CLoopweave builder;
    Enter(builder, {{3, 0, 3, 5, 1}});
    builder.AddFrameLine(0, 0, 10, 5, 7, 8);
    const std::string once = ElementsText(builder.Element());
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(builder.Element())) {
        EXPECT_EQ(element->Key2(), element->Key1() == 7 ? 8 : 0);
    }
    builder.AddFrameLine(0, 0, 10, 5, 9, 9);
    EXPECT_EQ(ElementsText(builder.Element()), once);
}

// Pieces of an earlier frame are stored elements like any other: their end
// points lengthen a later frame's side on the same line.
TEST(AddFrameLine, ASecondFrameOnTheSameLineReachesTheFirstFramesCorner) {
    CLoopweave builder;
    builder.AddFrameLine(0, 0, 10, 5, 1, 0);
    builder.AddFrameLine(0, 0, 4, 2, 2, 0);
    EXPECT_EQ(ElementsText(builder.Element()),
              "(0,0)>(10,0):1 (0,0)>(0,5):1 (0,5)>(10,5):1 (10,0)>(10,5):1 "
              "(0,0)>(4,0):2 (4,0)>(10,0):2 (0,0)>(0,2):2 (0,2)>(0,5):2 (0,2)>(4,2):2 (4,0)>(4,2):2");
}

// The bottom side's right end when a stored element ends at x = `stored` on
// it and the frame's corner is x = `corner`, the two equal but for the sign.
double BottomRightEnd(double stored, double corner) {
    CLoopweave builder;
    Enter(builder, {{stored, 0, stored, -3, 1}});
    builder.AddFrameLine(-5, 0, corner, 5, 7, 8);
    return static_cast<CLoopweaveElement*>(builder.Element().Data(builder.Element().Next(builder.Element().Head())))
        ->Ex();
}

TEST(AddFrameLine, OfAMinusZeroAndAZeroTheOneCollectedLastIsKept) {
    // Stored end points are collected before the corners.
    EXPECT_FALSE(std::signbit(BottomRightEnd(-0.0, 0.0)));
    EXPECT_TRUE(std::signbit(BottomRightEnd(0.0, -0.0)));
}

TEST(AddFrameLine, NonFiniteCornersAddNothingAndNonFiniteElementsAreNotCollected) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Frame({}, {0, 0, nan, 5}), "");
    EXPECT_EQ(Frame({}, {-inf, 0, 10, 5}), "");
    EXPECT_EQ(Frame({{3, 0, 3, nan, 1}, {inf, 5, 4, 5, 2}}, {0, 0, 10, 5}),
              "(0,0)>(10,0):7 (0,0)>(0,5):7 (0,5)>(10,5):7 (10,0)>(10,5):7");
}

}  // namespace
