// Return-line removal as first written: after every removal the walk starts
// again from the seam.

#include "reference/straightforward.h"
#include "store/element_geometry.h"
#include "store/list_items.h"

namespace loopweave::reference {
namespace {

Segment SegmentAt(CPtrList& chain, CPtrList::Node* node) { return SegmentOf(ItemAt<CLoopweaveElement>(chain, node)); }

bool RemoveFirstReturnPair(CPtrList& chain) {
    if (chain.Count() < 2) return false;
    CPtrList::Node* previous = chain.Tail();
    Segment previousSegment = SegmentAt(chain, previous);
    for (CPtrList::Node* current = chain.Head(); current != nullptr; current = chain.Next(current)) {
        const Segment currentSegment = SegmentAt(chain, current);
        if (previousSegment.SegmentRelation(currentSegment) == kSameSegment) {
            delete &ItemAt<CLoopweaveElement>(chain, previous);
            delete &ItemAt<CLoopweaveElement>(chain, current);
            chain.Remove(previous);
            chain.Remove(current);
            return true;
        }
        previous = current;
        previousSegment = currentSegment;
    }
    return false;
}

}  // namespace

void RemoveReturnPairs(CPtrList& chain) {
    while (RemoveFirstReturnPair(chain)) {
    }
}

}  // namespace loopweave::reference
