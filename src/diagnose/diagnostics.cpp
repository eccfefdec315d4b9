// The diagnosis of a polygon's chain: is it open, does it run back on itself,
// does it cross itself. It reads the chain and never changes it.

#include <cstddef>
#include <vector>

#include "diagnose/error_flags.h"
#include "diagnose/position_ring.h"
#include "index/contact_candidates.h"
#include "loopweave.h"
#include "store/element_geometry.h"
#include "store/list_items.h"

using loopweave::DeleteAll;
using loopweave::EndOf;
using loopweave::ItemAt;
using loopweave::ItemsOf;
using loopweave::Point;
using loopweave::PositionRing;
using loopweave::SamePoint;
using loopweave::Segment;
using loopweave::SegmentOf;
using loopweave::StartOf;

namespace {

CLoopweaveElement& ElementAt(CPtrList& chain, CPtrList::Node* node) { return ItemAt<CLoopweaveElement>(chain, node); }

// Hands `count` of the kernel's cut points to the host as crossing points.
// With two, the one farther from the start of the cut segment comes first.
void ListCrossPoints(CPtrList& errors, int count, const Point& first, const Point& second) {
    if (count == 2) errors.Append(new CCoord(second.x, second.y, loopweave::kCrossPoint));
    if (count >= 1) errors.Append(new CCoord(first.x, first.y, loopweave::kCrossPoint));
}

// The node after `node`, the head after the tail.
CPtrList::Node* Around(CPtrList& chain, CPtrList::Node* node) {
    CPtrList::Node* next = chain.Next(node);
    return next != nullptr ? next : chain.Head();
}

// Whether some start point's two neighbours in the ring coincide: each start
// point is compared with the one two places further round, the neighbours of
// the point between them, straight from the chain.
bool AnyTip(CPtrList& chain) {
    CPtrList::Node* ahead = chain.Head();
    for (int step = 0; step < 2 && ahead != nullptr; ++step) ahead = Around(chain, ahead);
    for (CPtrList::Node* node = chain.Head(); node != nullptr; node = chain.Next(node)) {
        if (SamePoint(StartOf(ElementAt(chain, ahead)), StartOf(ElementAt(chain, node)))) return true;
        ahead = Around(chain, ahead);
    }
    return false;
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

    errors_.Append(new CCoord(head.Sx(), head.Sy(), loopweave::kOpenPath));
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) {
        errors_.Append(new CCoord(element->Ex(), element->Ey(), loopweave::kOpenPath));
    }
    return true;
}

bool COutputLoopweave::CheckReturn() {
    // The start points as a ring. A point whose two neighbours coincide is the
    // tip of an out-and-back run: it is listed, and it and its predecessor
    // leave the ring, which folds the run up by one step. Each find is the
    // first such point from the head, so a long run is found tip first and
    // then point by point back towards its base.
    //
    // Whether a point is a tip depends only on its two neighbours, and a fold
    // gives new neighbours to just two points: the one before the removed
    // predecessor (a new successor) and the tip's successor (a new
    // predecessor). Re-marking those two keeps the marked set exactly the set
    // of tips, so its first member is the point a scan from the head finds.

    // Most chains have no tip at all, and need neither a copy nor a ring.
    if (!AnyTip(elements_)) return false;

    std::vector<Point> starts;
    starts.reserve(static_cast<std::size_t>(elements_.Count()));
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) starts.push_back(StartOf(*element));
    PositionRing ring(static_cast<int>(starts.size()));
    const auto isTip = [&](int p) {
        return SamePoint(starts[static_cast<std::size_t>(ring.Next(p))], starts[static_cast<std::size_t>(ring.Previous(p))]);
    };
    for (int p = 0; p < ring.Count(); ++p) ring.Mark(p, isTip(p));

    bool found = false;
    // A single point is its own neighbour on both sides; it is no run and is
    // not listed.
    for (int tip = ring.FirstMarked(); tip >= 0 && ring.Count() > 1; tip = ring.FirstMarked()) {
        found = true;
        const Point& point = starts[static_cast<std::size_t>(tip)];
        errors_.Append(new CCoord(point.x, point.y, loopweave::kTurningPoint));
        const int after = ring.Next(tip);
        ring.Remove(ring.Previous(tip));
        ring.Remove(tip);
        if (ring.Count() < 2) break;
        ring.Mark(ring.Previous(after), isTip(ring.Previous(after)));
        ring.Mark(after, isTip(after));
    }
    return found;
}

bool COutputLoopweave::CheckCross() {
    // Every pair of elements a before b that can touch at all, in the order
    // of the walk over all pairs. Neighbours that only share their joint touch
    // there (relation kJoined) and a back-and-forth pair (kSameSegment) is the
    // return check's; anything else is a crossing, touching or overlap.
    std::vector<Segment> segments;
    segments.reserve(static_cast<std::size_t>(elements_.Count()));
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) segments.push_back(SegmentOf(*element));
    loopweave::ContactCandidates candidates(segments);

    bool found = false;
    for (int a = 0; a < static_cast<int>(segments.size()); ++a) {
        const Segment& first = segments[static_cast<std::size_t>(a)];
        candidates.ForEachAfter(a, [&](int b) {
            const Segment& second = segments[static_cast<std::size_t>(b)];
            const loopweave::Relation relation = first.SegmentRelation(second);
            if (relation == loopweave::kApart || relation == loopweave::kJoined ||
                relation == loopweave::kSameSegment) {
                return;
            }
            found = true;
            Point one{};
            Point two{};
            ListCrossPoints(errors_, first.SegmentCrossPoints(second, one, two), one, two);
            // A proper crossing is one point, listed once as measured along
            // the first element; any other contact is listed from both sides.
            if (relation == loopweave::kCrossing) return;
            ListCrossPoints(errors_, second.SegmentCrossPoints(first, one, two), one, two);
        });
    }
    return found;
}
