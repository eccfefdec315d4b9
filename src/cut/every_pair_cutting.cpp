#include "cut/every_pair_cutting.h"

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
