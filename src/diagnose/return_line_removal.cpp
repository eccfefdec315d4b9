// Stripping back-and-forth runs from a formed chain: a line that leads nowhere
// is walked out and back by face tracing, and a host that wants the bare
// outline removes those runs here.

#include <cstddef>
#include <vector>

#include "diagnose/position_ring.h"
#include "geometry/segment.h"
#include "loopweave.h"
#include "store/element_geometry.h"
#include "store/list_items.h"

using loopweave::ItemAt;
using loopweave::PositionRing;
using loopweave::Segment;
using loopweave::SegmentOf;

void COutputLoopweave::RemoveReturnLine() {
    // Deletes pairs of cyclically consecutive elements with the same two end
    // points, each time the first pair a walk from the seam meets: the pair
    // across the seam (tail, head) first, then (head, second) onwards. Each
    // removal joins the elements on either side of the pair, which may form
    // the next pair, so a run that goes out over several elements folds up one
    // pair per removal. A single element is never tested against itself.
    //
    // Whether an element ends a pair depends only on it and its predecessor.
    // Removing a pair gives a new predecessor to the element after it and to
    // no other, so re-marking that one element keeps the marked set exactly
    // the set of pair ends, whose first member is the pair the walk finds.
    std::vector<CPtrList::Node*> nodes;
    std::vector<Segment> segments;
    for (CPtrList::Node* node = elements_.Head(); node != nullptr; node = elements_.Next(node)) {
        nodes.push_back(node);
        segments.push_back(SegmentOf(ItemAt<CLoopweaveElement>(elements_, node)));
    }

    PositionRing ring(static_cast<int>(nodes.size()));
    const auto endsPair = [&](int p) {
        return segments[static_cast<std::size_t>(ring.Previous(p))].SegmentRelation(
                   segments[static_cast<std::size_t>(p)]) == loopweave::kSameSegment;
    };
    if (ring.Count() >= 2) {
        for (int p = 0; p < ring.Count(); ++p) ring.Mark(p, endsPair(p));
    }
    for (int current = ring.FirstMarked(); current >= 0 && ring.Count() >= 2; current = ring.FirstMarked()) {
        const int previous = ring.Previous(current);
        const int after = ring.Next(current);
        CPtrList::Node* previousNode = nodes[static_cast<std::size_t>(previous)];
        CPtrList::Node* currentNode = nodes[static_cast<std::size_t>(current)];
        delete &ItemAt<CLoopweaveElement>(elements_, previousNode);
        delete &ItemAt<CLoopweaveElement>(elements_, currentNode);
        elements_.Remove(previousNode);
        elements_.Remove(currentNode);
        ring.Remove(previous);
        ring.Remove(current);
        if (ring.Count() < 2) break;
        ring.Mark(after, endsPair(after));
    }
    Diagnose();
}
