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

#include <memory>

#include "geometry/element_geometry.h"
#include "geometry/segment.h"
#include "loopweave.h"
#include "store/element_editor.h"
#include "store/list_items.h"

using loopweave::ElementEditor;
using loopweave::InsertOwned;
using loopweave::IsFinite;
using loopweave::ItemAt;
using loopweave::Segment;
using loopweave::SegmentOf;

namespace {

// Cuts the element at `node`, whose extent was `own` when the pair was taken,
// at the points inside it where `other` meets it. The element keeps its start
// and ends at the first point; copies take the stretch between the two points
// and the stretch from the last point to the old end, in that order after it.
void CutAt(CPtrList& elements, CPtrList::Node* node, const Segment& own, const Segment& other) {
    CCoord first;
    CCoord second;
    const int count = own.SegmentCrossPoints(other, first, second);
    if (count == 0) return;
    if (count == 1) second = first;

    CLoopweaveElement& element = ItemAt<CLoopweaveElement>(elements, node);
    auto rest = std::make_unique<CLoopweaveElement>(element);
    ElementEditor::MoveStart(*rest, second.X(), second.Y());
    InsertOwned(elements, node, std::move(rest));
    if (count == 2) {
        auto between = std::make_unique<CLoopweaveElement>(element);
        ElementEditor::MoveStart(*between, first.X(), first.Y());
        ElementEditor::MoveEnd(*between, second.X(), second.Y());
        InsertOwned(elements, node, std::move(between));
    }
    ElementEditor::MoveEnd(element, first.X(), first.Y());
}

// Both segments are taken before either element changes: B is cut where A
// met it before A was shortened.
void CutPair(CPtrList& elements, CPtrList::Node* outer, CPtrList::Node* inner) {
    CLoopweaveElement& a = ItemAt<CLoopweaveElement>(elements, outer);
    CLoopweaveElement& b = ItemAt<CLoopweaveElement>(elements, inner);
    if (!IsFinite(a) || !IsFinite(b)) return;
    const Segment sa = SegmentOf(a);
    const Segment sb = SegmentOf(b);
    switch (sa.SegmentRelation(sb)) {
        case loopweave::kApart:
        case loopweave::kJoined:
        case loopweave::kSameSegment:
            return;  // they meet, if at all, only where both already end
        default:
            CutAt(elements, outer, sa, sb);
            CutAt(elements, inner, sb, sa);
    }
}

}  // namespace

void CLoopweave::InsertCrossPoint() {
    for (CPtrList::Node* outer = elements_.Head(); outer != nullptr; outer = elements_.Next(outer)) {
        for (CPtrList::Node* inner = elements_.Next(outer); inner != nullptr; inner = elements_.Next(inner)) {
            CutPair(elements_, outer, inner);
        }
    }
}
