// The inner pieces of cutting passes: their order through insertions and
// merges, and which runs a pass that has moved on may drop.

#include <gtest/gtest.h>

#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

#include "cut/inner_runs.h"
#include "cut/list_order.h"
#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::Box;
using loopweave::InnerRuns;

// Piece i has the unit box at x = i, so boxes and pieces share one order.
std::vector<Box> UnitBoxes(int count) {
    std::vector<Box> boxes;
    for (int i = 0; i < count; ++i) boxes.push_back({double(i), 0, double(i) + 1, 1});
    return boxes;
}

std::vector<int> Range(int from, int to, int step = 1) {
    std::vector<int> pieces;
    for (int i = from; i < to; i += step) pieces.push_back(i);
    return pieces;
}

std::vector<int> Sequence(const InnerRuns& runs) {
    std::vector<int> pieces;
    for (int run = runs.First(); run != InnerRuns::kNone; run = runs.Next(run)) {
        for (std::size_t place = runs.Begin(run); place < runs.End(run); ++place) pieces.push_back(runs.PieceAt(place));
    }
    return pieces;
}

// The run and place of a piece in the sequence.
std::pair<int, std::size_t> Find(const InnerRuns& runs, int piece) {
    for (int run = runs.First(); run != InnerRuns::kNone; run = runs.Next(run)) {
        for (std::size_t place = runs.Begin(run); place < runs.End(run); ++place) {
            if (runs.PieceAt(place) == piece) return {run, place};
        }
    }
    ADD_FAILURE() << "piece " << piece << " is not in the sequence";
    return {InnerRuns::kNone, 0};
}

TEST(InnerRuns, InsertionsAndMergesKeepTheOrderOfTheList) {
    CLoopweave builder;
    loopweave::testing::Enter(builder, std::vector<loopweave::testing::Line>(100, {0, 0, 1, 1}));
    const loopweave::PieceTable pieces(builder.Element());
    const loopweave::ListOrder order(pieces);  // piece i is the i-th element
    const std::vector<Box> boxes = UnitBoxes(100);
    InnerRuns runs(boxes);
    runs.Assign(Range(0, 80, 2));

    auto [run, place] = Find(runs, 10);
    runs.InsertAfter(run, place, {11});
    std::tie(run, place) = Find(runs, 30);
    // Merged elements may be in the sequence already and come in any order;
    // 63 goes at the end of the first run of 32 and 65 inside the second.
    std::vector<int> merged = {90, 65, 33, 34, 63, 31};
    runs.MergeAfter(run, place, merged, order);
    runs.Prepend({1});

    std::vector<int> expected = {1};
    for (int piece : Range(0, 80, 2)) {
        expected.push_back(piece);
        if (piece == 10 || piece == 30 || piece == 32 || piece == 62 || piece == 64) expected.push_back(piece + 1);
    }
    expected.push_back(90);
    EXPECT_EQ(Sequence(runs), expected);
}

// A run whose element's box grew must still be reached where only the grown
// box reaches, or the next pass would miss that element.
TEST(InnerRuns, DropsOnlyRunsOutOfReachCountingBoxesThatGrew) {
    std::vector<Box> boxes = UnitBoxes(200);
    InnerRuns runs(boxes);
    runs.Assign(Range(0, 100));
    const auto [run, place] = Find(runs, 5);
    boxes[5].maxX = 150;
    runs.Regrow(run, place);

    const auto meeting = [](const Box& asked) { return [asked](const Box& bounds) { return asked.Meets(bounds); }; };
    runs.DropUnreached(meeting({149, 0, 149.5, 1}));
    const std::vector<int> kept = Sequence(runs);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.front(), 0);
    EXPECT_LT(kept.back(), 64);  // the runs beyond the grown one are gone

    runs.DropUnreached(meeting({500, 0, 501, 1}));
    EXPECT_TRUE(Sequence(runs).empty());
}

}  // namespace
