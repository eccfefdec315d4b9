#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::testing::AppendClosedChain;
using loopweave::testing::ChainText;
using loopweave::testing::ErrorText;

using Starts = std::vector<std::pair<double, double>>;

TEST(RemoveReturnLine, TwoElementsThereAndBackLeaveNothing) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, {{0, 0}, {1, 0}});
    polygon.RemoveReturnLine();
    EXPECT_EQ(polygon.Count(), 0);
    EXPECT_EQ(polygon.Round(), 0);
    EXPECT_FALSE(polygon.Critical() || polygon.Return() || polygon.Cross());
    EXPECT_EQ(ErrorText(polygon), "");
}

struct Case {
    const char* name;
    Starts starts;
    const char* after;
};

class ReturnLineCase : public ::testing::TestWithParam<Case> {};

// Every case strips to a clean chain: closed, no run back, no crossing.
TEST_P(ReturnLineCase, StripsTheSpikes) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, GetParam().starts);
    polygon.RemoveReturnLine();
    EXPECT_EQ(ChainText(polygon), GetParam().after);
    EXPECT_FALSE(polygon.Critical() || polygon.Return() || polygon.Cross());
    EXPECT_EQ(ErrorText(polygon), "");
}

const Case kCases[] = {
    {"SquareWithASpike",
     {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}},
     "(0,0)>(1,0):1 (1,0)>(1,1):4 (1,1)>(0,1):5 (0,1)>(0,0):6"},
    {"LongerSpikeFoldsFromItsTip",
     {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}},
     "(0,0)>(1,0):1 (1,0)>(1,1):6 (1,1)>(0,1):7 (0,1)>(0,0):8"},
    {"SpikeAcrossTheSeam",
     {{2, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}},
     "(1,0)>(1,1):2 (1,1)>(0,1):3 (0,1)>(0,0):4 (0,0)>(1,0):5"},
    {"TwoJoinedLinesWalkedAround", {{1, 0}, {1, 1}, {1, 0}, {0, 0}}, ""},
    {"NoPairs", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, "(0,0)>(1,0):1 (1,0)>(1,1):2 (1,1)>(0,1):3 (0,1)>(0,0):4"},
};

INSTANTIATE_TEST_SUITE_P(RemoveReturnLine, ReturnLineCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(RemoveReturnLine, RunsTheDiagnosisAgainOnTheShorterChain) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}});
    CPtrList& chain = polygon.Element();
    CLoopweaveElement* kept = static_cast<CLoopweaveElement*>(chain.Data(chain.Head()));
    polygon.RemoveReturnLine();  // a hand-made chain is diagnosed here first
    EXPECT_EQ(chain.Data(chain.Head()), kept);
    EXPECT_FALSE(polygon.Return());
    EXPECT_EQ(polygon.Round(), 1);
}

TEST(RemoveReturnLine, ALoneElementLeftByARemovalIsNotPairedWithItself) {
    COutputLoopweave polygon;
    CPtrList& chain = polygon.Element();
    chain.Append(new CLoopweaveElement(0, 0, 1, 0, 1));
    chain.Append(new CLoopweaveElement(1, 0, 0, 0, 2));
    chain.Append(new CLoopweaveElement(0, 0, 0, 2, 3));
    polygon.RemoveReturnLine();
    EXPECT_EQ(ChainText(polygon), "(0,0)>(0,2):3");
    EXPECT_TRUE(polygon.Critical());
    EXPECT_EQ(ErrorText(polygon), "(0,0)f0 (0,2)f0");
}

TEST(RemoveReturnLine, APartialBackRunIsNoPairAndStaysACrossing) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, {{0, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 1}});
    const std::string before = ChainText(polygon);
    polygon.RemoveReturnLine();
    EXPECT_EQ(ChainText(polygon), before);
    EXPECT_TRUE(polygon.Cross());
}

TEST(RemoveReturnLine, AnEmptiedChainStaysEmptyAndClean) {
    COutputLoopweave polygon;
    AppendClosedChain(polygon, {{0, 0}, {1, 0}});
    polygon.RemoveReturnLine();
    polygon.RemoveReturnLine();
    EXPECT_EQ(polygon.Count(), 0);
    EXPECT_FALSE(polygon.Critical() || polygon.Return() || polygon.Cross());
    EXPECT_EQ(ErrorText(polygon), "");
}

// Two zero-length elements at one point have the same start and end, but as
// segments they only touch: they are no back-and-forth pair.
TEST(RemoveReturnLine, TwoZeroLengthElementsAtOnePointStay) {
    COutputLoopweave polygon;
    polygon.Element().Append(new CLoopweaveElement(1, 1, 1, 1, 1));
    polygon.Element().Append(new CLoopweaveElement(1, 1, 1, 1, 2));
    polygon.RemoveReturnLine();
    EXPECT_EQ(polygon.Count(), 2);
}

}  // namespace
