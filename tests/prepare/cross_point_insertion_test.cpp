#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
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

// A crossing is computed on each element's own line, so the two cut points
// may differ in the last bits; each element's own pieces must still join
// exactly, or formation would see a gap inside an element.
TEST(InsertCrossPoint, EveryElementBecomesARunOfPiecesThatJoinBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
    for (int trial = 0; trial < 200; ++trial) {
        CLoopweave builder;
        std::vector<CLoopweaveElement*> entered;
        std::vector<CLoopweaveElement> originals;
        for (int i = 0; i < 12; ++i) {
            CLoopweaveElement element(coordinate(random), coordinate(random), coordinate(random), coordinate(random), i);
            originals.push_back(element);
            entered.push_back(builder.Entry(element));
        }
        builder.InsertCrossPoint();

        std::vector<CLoopweaveElement*> stored;
        for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(builder.Element())) stored.push_back(element);
        std::size_t at = 0;
        for (std::size_t i = 0; i < entered.size(); ++i) {
            ASSERT_EQ(stored[at], entered[i]) << "trial " << trial << ": run " << i << " does not start with its element";
            ASSERT_EQ(entered[i]->Sx(), originals[i].Sx());
            ASSERT_EQ(entered[i]->Sy(), originals[i].Sy());
            CLoopweaveElement* piece = stored[at++];
            while (at < stored.size() && stored[at]->Key1() == static_cast<int>(i)) {
                ASSERT_EQ(stored[at]->Sx(), piece->Ex()) << "trial " << trial;
                ASSERT_EQ(stored[at]->Sy(), piece->Ey()) << "trial " << trial;
                piece = stored[at++];
            }
            ASSERT_EQ(piece->Ex(), originals[i].Ex()) << "trial " << trial;
            ASSERT_EQ(piece->Ey(), originals[i].Ey()) << "trial " << trial;
        }
        ASSERT_EQ(at, stored.size());
    }
}

TEST(InsertCrossPoint, AnElementThatIsNotFiniteIsNeitherCutNorCuts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Cut({{0, 0, 10, 0, 1}, {5, -5, 5, nan, 2}, {-inf, 0, 5, 0, 3}, {5, -1, 5, 1, 4}}),
              "(0,0)>(5,0):1 (5,0)>(10,0):1 (5,-5)>(5,nan):2 (-inf,0)>(5,0):3 (5,-1)>(5,0):4 (5,0)>(5,1):4");
}

}  // namespace
