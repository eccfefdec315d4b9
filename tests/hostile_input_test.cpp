// Drawings that have broken geometry code elsewhere, through the whole public
// pipeline: each ends with a defined result, with every invariant the fuzzer
// checks holding after every call. They run here at 1000 elements; the
// benchmarks run them at up to 10^5.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "drawings/hostile_drawings.h"
#include "invariants.h"
#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::fuzz::InvariantChecker;
using loopweave::testing::ElementsText;
using loopweave::testing::Enter;
using loopweave::testing::Line;
using loopweave::testing::PolygonAt;

constexpr int kElements = 1000;

struct Outcome {
    int cut;                       // stored elements after cutting
    std::vector<int> formedCounts;  // each polygon's elements before stripping
};

// Cuts, forms and strips every polygon's runs, checking the invariants after
// each call.
Outcome RunPipeline(CLoopweave& builder, const std::vector<Line>& lines) {
    InvariantChecker checker(builder);
    for (const Line& line : lines) checker.AllowKeys(line.key1, line.key2);
    Enter(builder, lines);
    builder.InsertCrossPoint();
    checker.AfterStep();
    Outcome outcome{builder.Element().Count(), {}};
    checker.AfterForming(builder.MakingPolygon());
    for (int i = 0; i < builder.Polygon().Count(); ++i) {
        outcome.formedCounts.push_back(PolygonAt(builder, i).Count());
        PolygonAt(builder, i).RemoveReturnLine();
        checker.Rediagnosed(&PolygonAt(builder, i));
    }
    checker.AfterStep();
    return outcome;
}

// A tree of edges: one polygon walking every edge there and back, with
// nothing left once the runs are stripped.
void ExpectOneTreeBoundary(CLoopweave& builder, const Outcome& outcome, int edges) {
    ASSERT_EQ(outcome.formedCounts, std::vector<int>{2 * edges});
    COutputLoopweave& boundary = PolygonAt(builder, 0);
    EXPECT_EQ(boundary.Count(), 0);
    EXPECT_FALSE(boundary.Return());
    EXPECT_FALSE(boundary.Critical());
}

TEST(HostileInput, AStarIsCutOnceAtItsCentreAndStripsToNothing) {
    CLoopweave builder;
    const Outcome outcome = RunPipeline(builder, loopweave::drawings::StarThroughOnePoint(kElements));
    EXPECT_EQ(outcome.cut, 2 * kElements);
    ExpectOneTreeBoundary(builder, outcome, 2 * kElements);
}

TEST(HostileInput, CopiesInBothDirectionsBecomeOneEdge) {
    CLoopweave builder;
    const Outcome outcome = RunPipeline(builder, loopweave::drawings::CopiesBothWays(kElements));
    EXPECT_EQ(outcome.cut, kElements);
    ExpectOneTreeBoundary(builder, outcome, 1);
}

TEST(HostileInput, OverlappingCollinearElementsAreCutAtEveryEnd) {
    CLoopweave builder;
    const Outcome outcome = RunPipeline(builder, loopweave::drawings::CollinearOverlaps(kElements));
    // Each element overlaps the next nineteen and is cut at all their ends;
    // the pieces run in steps of 0.5 from the first start to the last end.
    EXPECT_EQ(outcome.cut, 20 * kElements);
    ExpectOneTreeBoundary(builder, outcome, kElements - 1 + 20);
}

TEST(HostileInput, ALongClosedChainIsOneFaceAndItsBoundary) {
    CLoopweave builder;
    EXPECT_EQ(RunPipeline(builder, loopweave::drawings::ClosedChain(kElements)).cut, kElements);
    ASSERT_EQ(builder.Polygon().Count(), 2);
    EXPECT_EQ(PolygonAt(builder, 0).Round(), 1);
    EXPECT_EQ(PolygonAt(builder, 1).Round(), -1);
    for (int i = 0; i < 2; ++i) {
        COutputLoopweave& polygon = PolygonAt(builder, i);
        EXPECT_EQ(polygon.Count(), kElements);
        EXPECT_FALSE(polygon.Critical() || polygon.Cross() || polygon.Return());
    }
}

TEST(HostileInput, HugeAndTinyCoordinatesTogetherFinish) {
    CLoopweave builder;
    EXPECT_GT(RunPipeline(builder, loopweave::drawings::HugeAndTinyMixed(kElements)).cut, 0);
    EXPECT_GT(builder.Polygon().Count(), 0);
}

// A frame with no area adds at most one side; one with a corner that is not
// finite adds nothing.
TEST(HostileInput, DegenerateFramesAddOnlyTheSidesTheyHave) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Line> triangle = {{0, 0, 4, 0, 1}, {4, 0, 4, 4, 2}, {4, 4, 0, 0, 3}};
    const std::string drawn = "(0,0)>(4,0):1 (4,0)>(4,4):2 (4,4)>(0,0):3";
    struct Case {
        double x1, y1, x2, y2;
        const char* added;
    };
    for (const Case& frame : std::vector<Case>{{2, 2, 2, 2, ""},
                                                {2, -1, 2, 5, " (2,-1)>(2,5):9"},
                                                {-1, -1, kInfinity, 5, ""},
                                                {kNaN, 0, 5, 5, ""},
                                                {-kInfinity, -kInfinity, kInfinity, kInfinity, ""}}) {
        CLoopweave builder;
        Enter(builder, triangle);
        builder.AddFrameLine(frame.x1, frame.y1, frame.x2, frame.y2, 9, 0);
        EXPECT_EQ(ElementsText(builder.Element()), drawn + frame.added);
    }
}

}  // namespace
