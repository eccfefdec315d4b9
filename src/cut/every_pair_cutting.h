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
// here and not with the others in tests/reference/. Far from the origin most
// elements of a drawing can be long for their coordinates, and each long
// element must be paired with every element near its line; at a slant that
// is most of the drawing, and the walk over every pair is then the faster
// (NearbyPairsPay). The nearby walk also declines a drawing whose long lines
// pass too many elements to list (CutNearbyPairs returns false). In both
// cases InsertCrossPoint cuts with this walk.
void CutEveryPair(PieceTable& pieces);

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_EVERY_PAIR_CUTTING_H
