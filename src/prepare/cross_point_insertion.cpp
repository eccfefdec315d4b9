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
//
// Most cut points are end points of the other element, so the pieces of both
// meet exactly. A crossing is computed, and two elements that cross are cut
// at one and the same point, so that their four pieces meet exactly too.

#include <memory>

#include "geometry/element_geometry.h"
#include "geometry/point.h"
#include "geometry/segment.h"
#include "loopweave.h"
#include "store/element_editor.h"
#include "store/list_items.h"

using loopweave::ElementEditor;
using loopweave::InsertOwned;
using loopweave::IsFinite;
using loopweave::ItemAt;
using loopweave::Point;
using loopweave::PointOf;
using loopweave::SamePoint;
using loopweave::Segment;
using loopweave::SegmentOf;

namespace {

// Cuts the element at `node` at `count` points inside it, in order along it: the element keeps its start and ends at the
// first point; copies take the stretch between the two points and the stretch
// from the last point to the old end, in that order after it.
void CutAt(CPtrList& elements, CPtrList::Node* node, int count, CCoord& first, CCoord& second) {
    if (count == 0) return;
    CCoord& last = count == 2 ? second : first;

    CLoopweaveElement& element = ItemAt<CLoopweaveElement>(elements, node);
    auto rest = std::make_unique<CLoopweaveElement>(element);
    ElementEditor::MoveStart(*rest, last.X(), last.Y());
    InsertOwned(elements, node, std::move(rest));
    if (count == 2) {
        auto between = std::make_unique<CLoopweaveElement>(element);
        ElementEditor::MoveStart(*between, first.X(), first.Y());
        ElementEditor::MoveEnd(*between, second.X(), second.Y());
        InsertOwned(elements, node, std::move(between));
    }
    ElementEditor::MoveEnd(element, first.X(), first.Y());
}

// Strictly between the segment's ends: not within the tolerance of either,
// and ahead of the start and short of the end along the segment.
bool StrictlyInside(const Point& p, const Segment& segment) {
    if (SamePoint(p, segment.start) || SamePoint(p, segment.end)) return false;
    const double dx = segment.end.x - segment.start.x;
    const double dy = segment.end.y - segment.start.y;
    return (p.x - segment.start.x) * dx + (p.y - segment.start.y) * dy > 0.0 &&
           (segment.end.x - p.x) * dx + (segment.end.y - p.y) * dy > 0.0;
}

// The point at which two elements that cross are cut: one point for both,
// the crossing as computed along the first of them to find one, or instead
// the end point of either element that lies within the tolerance of it. Each
// element is cut there only if it asked to be and the point lies strictly
// inside it.
//
// One point, because the crossing computed along each element separately
// differs in the last bits, and far from the origin that is enough for the
// area test to put one element's new piece off the other's shortened line:
// the two would cross again, one at a point of no length from its end, be
// cut again, and so on without end. Strictly inside, because far from the
// origin the area test is finer than the rounding of the coordinates, and two
// pieces of one straight line can pass for lines crossing anywhere at all.
void ShareTheCrossing(const Segment& a, const Segment& b, int& aCount, CCoord& aPoint, int& bCount, CCoord& bPoint) {
    if (aCount + bCount == 0) return;
    const Point computed = PointOf(aCount == 1 ? aPoint : bPoint);
    Point at = computed;
    for (const Point& end : {a.start, a.end, b.start, b.end}) {
        if (SamePoint(computed, end)) {
            at = end;
            break;
        }
    }
    aPoint = bPoint = CCoord(at.x, at.y);
    if (!StrictlyInside(at, a)) aCount = 0;
    if (!StrictlyInside(at, b)) bCount = 0;
}

// Both segments are taken before either element changes: B is cut where A
// met it before A was shortened.
void CutPair(CPtrList& elements, CPtrList::Node* outer, CPtrList::Node* inner) {
    CLoopweaveElement& a = ItemAt<CLoopweaveElement>(elements, outer);
    CLoopweaveElement& b = ItemAt<CLoopweaveElement>(elements, inner);
    if (!IsFinite(a) || !IsFinite(b)) return;
    const Segment sa = SegmentOf(a);
    const Segment sb = SegmentOf(b);
    const int relation = sa.SegmentRelation(sb);
    // Elements that meet, if at all, only where both already end stay whole.
    if (relation == loopweave::kApart || relation == loopweave::kJoined || relation == loopweave::kSameSegment) return;

    CCoord a1, a2, b1, b2;
    int aCount = sa.SegmentCrossPoints(sb, a1, a2);
    int bCount = sb.SegmentCrossPoints(sa, b1, b2);
    if (relation == loopweave::kCrossing) ShareTheCrossing(sa, sb, aCount, a1, bCount, b1);
    CutAt(elements, outer, aCount, a1, a2);
    CutAt(elements, inner, bCount, b1, b2);
}

}  // namespace

void CLoopweave::InsertCrossPoint() {
    for (CPtrList::Node* outer = elements_.Head(); outer != nullptr; outer = elements_.Next(outer)) {
        for (CPtrList::Node* inner = elements_.Next(outer); inner != nullptr; inner = elements_.Next(inner)) {
            CutPair(elements_, outer, inner);
        }
    }
}
