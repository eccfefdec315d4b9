#ifndef LOOPWEAVE_PREPARE_CUTTING_WALKS_H
#define LOOPWEAVE_PREPARE_CUTTING_WALKS_H

#include "prepare/piece_table.h"

namespace loopweave {

// The two ways of walking the pairs of pieces for cutting, with the same
// result to the last bit. Both take every pair in the order of the list, the
// earlier as the outer piece and the later as the inner, each against the
// extent it has at that moment (CutPair).

// Every pair, one after another.
void CutEveryPair(PieceTable& pieces);

// Only the pairs whose boxes lie within CutReach of each other, found with a
// grid, in the same order; the pairs it skips are those that CutPair would
// leave alone. Holds only while ReachesHold for the drawing's finite
// coordinates, which the caller checks.
void CutNearbyPairs(PieceTable& pieces);

// Whether CutNearbyPairs may be used: the drawing's finite coordinates are
// small enough that the reach bounds every contact.
bool NearbyPairsSuffice(const PieceTable& pieces);

}  // namespace loopweave

#endif  // LOOPWEAVE_PREPARE_CUTTING_WALKS_H
