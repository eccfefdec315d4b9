// The return and self-crossing checks as first written: the return check
// rescans its ring from the head after every find, the self-crossing check
// tests every pair of elements.

#include "diagnose/error_flags.h"
#include "reference/straightforward.h"
#include "store/element_geometry.h"
#include "store/list_items.h"

namespace loopweave::reference {
namespace {

CLoopweaveElement& ElementAt(CPtrList& chain, CPtrList::Node* node) { return ItemAt<CLoopweaveElement>(chain, node); }

void ListCrossPoints(std::vector<CCoord>& points, int count, const Point& first, const Point& second) {
    if (count == 2) points.emplace_back(second.x, second.y, kCrossPoint);
    if (count >= 1) points.emplace_back(first.x, first.y, kCrossPoint);
}

Point PointOf(CCoord& coord) { return {coord.X(), coord.Y()}; }

}  // namespace

bool ReturnPoints(CPtrList& chain, std::vector<CCoord>& points) {
    CPtrList ring(10);
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(chain)) {
        ring.Append(new CCoord(element->Sx(), element->Sy(), kTurningPoint));
    }

    bool found = false;
    CPtrList::Node* r = ring.Head();
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
        auto* tip = static_cast<CCoord*>(ring.Data(r));
        points.push_back(*tip);
        delete tip;
        ring.Remove(r);
        delete previousPoint;
        ring.Remove(previous);
        r = ring.Head();
    }

    DeleteAll<CCoord>(ring);
    return found;
}

bool CrossPoints(CPtrList& chain, std::vector<CCoord>& points) {
    bool found = false;
    for (CPtrList::Node* a = chain.Head(); a != nullptr; a = chain.Next(a)) {
        const Segment first = SegmentOf(ElementAt(chain, a));
        for (CPtrList::Node* b = chain.Next(a); b != nullptr; b = chain.Next(b)) {
            const Segment second = SegmentOf(ElementAt(chain, b));
            const Relation relation = first.SegmentRelation(second);
            if (relation == kApart || relation == kJoined || relation == kSameSegment) continue;
            found = true;
            Point one{};
            Point two{};
            ListCrossPoints(points, first.SegmentCrossPoints(second, one, two), one, two);
            if (relation == kCrossing) continue;
            ListCrossPoints(points, second.SegmentCrossPoints(first, one, two), one, two);
        }
    }
    return found;
}

}  // namespace loopweave::reference
