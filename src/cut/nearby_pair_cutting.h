#ifndef LOOPWEAVE_CUT_NEARBY_PAIR_CUTTING_H
#define LOOPWEAVE_CUT_NEARBY_PAIR_CUTTING_H

#include "cut/piece_table.h"

namespace loopweave {

// The fast walk over the pairs of pieces for cutting, with the result of the
// walk over every pair (every_pair_cutting.h) to the last bit: every pair in
// the order of the list, the earlier as the outer piece and the later as the
// inner, each against the extent it has at that moment (CutPair), except that
// it takes only the pairs whose boxes lie within CutReach of each other,
// found with a grid; the pairs it skips are those that CutPair would leave
// alone. The reach holds between pieces short for their coordinates
// (CutReachHolds); beyond it a piece is paired with the pieces near its band
// on nearly the same line (line_reach.h), or, beyond the drawing's extent,
// with every piece.
void CutNearbyPairs(PieceTable& pieces);

// Whether CutNearbyPairs is the faster: false when many pieces are paired
// with the pieces across much of the drawing, as pieces whose own boxes
// cover much of it are.
bool NearbyPairsPay(const PieceTable& pieces);

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_NEARBY_PAIR_CUTTING_H
