// One step of cutting: an outer element A and a later inner element B, cut
// where they cross, touch or overlap.
//
// Most cut points are end points of the other element, so the pieces of both
// meet exactly. A crossing is computed, and two elements that cross are cut
// at one and the same point, so that their four pieces meet exactly too.

#include "cut/pair_cutting.h"

#include "geometry/point.h"
#include "geometry/segment.h"

namespace loopweave {
namespace {

// Strictly between the segment's ends: not within the tolerance of either,
// and ahead of the start and short of the end along the segment.
bool StrictlyInside(const Point& p, const Segment& segment) {
    if (SamePoint(p, segment.start) || SamePoint(p, segment.end)) return false;
    const double dx = segment.end.x - segment.start.x;
    const double dy = segment.end.y - segment.start.y;
    return (p.x - segment.start.x) * dx + (p.y - segment.start.y) * dy > 0.0 &&
           (segment.end.x - p.x) * dx + (segment.end.y - p.y) * dy > 0.0;
}

// Cuts `piece`, whose extent is `own`, at those of the `count` points (given
// in order along it) that lie strictly inside it: the piece keeps its start
// and ends at the first; new pieces take the stretch between the two and the
// stretch from the last to the old end, in that order after it.
//
// Only a crossing can fail that test. The kernel computes it where the two
// lines meet, without checking that it lies on either segment, and where the
// area test cannot tell lines apart it can lie at an end or beyond: far from
// the origin the test is finer than the rounding of the coordinates, so two
// pieces of one line pass for lines that cross anywhere along it. A cut there
// would turn a piece round, and the overlapping pieces would be cut again
// without end. An end of the other element that the kernel finds inside this
// one is nearer to each of its ends than they are to each other, and so lies
// between them; only rounding at the very edge could drop it.
bool CutAt(PieceTable& pieces, int piece, const Segment& own, int count, const Point& first, const Point& second) {
    Point cuts[2];
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const Point& cut = i == 0 ? first : second;
        if (StrictlyInside(cut, own)) cuts[kept++] = cut;
    }
    if (kept == 0) return false;

    pieces.InsertAfter(piece, cuts[kept - 1], own.end);
    if (kept == 2) pieces.InsertAfter(piece, cuts[0], cuts[1]);
    pieces.MoveEnd(piece, cuts[0]);
    return true;
}

// Two elements that cross are cut at one point: the crossing as computed
// along the first of them to find one, or instead the end point of either
// element that lies within the tolerance of it. Computed along each element
// separately, the crossing differs in the last bits, and far from the origin
// that is enough for the area test to put one element's new piece off the
// other's shortened line: the two would cross again, and be cut again, without
// end. At one point, or at an existing end, their pieces meet exactly.
void ShareTheCrossing(const Segment& a, const Segment& b, int aCount, Point& aPoint, Point& bPoint) {
    const Point computed = aCount == 1 ? aPoint : bPoint;
    Point at = computed;
    for (const Point& end : {a.start, a.end, b.start, b.end}) {
        if (SamePoint(computed, end)) {
            at = end;
            break;
        }
    }
    aPoint = bPoint = at;
}

// Elements that meet, if at all, only where both already end stay whole.
bool MeetOnlyWhereBothEnd(Relation relation) {
    return relation == kApart || relation == kJoined || relation == kSameSegment;
}

}  // namespace

// Both segments are taken before either element changes: B is cut where A
// met it before A was shortened.
bool CutPair(PieceTable& pieces, int outer, int inner) {
    if (!pieces.IsFinite(outer) || !pieces.IsFinite(inner)) return false;
    const Segment sa = pieces.SegmentAt(outer);
    const Segment sb = pieces.SegmentAt(inner);
    const Relation relation = sa.SegmentRelation(sb);
    if (MeetOnlyWhereBothEnd(relation)) return false;

    Point a1{}, a2{}, b1{}, b2{};
    const int aCount = sa.SegmentCrossPoints(sb, a1, a2);
    const int bCount = sb.SegmentCrossPoints(sa, b1, b2);
    if (relation == kCrossing && aCount + bCount > 0) ShareTheCrossing(sa, sb, aCount, a1, b1);
    const bool outerCut = CutAt(pieces, outer, sa, aCount, a1, a2);
    const bool innerCut = CutAt(pieces, inner, sb, bCount, b1, b2);
    return outerCut || innerCut;
}

bool CutPairLeavesAlone(const PieceTable& pieces, int outer, int inner) {
    return MeetOnlyWhereBothEnd(pieces.SegmentAt(outer).SegmentRelation(pieces.SegmentAt(inner)));
}


}  // namespace loopweave
