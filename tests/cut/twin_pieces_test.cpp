#include <gtest/gtest.h>

#include <vector>

#include "cut/twin_pieces.h"
#include "loopweave.h"
#include "support/drawing.h"

namespace {

using loopweave::PieceTable;
using loopweave::testing::Enter;

// The first live twin in the list leads: copies as they came, a copy made
// before the leader, which takes the lead, and twins passed or cut.
TEST(TwinPieces, TheFirstLiveTwinInTheListLeads) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 1, 0, 1}, {2, 2, 3, 3, 2}, {0, 0, 1, 0, 3}, {1, 0, 0, 0, 4}});
    PieceTable pieces(builder.Element());
    loopweave::ListOrder order(pieces);
    loopweave::TwinPieces twins(pieces, order);
    EXPECT_TRUE(twins.LeadsOthers(0));
    EXPECT_TRUE(twins.Latent(2));
    EXPECT_EQ(twins.SetOf(1), PieceTable::kNone);
    EXPECT_EQ(twins.SetOf(3), PieceTable::kNone);  // the same segment the other way round

    EXPECT_EQ(twins.Leave(0), 2);
    const int made = pieces.InsertAfter(1, {0, 0}, {1, 0});
    order.InsertRun(made, pieces.Next(made));
    EXPECT_EQ(twins.Join(made), 2);  // latent from now on
    EXPECT_TRUE(twins.LeadsOthers(made));
    std::vector<int> beyond;
    twins.Beyond(twins.SetOf(made), order.Label(1), beyond);
    EXPECT_EQ(beyond, (std::vector<int>{made, 2}));

    EXPECT_EQ(twins.Leave(2), PieceTable::kNone);  // cut, and latent
    EXPECT_FALSE(twins.LeadsOthers(made));
    EXPECT_EQ(twins.Leave(made), PieceTable::kNone);
    EXPECT_FALSE(twins.AnyLatent());
}

}  // namespace
