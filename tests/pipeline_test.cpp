// The whole job as a host does it, through the public interface alone: cut
// the crossing lines, form the polygons, tell faces from boundaries and strip
// the lines that lead nowhere.

#include <gtest/gtest.h>

#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::testing::ChainText;
using loopweave::testing::Enter;
using loopweave::testing::ErrorText;
using loopweave::testing::PolygonAt;

// The square (0, 0)-(10, 10), bottom side key 1, right 2, top 3, left 4, and
// a vertical line key 5 through it, sticking out 5 beyond both sides.
TEST(Pipeline, ASquareHalvedByALineThatSticksOutOnBothSides) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 10, 0, 1}, {10, 0, 10, 10, 2}, {10, 10, 0, 10, 3}, {0, 10, 0, 0, 4}, {5, -5, 5, 15, 5}});

    builder.InsertCrossPoint();
    EXPECT_EQ(builder.Element().Count(), 9);

    ASSERT_EQ(builder.MakingPolygon(), 3);
    COutputLoopweave& boundary = PolygonAt(builder, 0);
    COutputLoopweave& left = PolygonAt(builder, 1);
    COutputLoopweave& right = PolygonAt(builder, 2);
    EXPECT_EQ(boundary.Round(), -1);
    EXPECT_EQ(left.Round(), 1);
    EXPECT_EQ(right.Round(), 1);
    EXPECT_EQ(ChainText(left), "(0,0)>(5,0):1 (5,0)>(5,10):5 (5,10)>(0,10):3 (0,10)>(0,0):4");
    EXPECT_EQ(ChainText(right), "(5,0)>(10,0):1 (10,0)>(10,10):2 (10,10)>(5,10):3 (5,10)>(5,0):5");
    for (COutputLoopweave* polygon : {&boundary, &left, &right}) {
        EXPECT_FALSE(polygon->Critical());
        EXPECT_FALSE(polygon->Cross());
    }
    EXPECT_FALSE(left.Return());
    EXPECT_FALSE(right.Return());
    EXPECT_TRUE(boundary.Return());
    EXPECT_EQ(ErrorText(boundary), "(5,15)f2 (5,-5)f2");
    EXPECT_EQ(boundary.Count(), 10);

    boundary.RemoveReturnLine();
    EXPECT_EQ(boundary.Count(), 6);
    EXPECT_FALSE(boundary.Return());
    EXPECT_EQ(ErrorText(boundary), "");
    EXPECT_EQ(boundary.Round(), -1);
}

}  // namespace
