// The walk over every pair: the definition of the result, and the walk for
// drawings too far from the origin for any distance to rule out a contact.

#include "cut/cutting_walks.h"
#include "cut/pair_cutting.h"

namespace loopweave {

void CutEveryPair(PieceTable& pieces) {
    for (int outer = pieces.First(); outer != PieceTable::kNone; outer = pieces.Next(outer)) {
        for (int inner = pieces.Next(outer); inner != PieceTable::kNone; inner = pieces.Next(inner)) {
            CutPair(pieces, outer, inner);
        }
    }
}

}  // namespace loopweave
