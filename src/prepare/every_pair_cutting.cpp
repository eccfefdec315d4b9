// The walk over every pair: the definition of the result, and the walk for
// drawings too far from the origin for any distance to rule out a contact.

#include "prepare/cutting_walks.h"
#include "prepare/pair_cutting.h"

namespace loopweave {

void CutEveryPair(CPtrList& elements) {
    for (CPtrList::Node* outer = elements.Head(); outer != nullptr; outer = elements.Next(outer)) {
        for (CPtrList::Node* inner = elements.Next(outer); inner != nullptr; inner = elements.Next(inner)) {
            CutPair(elements, outer, inner);
        }
    }
}

}  // namespace loopweave
