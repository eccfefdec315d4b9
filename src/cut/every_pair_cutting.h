#ifndef LOOPWEAVE_CUT_EVERY_PAIR_CUTTING_H
#define LOOPWEAVE_CUT_EVERY_PAIR_CUTTING_H

#include "cut/piece_table.h"

namespace loopweave {

// Cutting by the walk over every pair: every pair of pieces in the order of
// the list, the earlier as the outer piece and the later as the inner, each
// against the extent it has at that moment (CutPair). This walk defines the
// result of InsertCrossPoint; the walk over nearby pairs reproduces it to the
// last bit, and the differential tests compare the two.
//
// It is the one straightforward version the library still runs, so it lives
// here and not with the others in tests/reference/. A drawing with many
// pieces paired with the pieces across much of it, like many long lines far
// from the origin whose boxes cover it, is cut faster by this walk
// (NearbyPairsPay), and InsertCrossPoint cuts such a drawing with it.
void CutEveryPair(PieceTable& pieces);

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_EVERY_PAIR_CUTTING_H
