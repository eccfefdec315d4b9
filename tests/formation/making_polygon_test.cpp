#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::testing::ChainText;
using loopweave::testing::Enter;
using loopweave::testing::ErrorText;
using loopweave::testing::Line;
using loopweave::testing::PolygonAt;

// The unit square, bottom side key 1, right 2, top 3, left 4, counter-clockwise.
const std::vector<Line> kSquare = {{0, 0, 1, 0, 1}, {1, 0, 1, 1, 2}, {1, 1, 0, 1, 3}, {0, 1, 0, 0, 4}};
const char* const kSquareBoundary = "(0,1)>(1,1):3 (1,1)>(1,0):2 (1,0)>(0,0):1 (0,0)>(0,1):4";
const char* const kSquareFace = "(0,0)>(1,0):1 (1,0)>(1,1):2 (1,1)>(0,1):3 (0,1)>(0,0):4";

std::vector<std::string> Form(const std::vector<Line>& lines) {
    CLoopweave builder;
    Enter(builder, lines);
    const int formed = builder.MakingPolygon();
    std::vector<std::string> chains;
    for (int i = 0; i < builder.Polygon().Count(); ++i) chains.push_back(ChainText(PolygonAt(builder, i)));
    EXPECT_EQ(formed, static_cast<int>(chains.size()));
    return chains;
}

using Chains = std::vector<std::string>;

TEST(MakingPolygon, ASquareGivesItsBoundaryThenItsFaceInAnyOrderAndDirection) {
    std::vector<int> order = {0, 1, 2, 3};
    do {
        for (int reversed = 0; reversed < 16; ++reversed) {
            std::vector<Line> lines;
            for (int side : order) {
                Line line = kSquare[static_cast<std::size_t>(side)];
                if (reversed & (1 << side)) line = {line.ex, line.ey, line.sx, line.sy, line.key1};
                lines.push_back(line);
            }
            ASSERT_EQ(Form(lines), (Chains{kSquareBoundary, kSquareFace}));
        }
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(MakingPolygon, TwoSquaresShareASideOnceInEachFace) {
    std::vector<Line> lines = kSquare;
    lines.insert(lines.end(), {{1, 0, 2, 0, 5}, {2, 0, 2, 1, 6}, {2, 1, 1, 1, 7}});
    EXPECT_EQ(Form(lines),
              (Chains{"(0,1)>(1,1):3 (1,1)>(2,1):7 (2,1)>(2,0):6 (2,0)>(1,0):5 (1,0)>(0,0):1 (0,0)>(0,1):4",
                      kSquareFace, "(1,0)>(2,0):5 (2,0)>(2,1):6 (2,1)>(1,1):7 (1,1)>(1,0):2"}));
}

TEST(MakingPolygon, ADanglingLineIsWalkedOutAndBackAndReportedAsAReturn) {
    std::vector<Line> lines = kSquare;
    lines.push_back({1, 1, 2, 2, 5});
    CLoopweave builder;
    Enter(builder, lines);
    ASSERT_EQ(builder.MakingPolygon(), 2);
    COutputLoopweave& boundary = PolygonAt(builder, 0);
    EXPECT_EQ(ChainText(boundary),
              "(0,1)>(1,1):3 (1,1)>(2,2):5 (2,2)>(1,1):5 (1,1)>(1,0):2 (1,0)>(0,0):1 (0,0)>(0,1):4");
    EXPECT_TRUE(boundary.Return());
    EXPECT_FALSE(boundary.Cross());
    EXPECT_FALSE(boundary.Critical());
    EXPECT_EQ(ErrorText(boundary), "(2,2)f2");
    EXPECT_EQ(boundary.Round(), -1);
    EXPECT_EQ(ChainText(PolygonAt(builder, 1)), kSquareFace);
    EXPECT_EQ(PolygonAt(builder, 1).Round(), 1);
}

TEST(MakingPolygon, LinesWithoutACycleGiveOneOutAndBackPolygon) {
    EXPECT_EQ(Form({{0, 0, 1, 0, 1}}), (Chains{"(1,0)>(0,0):1 (0,0)>(1,0):1"}));
    EXPECT_EQ(Form({{0, 0, 1, 0, 1}, {1, 0, 1, 1, 2}}),
              (Chains{"(1,0)>(1,1):2 (1,1)>(1,0):2 (1,0)>(0,0):1 (0,0)>(1,0):1"}));
    // Crossing lines are not cut: the crossing is no vertex.
    EXPECT_EQ(Form({{0, 0, 2, 2, 1}, {0, 2, 2, 0, 2}}),
              (Chains{"(2,2)>(0,0):1 (0,0)>(2,2):1", "(2,0)>(0,2):2 (0,2)>(2,0):2"}));
}

TEST(MakingPolygon, TheFirstPolygonIsTheFaceLeftOfTheFirstEdge) {
    EXPECT_EQ(Form({{0, 0, 1, 0, 1}, {1, 0, 2, 5, 2}, {2, 5, 0, 0, 3}}),
              (Chains{"(1,0)>(2,5):2 (2,5)>(0,0):3 (0,0)>(1,0):1", "(0,0)>(2,5):3 (2,5)>(1,0):2 (1,0)>(0,0):1"}));
}

TEST(MakingPolygon, ASquareInsideAnotherGivesItsOwnBoundaryAndFace) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}});
    Enter(builder, {{4, 4, 6, 4}, {6, 4, 6, 6}, {6, 6, 4, 6}, {4, 6, 4, 4}});
    ASSERT_EQ(builder.MakingPolygon(), 4);
    const int expectedRound[] = {-1, 1, -1, 1};
    const double expectedFirstX[] = {0, 0, 4, 4};
    for (int i = 0; i < 4; ++i) {
        COutputLoopweave& polygon = PolygonAt(builder, i);
        EXPECT_EQ(polygon.Count(), 4);
        EXPECT_EQ(polygon.Round(), expectedRound[i]);
        auto* first = static_cast<CLoopweaveElement*>(polygon.Element().Data(polygon.Element().Head()));
        EXPECT_EQ(first->Sx(), expectedFirstX[i]);
    }
}

