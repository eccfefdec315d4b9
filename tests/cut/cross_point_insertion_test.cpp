#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "loopweave.h"
#include "store/list_items.h"
#include "support/allocation_counter.h"
#include "support/drawing.h"

namespace {

using loopweave::ItemsOf;
using loopweave::testing::AllocationCounter;
using loopweave::testing::AllocationLimit;
using loopweave::testing::ElementsText;
using loopweave::testing::Enter;
using loopweave::testing::Line;
using loopweave::testing::PolygonAt;

// Cuts the lines and returns the stored list as text, checking on the way
// that a second call finds nothing left to cut.
std::string Cut(const std::vector<Line>& lines) {
    CLoopweave builder;
    Enter(builder, lines);
    builder.InsertCrossPoint();
    const std::string once = ElementsText(builder.Element());
    builder.InsertCrossPoint();
    EXPECT_EQ(ElementsText(builder.Element()), once) << "a second call cut again";
    return once;
}

struct Case {
    const char* name;
    std::vector<Line> before;
    const char* after;  // key1 tells which element a piece was cut from
};

class CrossPointCase : public ::testing::TestWithParam<Case> {};

TEST_P(CrossPointCase, CutsAsDescribed) { EXPECT_EQ(Cut(GetParam().before), GetParam().after); }

const Case kCases[] = {
    {"Crossing", {{0, 0, 10, 0, 1}, {5, -5, 5, 5, 2}}, "(0,0)>(5,0):1 (5,0)>(10,0):1 (5,-5)>(5,0):2 (5,0)>(5,5):2"},
    {"InnerEndsOnOuter", {{0, 0, 10, 0, 1}, {5, 0, 5, 5, 2}}, "(0,0)>(5,0):1 (5,0)>(10,0):1 (5,0)>(5,5):2"},
    {"OuterEndsOnInner", {{5, 0, 5, 5, 1}, {0, 0, 10, 0, 2}}, "(5,0)>(5,5):1 (0,0)>(5,0):2 (5,0)>(10,0):2"},
    {"SharedCorner", {{0, 0, 10, 0, 1}, {10, 0, 10, 5, 2}}, "(0,0)>(10,0):1 (10,0)>(10,5):2"},
    {"ReversedTwin", {{0, 0, 10, 0, 1}, {10, 0, 0, 0, 2}}, "(0,0)>(10,0):1 (10,0)>(0,0):2"},
    {"PartialOverlap",
     {{0, 0, 10, 0, 1}, {5, 0, 15, 0, 2}},
     "(0,0)>(5,0):1 (5,0)>(10,0):1 (5,0)>(10,0):2 (10,0)>(15,0):2"},
    {"InnerWithinOuter", {{0, 0, 10, 0, 1}, {7, 0, 3, 0, 2}}, "(0,0)>(3,0):1 (3,0)>(7,0):1 (7,0)>(10,0):1 (7,0)>(3,0):2"},
    {"OuterWithinInner",
     {{3, 0, 7, 0, 1}, {10, 0, 0, 0, 2}},
     "(3,0)>(7,0):1 (10,0)>(7,0):2 (7,0)>(3,0):2 (3,0)>(0,0):2"},
    {"WithinSharingAStart", {{0, 0, 10, 0, 1}, {0, 0, 5, 0, 2}}, "(0,0)>(5,0):1 (5,0)>(10,0):1 (0,0)>(5,0):2"},
    {"ThreeThroughOnePoint",
     {{-5, 0, 5, 0, 1}, {0, -5, 0, 5, 2}, {-5, -5, 5, 5, 3}},
     "(-5,0)>(0,0):1 (0,0)>(5,0):1 (0,-5)>(0,0):2 (0,0)>(0,5):2 (-5,-5)>(0,0):3 (0,0)>(5,5):3"},
    {"CrossedThreeTimes",
     {{0, 0, 10, 0, 1}, {2, -1, 2, 1, 2}, {5, -1, 5, 1, 3}, {8, -1, 8, 1, 4}},
     "(0,0)>(2,0):1 (2,0)>(5,0):1 (5,0)>(8,0):1 (8,0)>(10,0):1 (2,-1)>(2,0):2 (2,0)>(2,1):2 "
     "(5,-1)>(5,0):3 (5,0)>(5,1):3 (8,-1)>(8,0):4 (8,0)>(8,1):4"},
    {"TwoByTwoGrid",
     {{0, 1, 3, 1, 1}, {0, 2, 3, 2, 2}, {1, 0, 1, 3, 3}, {2, 0, 2, 3, 4}},
     "(0,1)>(1,1):1 (1,1)>(2,1):1 (2,1)>(3,1):1 (0,2)>(1,2):2 (1,2)>(2,2):2 (2,2)>(3,2):2 "
     "(1,0)>(1,1):3 (1,1)>(1,2):3 (1,2)>(1,3):3 (2,0)>(2,1):4 (2,1)>(2,2):4 (2,2)>(2,3):4"},
    {"DiagonalThroughTwoCorners",
     {{0, 0, 10, 0, 1}, {10, 0, 10, 10, 2}, {10, 10, 0, 10, 3}, {0, 10, 0, 0, 4}, {-5, -5, 15, 15, 5}},
     "(0,0)>(10,0):1 (10,0)>(10,10):2 (10,10)>(0,10):3 (0,10)>(0,0):4 "
     "(-5,-5)>(0,0):5 (0,0)>(10,10):5 (10,10)>(15,15):5"},
    {"ZeroLengthAfterCutsInThree", {{0, 0, 10, 0, 1}, {4, 0, 4, 0, 2}}, "(0,0)>(4,0):1 (4,0)>(4,0):1 (4,0)>(10,0):1 (4,0)>(4,0):2"},
    {"ZeroLengthBeforeCutsNothing", {{4, 0, 4, 0, 1}, {0, 0, 10, 0, 2}}, "(4,0)>(4,0):1 (0,0)>(10,0):2"},
};

INSTANTIATE_TEST_SUITE_P(InsertCrossPoint, CrossPointCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(InsertCrossPoint, AnEmptyListOrASingleElementIsLeftAlone) {
    EXPECT_EQ(Cut({}), "");
    EXPECT_EQ(Cut({{0, 0, 1, 1, 1}}), "(0,0)>(1,1):1");
}

TEST(InsertCrossPoint, AnElementCrossedThreeTimesIsCutTheSameWayInEveryListOrder) {
    const std::vector<Line> lines = {{0, 0, 10, 0, 1}, {2, -1, 2, 1, 2}, {5, -1, 5, 1, 3}, {8, -1, 8, 1, 4}};
    std::vector<int> order = {0, 1, 2, 3};
    do {
        std::vector<Line> ordered;
        for (int i : order) ordered.push_back(lines[static_cast<std::size_t>(i)]);
        const std::string text = Cut(ordered);
        EXPECT_NE(text.find("(0,0)>(2,0):1 (2,0)>(5,0):1 (5,0)>(8,0):1 (8,0)>(10,0):1"), std::string::npos) << text;
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(InsertCrossPoint, PiecesKeepBothKeysAndTheEnteredObjectBecomesTheFirstPiece) {
    CLoopweave builder;
    CLoopweaveElement horizontal(0, 0, 10, 0, 7, 70);
    CLoopweaveElement vertical(5, -5, 5, 5, 8, 80);
    CLoopweaveElement* first = builder.Entry(horizontal);
    builder.Entry(vertical);
    builder.InsertCrossPoint();

    CPtrList& stored = builder.Element();
    EXPECT_EQ(stored.Data(stored.Head()), first);
    EXPECT_EQ(first->Ex(), 5);
    std::string keys;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(stored)) {
        keys += std::to_string(element->Key1()) + '.' + std::to_string(element->Key2()) + ' ';
    }
    EXPECT_EQ(keys, "7.70 7.70 8.80 8.80 ");
}

// Enters the lines, key1 numbering them from 0, and cuts them. Then checks
// that every line became a run of pieces in its place: the first piece is the
// entered object itself, every piece runs the line's way and starts exactly
// where the one before it ends, and the last ends where the line ended.
void ExpectRunsOfPieces(const std::vector<Line>& lines) {
    CLoopweave builder;
    std::vector<CLoopweaveElement*> entered;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        CLoopweaveElement element(line.sx, line.sy, line.ex, line.ey, static_cast<int>(i));
        entered.push_back(builder.Entry(element));
    }
    builder.InsertCrossPoint();

    std::vector<CLoopweaveElement*> stored;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(builder.Element())) stored.push_back(element);
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        ASSERT_EQ(stored[at], entered[i]) << "line " << i << " does not start its run";
        ASSERT_EQ(entered[i]->Sx(), line.sx);
        ASSERT_EQ(entered[i]->Sy(), line.sy);
        CLoopweaveElement* piece = stored[at++];
        for (;;) {
            const double along = (piece->Ex() - piece->Sx()) * (line.ex - line.sx) +
                                 (piece->Ey() - piece->Sy()) * (line.ey - line.sy);
            ASSERT_GE(along, 0.0) << "a piece of line " << i << " runs backwards";
            if (at == stored.size() || stored[at]->Key1() != static_cast<int>(i)) break;
            ASSERT_EQ(stored[at]->Sx(), piece->Ex()) << "line " << i;
            ASSERT_EQ(stored[at]->Sy(), piece->Ey()) << "line " << i;
            piece = stored[at++];
        }
        ASSERT_EQ(piece->Ex(), line.ex) << "line " << i;
        ASSERT_EQ(piece->Ey(), line.ey) << "line " << i;
    }
    ASSERT_EQ(at, stored.size());
}

