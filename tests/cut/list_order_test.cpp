#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "cut/list_order.h"
#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::PieceTable;
using loopweave::testing::Enter;
using Random = std::mt19937_64;

// Labels must follow the list however crowded one place becomes: a line cut
// at a thousand points, each piece inserted straight after the element.
TEST(ListOrder, LabelsFollowTheListThroughEveryRelabelling) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 1, 0, 1}, {0, 0, 2, 0, 2}, {0, 0, 3, 0, 3}});
    PieceTable pieces(builder.Element());
    loopweave::ListOrder order(pieces);
    Random random(7);
    for (int i = 0; i < 2000; ++i) {
        int place = static_cast<int>(random() % static_cast<unsigned>(pieces.Count()));
        if (i % 2 == 0) place = 1;  // keep crowding one gap
        int piece = pieces.First();
        while (place-- > 0) piece = pieces.Next(piece);
        const int end = pieces.Next(piece);
        pieces.InsertAfter(piece, {0, 0}, {1, 1});
        if (i % 3 == 0) pieces.InsertAfter(piece, {0, 0}, {1, 1});  // a run of two
        order.InsertRun(pieces.Next(piece), end);
    }
    std::uint64_t previous = 0;
    for (int piece = pieces.First(); piece != PieceTable::kNone; piece = pieces.Next(piece)) {
        ASSERT_GT(order.Label(piece), previous);
        previous = order.Label(piece);
    }
}

}  // namespace
