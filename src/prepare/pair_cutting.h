#ifndef LOOPWEAVE_PREPARE_PAIR_CUTTING_H
#define LOOPWEAVE_PREPARE_PAIR_CUTTING_H

#include "loopweave.h"

namespace loopweave {

// Cuts the elements at `outer` (A) and at the later `inner` (B) where they
// cross, touch or overlap, each against the extent it has now. A's pieces go
// straight after A and B's straight after B, each a copy that keeps the keys;
// the element itself keeps its start and ends at the first cut. A pair that
// meets, if at all, only where both already end is left alone, and so is a
// pair with a coordinate that is not finite.
void CutPair(CPtrList& elements, CPtrList::Node* outer, CPtrList::Node* inner);

}  // namespace loopweave

#endif  // LOOPWEAVE_PREPARE_PAIR_CUTTING_H
