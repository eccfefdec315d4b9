#ifndef LOOPWEAVE_CUT_PAIR_CUTTING_H
#define LOOPWEAVE_CUT_PAIR_CUTTING_H

#include "cut/piece_table.h"

namespace loopweave {

// Cuts the pieces `outer` (A) and the later `inner` (B) where they cross,
// touch or overlap, each against the extent it has now. A's new pieces go
// straight after A and B's straight after B; the piece itself keeps its start
// and ends at the first cut. A pair that meets, if at all, only where both
// already end is left alone, and so is a pair with a coordinate that is not
// finite. True when either piece was cut.
bool CutPair(PieceTable& pieces, int outer, int inner);

// Whether CutPair leaves two finite pieces alone as they stand, for the way
// the two meet alone: apart, joined at their ends, or the same segment.
bool CutPairLeavesAlone(const PieceTable& pieces, int outer, int inner);

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_PAIR_CUTTING_H