TEST(MakingPolygon, DuplicatesFormOneEdgeWithTheKeysOfTheFirstEntered) {
    std::vector<Line> lines = kSquare;
    lines.insert(lines.end(), {{1, 0, 0, 0, 9}, {0, 0, 1, 0, 8}});
    CLoopweave builder;
    Enter(builder, lines);
    ASSERT_EQ(builder.MakingPolygon(), 2);
    EXPECT_EQ(ChainText(PolygonAt(builder, 0)), kSquareBoundary);
    EXPECT_EQ(ChainText(PolygonAt(builder, 1)), kSquareFace);
    // All stay stored, the reversed copy now in the canonical direction.
    ASSERT_EQ(builder.Element().Count(), 6);
    auto* reversed =
        static_cast<CLoopweaveElement*>(builder.Element().Data(builder.Element().Prev(builder.Element().Tail())));
    EXPECT_EQ(reversed->Key1(), 9);
    EXPECT_EQ(reversed->Sx(), 0);
    EXPECT_EQ(reversed->Ex(), 1);
}

TEST(MakingPolygon, StoredElementsAreTurnedInPlaceTowardsLargerXThenLargerY) {
    CLoopweave builder;
    CLoopweaveElement left(1, 0, 0, 0, 7, 8);
    CLoopweaveElement down(0, 1, 0, 0);
    CLoopweaveElement steep(0.0000005, 0, 0, 2);  // x extent below the tolerance: y directs
    CLoopweaveElement* kept = builder.Entry(left);
    CLoopweaveElement* vertical = builder.Entry(down);
    CLoopweaveElement* almostVertical = builder.Entry(steep);
    builder.MakingPolygon();
    EXPECT_EQ((std::vector<double>{kept->Sx(), kept->Sy(), kept->Ex(), kept->Ey()}), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(kept->Key1(), 7);
    EXPECT_EQ(kept->Key2(), 8);
    EXPECT_EQ((std::vector<double>{vertical->Sx(), vertical->Sy(), vertical->Ex(), vertical->Ey()}),
              (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(almostVertical->Sx(), 0.0000005);
    EXPECT_EQ(almostVertical->Ey(), 2);
}

TEST(MakingPolygon, ElementsWithoutLengthOrFiniteEndsTakeNoPartAndStayAsTheyWere) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Line> lines = {{0.0000005, 0.0000005, 0, 0, 10},
                               {1, 1, 1.000001, 1.000001, 11},  // exactly the tolerance on both axes
                               {inf, 0, 0, 0, 12},
                               {0, 0, 5, nan, 13},
                               {-inf, -inf, inf, inf, 14}};
    lines.insert(lines.begin() + 2, kSquare.begin(), kSquare.end());
    CLoopweave builder;
    Enter(builder, lines);
    ASSERT_EQ(builder.MakingPolygon(), 2);
    EXPECT_EQ(ChainText(PolygonAt(builder, 0)), kSquareBoundary);
    EXPECT_EQ(ChainText(PolygonAt(builder, 1)), kSquareFace);

    CPtrList& stored = builder.Element();
    auto* unmoved = static_cast<CLoopweaveElement*>(stored.Data(stored.Head()));
    EXPECT_EQ(unmoved->Sx(), 0.0000005);  // a backwards element of no length is not turned
    auto* notANumber = static_cast<CLoopweaveElement*>(stored.Data(stored.Prev(stored.Tail())));
    EXPECT_EQ(notANumber->Ex(), 5);
    EXPECT_TRUE(std::isnan(notANumber->Ey()));

    CLoopweave nothingToForm;
    Enter(nothingToForm, {{0, 0, 0, 0}, {nan, nan, nan, nan}, {inf, 0, inf, 1}});
    EXPECT_EQ(nothingToForm.MakingPolygon(), 0);
    EXPECT_EQ(nothingToForm.Polygon().Count(), 0);
}

TEST(MakingPolygon, EdgesLeavingAVertexInOneDirectionLeaveAWalkOpen) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 1, 0, 1}, {0, 0, 2, 0, 2}, {0, 0, 0, 1, 3}});
    ASSERT_EQ(builder.MakingPolygon(), 1);
    COutputLoopweave& polygon = PolygonAt(builder, 0);
    EXPECT_EQ(ChainText(polygon),
              "(0,1)>(0,0):3 (0,0)>(1,0):1 (1,0)>(0,0):1 (0,0)>(2,0):2 (2,0)>(0,0):2 (0,0)>(1,0):1");
    EXPECT_TRUE(polygon.Critical());
}

