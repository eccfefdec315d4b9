// Stripping back-and-forth runs from a formed chain: a line that leads nowhere
// is walked out and back by face tracing, and a host that wants the bare
// outline removes those runs here.

#include "geometry/element_geometry.h"
#include "geometry/segment.h"
#include "loopweave.h"
#include "store/list_items.h"

using loopweave::ItemAt;
using loopweave::Segment;
using loopweave::SegmentOf;

namespace {

Segment SegmentAt(CPtrList& chain, CPtrList::Node* node) { return SegmentOf(ItemAt<CLoopweaveElement>(chain, node)); }

// Deletes the first pair of cyclically consecutive elements with the same two
// end points, testing the pair across the seam (tail, head) first and then
// (head, second) onwards. False when there is none. A single element is
// never tested against itself.
bool RemoveFirstReturnPair(CPtrList& chain) {
    if (chain.Count() < 2) return false;
    CPtrList::Node* previous = chain.Tail();
    Segment previousSegment = SegmentAt(chain, previous);
    for (CPtrList::Node* current = chain.Head(); current != nullptr; current = chain.Next(current)) {
        const Segment currentSegment = SegmentAt(chain, current);
        if (previousSegment.SegmentRelation(currentSegment) == loopweave::kSameSegment) {
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

void COutputLoopweave::RemoveReturnLine() {
    // Each removal joins the elements on either side of the pair, which may
    // form the next pair, so the walk starts again from the seam: a run that
    // goes out over several elements folds up one pair per pass.
    while (RemoveFirstReturnPair(elements_)) {
    }
    Diagnose();
}