TEST(InsertCrossPoint, EveryElementBecomesARunOfPiecesThatJoinBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<Line> lines(12);
        for (Line& line : lines) line = {coordinate(random), coordinate(random), coordinate(random), coordinate(random)};
        SCOPED_TRACE(trial);
        ExpectRunsOfPieces(lines);
    }
}

// Two lines crossing far from the origin. Computed along each line, the
// crossing came out as two points a few units in the last place apart, and
// the area test put each new piece of one line off the other's shortened
// line: the two crossed again at their ends, were cut again into pieces of no
// length, and so on without end. Both are now cut at one point.
TEST(InsertCrossPoint, ACrossingFarFromTheOriginIsCutOnceAtOnePoint) {
    CLoopweave builder;
    Enter(builder, {{-274749.07199881558, 653668.36306304624, 57718.373515934341, -935575.42326479184, 1},
                    {882690.39431680343, -579378.89961357694, -354199.88362995157, 57104.311691267059, 2}});
    builder.InsertCrossPoint();
    CPtrList& stored = builder.Element();
    ASSERT_EQ(stored.Count(), 4);
    auto* a = static_cast<CLoopweaveElement*>(stored.Data(stored.Head()));
    auto* b = static_cast<CLoopweaveElement*>(stored.Data(stored.Next(stored.Next(stored.Head()))));
    EXPECT_EQ(a->Ex(), b->Ex());
    EXPECT_EQ(a->Ey(), b->Ey());

    // The four pieces meet at one vertex, and nothing crosses there.
    ASSERT_EQ(builder.MakingPolygon(), 1);
    EXPECT_FALSE(PolygonAt(builder, 0).Cross());
}

