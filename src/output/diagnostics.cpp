// The diagnosis of a polygon's chain: is it open, does it run back on itself,
// does it cross itself. It reads the chain and never changes it.

#include "geometry/element_geometry.h"
#include "loopweave.h"
#include "store/list_items.h"

using loopweave::DeleteAll;
using loopweave::EndOf;
using loopweave::ItemAt;
using loopweave::ItemsOf;
using loopweave::Point;
using loopweave::PointOf;
using loopweave::SamePoint;
using loopweave::Segment;
using loopweave::SegmentOf;
using loopweave::StartOf;

namespace {

CLoopweaveElement& ElementAt(CPtrList& chain, CPtrList::Node* node) { return ItemAt<CLoopweaveElement>(chain, node); }

// Lists `count` work points as new error points with flag 1. With two, the one
// farther from the start of the cut segment comes first.
void ListCrossPoints(CPtrList& errors, int count, CCoord& first, CCoord& second) {
    if (count == 2) errors.Append(new CCoord(second.X(), second.Y(), 1));
    if (count >= 1) errors.Append(new CCoord(first.X(), first.Y(), 1));
}

}  // namespace

void COutputLoopweave::Diagnose() {
    DeleteAll<CCoord>(errors_);
    critical_ = CheckClosed();
    // An open chain is reported by its path alone: the return and crossing
    // tests presume a ring, so their flags keep the values they had.
    if (critical_) return;
    return_ = CheckReturn();
    cross_ = CheckCross();
}

bool COutputLoopweave::CheckClosed() {
    if (elements_.Count() == 0) return false;
    CLoopweaveElement& head = ElementAt(elements_, elements_.Head());
    CLoopweaveElement& tail = ElementAt(elements_, elements_.Tail());
    // Only the two ends of the whole chain are compared; the joints between
    // elements are the tracer's to keep.
    if (SamePoint(StartOf(head), EndOf(tail))) return false;

    errors_.Append(new CCoord(head.Sx(), head.Sy(), 0));
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) {
        errors_.Append(new CCoord(element->Ex(), element->Ey(), 0));
    }
    return true;
}

bool COutputLoopweave::CheckReturn() {
    // The start points as a ring. A point whose two neighbours coincide is the
    // tip of an out-and-back run: it is listed, and it and one neighbour leave
    // the ring, which folds the run up by one step. The scan then starts again
    // from the head, so a long run is found tip first and then point by point
    // back towards its base.
    CPtrList ring(10);
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) {
        ring.Append(new CCoord(element->Sx(), element->Sy(), 2));
    }

    bool found = false;
    CPtrList::Node* r = ring.Head();
    // A single point is its own neighbour on both sides; it is no run, and it
    // is deleted with the ring below rather than listed.
    while (r != nullptr && ring.Count() > 1) {
        CPtrList::Node* next = r == ring.Tail() ? ring.Head() : ring.Next(r);
        CPtrList::Node* previous = r == ring.Head() ? ring.Tail() : ring.Prev(r);
        auto* nextPoint = static_cast<CCoord*>(ring.Data(next));
        auto* previousPoint = static_cast<CCoord*>(ring.Data(previous));
        if (!SamePoint(PointOf(*nextPoint), PointOf(*previousPoint))) {
            r = ring.Next(r);
            continue;
        }
        found = true;
        errors_.Append(ring.Data(r));  // the tip itself moves to the error list
        ring.Remove(r);
        delete previousPoint;
        ring.Remove(previous);
        r = ring.Head();
    }

    DeleteAll<CCoord>(ring);
    return found;
}

bool COutputLoopweave::CheckCross() {
    // Every pair of elements. Neighbours that only share their joint touch
    // there (relation kJoined) and a back-and-forth pair (kSameSegment) is the
    // return check's; anything else is a crossing, touching or overlap.
    bool found = false;
    for (CPtrList::Node* a = elements_.Head(); a != nullptr; a = elements_.Next(a)) {
        const Segment first = SegmentOf(ElementAt(elements_, a));
        for (CPtrList::Node* b = elements_.Next(a); b != nullptr; b = elements_.Next(b)) {
            const Segment second = SegmentOf(ElementAt(elements_, b));
            const int relation = first.SegmentRelation(second);
            if (relation == loopweave::kApart || relation == loopweave::kJoined ||
                relation == loopweave::kSameSegment) {
                continue;
            }
            found = true;
            CCoord one(0, 0, 0);
            CCoord two(0, 0, 0);
            ListCrossPoints(errors_, first.SegmentCrossPoints(second, one, two), one, two);
            // A proper crossing is one point, listed once as measured along
            // the first element; any other contact is listed from both sides.
            if (relation == loopweave::kCrossing) continue;
            ListCrossPoints(errors_, second.SegmentCrossPoints(first, one, two), one, two);
        }
    }
    return found;
}
