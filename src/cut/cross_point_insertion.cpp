// Cutting the stored elements where they cross, touch or overlap.
//
// Every pair of list entries is examined once, the earlier as the outer
// element A and the later as the inner element B, each against the extent it
// has at that moment. A's pieces go straight after A, ahead of the inner
// cursor, so A is examined further only as the shortened A; the pieces meet
// the later elements when the outer cursor reaches them. B's pieces go
// straight after B, so the inner cursor meets them next and examines them
// against A as it is now. Cutting never reverses or merges, so each original
// element ends as a contiguous run of pieces from its start to its end.

#include "cut/every_pair_cutting.h"
#include "cut/nearby_pair_cutting.h"
#include "cut/piece_table.h"
#include "loopweave.h"

void CLoopweave::InsertCrossPoint() {
    // Where many pieces must be paired with the pieces across much of the
    // drawing, the walk over every pair is the faster. The result is the same.
    loopweave::PieceTable pieces(elements_);
    if (loopweave::NearbyPairsPay(pieces)) {
        loopweave::CutNearbyPairs(pieces);
    } else {
        loopweave::CutEveryPair(pieces);
    }
    pieces.WriteBack(elements_);
}