// Far from the origin the area test is finer than the rounding of the
// coordinates: two pieces of one line passed for lines crossing somewhere
// along it, were cut there, turned round and overlapped, and were cut again
// without end.
TEST(InsertCrossPoint, PiecesOfOneLineFarFromTheOriginAreNotCutAgain) {
    ExpectRunsOfPieces({{-9767912.3479433767, 793755.86240109766, 1675997.1840644949, 6482630.6362267025},
                        {9172613.1338552516, 6373574.0569961872, -1948382.993792691, 6293645.1750477375},
                        {9371482.5416946001, -9353106.195679199, -9773942.9142862502, 3139438.7994411788},
                        {-7362799.5229988331, -1393413.6585733714, -2364671.5467036404, 6009603.9433988184},
                        {-4077065.1938211299, 7475163.2781062275, -8896322.662586173, -2298948.3841657364},
                        {-6649135.3282729713, 5713989.1280214768, 3614030.9733469379, -2970654.4469699524}});
}

// B passes within the tolerance of A's end but, being long, counts it off its
// line: the two cross. A is not cut into a piece of no length; B is cut at
// A's end itself, so the three meet exactly.
TEST(InsertCrossPoint, ACrossingWithinTheToleranceOfAnEndIsThatEnd) {
    const double x = 999.9999995;
    CLoopweave builder;
    Enter(builder, {{0, 0, 1000, 0, 1}, {x, -1000, x, 1000, 2}});
    builder.InsertCrossPoint();
    EXPECT_EQ(ElementsText(builder.Element()), "(0,0)>(1000,0):1 (999.999999,-1000)>(1000,0):2 (1000,0)>(999.999999,1000):2");
    auto* b = static_cast<CLoopweaveElement*>(builder.Element().Data(builder.Element().Tail()));
    EXPECT_EQ(b->Sx(), 1000.0);
    EXPECT_EQ(b->Ex(), x);
}

// Memory running out at any allocation leaves the stored list as it was: no
// element shortened without the pieces that take up the rest of it. Leaks
// show under the sanitizers.
TEST(InsertCrossPoint, RunningOutOfMemoryLeavesTheListAsItWas) {
    if (!AllocationCounter::Counting()) GTEST_SKIP() << "allocations cannot be counted here";
    std::vector<Line> lines;
    for (int i = 0; i < 12; ++i) {
        lines.push_back({0, i + 0.5, 12, i + 0.5, i});
        lines.push_back({i + 0.5, 0, i + 0.5, 12, 12 + i});
    }
    for (long allowed = 0;; ++allowed) {
        CLoopweave builder;
        Enter(builder, lines);
        const std::string before = ElementsText(builder.Element());
        bool ranOut = false;
        {
            AllocationLimit limit(allowed);
            try {
                builder.InsertCrossPoint();
            } catch (const std::bad_alloc&) {
                ranOut = true;
            }
        }
        if (!ranOut) {
            EXPECT_EQ(builder.Element().Count(), 24 + 2 * 12 * 12);
            return;
        }
        ASSERT_EQ(ElementsText(builder.Element()), before) << "after " << allowed << " allocations";
    }
}

TEST(InsertCrossPoint, AnElementThatIsNotFiniteIsNeitherCutNorCuts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Cut({{0, 0, 10, 0, 1}, {5, -5, 5, nan, 2}, {-inf, 0, 5, 0, 3}, {5, -1, 5, 1, 4}}),
              "(0,0)>(5,0):1 (5,0)>(10,0):1 (5,-5)>(5,nan):2 (-inf,0)>(5,0):3 (5,-1)>(5,0):4 (5,0)>(5,1):4");
}

}  // namespace