// Regression: the walk turned back at a vertex although another edge met it,
// when that edge left the vertex a hair counter-clockwise of the edge being
// left behind, so that its clockwise turn rounded to exactly 2π.
TEST(MakingPolygon, AnEdgeWhoseTurnRoundsToAFullCircleIsStillTaken) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 1, 0, 1}, {0, 0, 1e6, 1e-11, 2}});
    ASSERT_EQ(builder.MakingPolygon(), 1);
    EXPECT_FALSE(PolygonAt(builder, 0).Critical());
    EXPECT_EQ(PolygonAt(builder, 0).Count(), 4);
}

TEST(MakingPolygon, EveryCallReplacesThePolygonsOfTheLast) {
    CLoopweave builder;
    Enter(builder, kSquare);
    ASSERT_EQ(builder.MakingPolygon(), 2);
    ASSERT_EQ(builder.MakingPolygon(), 2);
    EXPECT_EQ(ChainText(PolygonAt(builder, 0)), kSquareBoundary);
    EXPECT_EQ(ChainText(PolygonAt(builder, 1)), kSquareFace);

    builder.RemoveElement();
    EXPECT_EQ(builder.MakingPolygon(), 0);
    EXPECT_EQ(builder.Polygon().Count(), 0);
}

}  // namespace
