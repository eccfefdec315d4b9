// The walk over nearby pairs.
//
// The outer cursor walks the list as the walk over every pair does. For each
// outer element A, the only inner elements that cutting can change are those
// whose boxes lie within CutReach of A's box (contact_reach.h); a grid finds
// them, and they are taken in the order of the list, read from labels that
// keep that order as pieces are inserted (ListOrder). The label of the last
// inner taken is the inner cursor: an inner is taken only beyond it, which
// skips A's own pieces, inserted behind the cursor, exactly as the walk over
// every pair does, and takes B's pieces, inserted just beyond it, next. When
// a cut moves A's box off what was asked, the grid is asked again. Elements
// the outer cursor has passed can never be inner elements again and leave the
// grid.
//
// A long line crossed by k others is cut into k pieces, and each remaining
// piece, next in the list, is the next outer element, whose box still spans
// the rest of the line: asking the grid and sorting its answer for each would
// cost O(k log k) per piece. Instead a pass hands its inner elements over to
// the next pass when that is for one of its own pieces (see CanTakeOver), in
// runs that a pass no longer reaching them passes over whole (InnerRuns), and
// the grid is asked only when a pass starts afresh.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/contact_reach.h"
#include "geometry/element_geometry.h"
#include "prepare/box_grid.h"
#include "prepare/cutting_walks.h"
#include "prepare/inner_runs.h"
#include "prepare/list_order.h"
#include "prepare/pair_cutting.h"
#include "store/element_editor.h"
#include "store/list_items.h"

namespace loopweave {
namespace {

Box BoxOf(CLoopweaveElement& element) {
    const Point s = StartOf(element);
    const Point e = EndOf(element);
    return {std::min(s.x, e.x), std::min(s.y, e.y), std::max(s.x, e.x), std::max(s.y, e.y)};
}

bool SameBox(const Box& a, const Box& b) {
    return a.minX == b.minX && a.minY == b.minY && a.maxX == b.maxX && a.maxY == b.maxY;
}

// The box around every finite element; false when there is none.
bool FiniteExtent(CPtrList& elements, Box& extent) {
    bool any = false;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements)) {
        if (!IsFinite(*element)) continue;
        const Box box = BoxOf(*element);
        extent = any ? extent.Joined(box) : box;
        any = true;
    }
    return any;
}

class NearbyPairWalk {
public:
    NearbyPairWalk(CPtrList& elements, const Box& extent)
        : elements_(elements),
          order_(elements),
          grid_(extent, 2 * static_cast<std::size_t>(elements.Count()), boxes_),
          reach_(CutReach()),
          inner_(boxes_) {
        for (CPtrList::Node* node = elements.Head(); node != nullptr; node = elements.Next(node)) {
            Register(node);
            if (IsFinite(ItemAt<CLoopweaveElement>(elements_, node))) grid_.Insert(SerialOf(node));
        }
    }

    void Run() {
        for (CPtrList::Node* outer = elements_.Head(); outer != nullptr; outer = elements_.Next(outer)) {
            if (IsFinite(ItemAt<CLoopweaveElement>(elements_, outer))) OuterPass(outer);
        }
    }

private:
    void OuterPass(CPtrList::Node* outer);
    // Whether the pass for `outer`, whose box grown by the reach is `near`,
    // may start from the previous pass's inner elements.
    bool CanTakeOver(int outer, const Box& near) const;
    // Keeps of the previous pass's inner elements those within reach of
    // `near`, after the pieces cut off its outer element beyond `outer`.
    void TakeOver(CPtrList::Node* outer, const Box& near);
    // Cuts the outer element and the inner one at `place` in `run`, and
    // brings the grid, the inner runs and the box asked about up to date.
    void Cut(CPtrList::Node* outer, int run, std::size_t place, Box& asked);
    // The elements beyond `cursor` within reach of `near`, in no order.
    void Gather(const Box& near, std::uint64_t cursor, std::vector<int>& into);
    // Labels, boxes and lists the pieces cut off the element `cut`, from
    // `first` up to, not including, `end`, and puts their serials in list
    // order into `pieces`; false when there are none.
    bool EnlistPieces(int cut, CPtrList::Node* first, CPtrList::Node* end, std::vector<int>& pieces);
    void Register(CPtrList::Node* node);

    int SerialOf(CPtrList::Node* node) { return ElementEditor::Serial(ItemAt<CLoopweaveElement>(elements_, node)); }
    CLoopweaveElement& ElementOf(int serial) {
        return ItemAt<CLoopweaveElement>(elements_, nodes_[static_cast<std::size_t>(serial)]);
    }
    // The element's box as last read, and read again.
    const Box& BoxAt(int serial) const { return boxes_[static_cast<std::size_t>(serial)]; }
    const Box& Rebox(int serial) { return boxes_[static_cast<std::size_t>(serial)] = BoxOf(ElementOf(serial)); }
    Box Near(int serial) const { return BoxAt(serial).Grown(reach_); }

    CPtrList& elements_;
    ListOrder order_;
    std::vector<CPtrList::Node*> nodes_;  // by serial
    std::vector<Box> boxes_;              // by serial
    BoxGrid grid_;
    double reach_;
    std::vector<std::uint64_t> cutOffIn_;  // by serial: the outer pass that cut it off its outer element
    std::uint64_t pass_ = 0;
    // The inner elements of the pass, and of the passes before it back to
    // the last that asked the grid afresh; with the box the previous pass
    // started from: every element beyond the previous outer element within
    // reach of `covered_` is among them or was cut off that outer element.
    InnerRuns inner_;
    Box covered_{};
    std::vector<int> found_;
};

void NearbyPairWalk::OuterPass(CPtrList::Node* outer) {
    const int a = SerialOf(outer);
    const Box start = Near(a);
    if (CanTakeOver(a, start)) {
        TakeOver(outer, start);
    } else {
        found_.clear();
        Gather(start, order_.Label(a), found_);
        std::sort(found_.begin(), found_.end(), [this](int x, int y) { return order_.Label(x) < order_.Label(y); });
        inner_.Assign(found_);
    }
    ++pass_;
    Box asked = start;
    for (int run = inner_.First(); run != InnerRuns::kNone; run = inner_.Next(run)) {
        // A's box shrinks as it is cut, and most runs lie out of its reach.
        if (!Near(a).Meets(inner_.Bounds(run))) continue;
        for (std::size_t place = inner_.Begin(run); place < inner_.End(run); ++place) {
            if (Near(a).Meets(BoxAt(inner_.SerialAt(place)))) Cut(outer, run, place, asked);
        }
    }
    grid_.Retire(a);
    covered_ = start;
}

void NearbyPairWalk::Cut(CPtrList::Node* outer, int run, std::size_t place, Box& asked) {
    const int a = SerialOf(outer);
    const int b = inner_.SerialAt(place);
    const Box aBox = BoxAt(a);
    const Box bBox = BoxAt(b);
    CPtrList::Node* inner = nodes_[static_cast<std::size_t>(b)];
    CPtrList::Node* pastOuter = elements_.Next(outer);
    CPtrList::Node* pastInner = elements_.Next(inner);
    CutPair(elements_, outer, inner);

    // A is never asked about again: its pieces follow it, and every query
    // from here on is for elements beyond it.
    EnlistPieces(a, elements_.Next(outer), pastOuter, found_);
    for (int piece : found_) cutOffIn_[static_cast<std::size_t>(piece)] = pass_;
    const bool bCut = EnlistPieces(b, elements_.Next(inner), pastInner, found_);
    if (!SameBox(Rebox(b), bBox) || bCut) {
        grid_.Insert(b);
        inner_.Regrow(run, place);
    }
    // B's pieces follow it in the list, so they are the next inner elements.
    inner_.InsertAfter(run, place, found_);

    if (SameBox(Rebox(a), aBox)) return;
    // Everything beyond the cursor within reach of the box asked about is
    // among the inner elements already, and only this pass's cuts have
    // changed boxes since; the grid need be asked again only when A's cut
    // point lies off its old extent, as the end of a T can. Only the box
    // asked last is covered then: a box joined from two could reach what
    // neither query did.
    const Box near = Near(a);
    if (asked.Contains(near)) return;
    found_.clear();
    Gather(near, order_.Label(b), found_);
    inner_.MergeAfter(run, place, found_, order_);
    asked = near;
}

// The outer element's pieces lie on it, so the next pass, when it is for one
// of them, needs only this pass's inner elements: every element beyond the
// piece within reach of it is among them, or is a piece too. A piece can
// stick out of its element's box by as much as a T's end lies off the line it
// ends on; such a piece asks the grid instead.
bool NearbyPairWalk::CanTakeOver(int outer, const Box& near) const {
    return pass_ != 0 && cutOffIn_[static_cast<std::size_t>(outer)] == pass_ && covered_.Contains(near);
}

// The pieces cut off in the previous pass follow its outer element in the
// list, before all its inner elements.
void NearbyPairWalk::TakeOver(CPtrList::Node* outer, const Box& near) {
    inner_.DropUnreached(near);
    found_.clear();
    for (CPtrList::Node* node = elements_.Next(outer); node != nullptr; node = elements_.Next(node)) {
        const int serial = SerialOf(node);
        if (cutOffIn_[static_cast<std::size_t>(serial)] != pass_) break;
        if (near.Meets(BoxAt(serial))) found_.push_back(serial);
    }
    inner_.Prepend(found_);
}

void NearbyPairWalk::Gather(const Box& near, std::uint64_t cursor, std::vector<int>& into) {
    const std::size_t from = into.size();
    grid_.Query(near, into);
    into.erase(std::remove_if(into.begin() + static_cast<std::ptrdiff_t>(from), into.end(),
                              [&](int serial) { return order_.Label(serial) <= cursor || !near.Meets(BoxAt(serial)); }),
               into.end());
}

// The last piece runs to the element's old end, so it reaches most of the
// cells the element reached, and it takes over the element's entries there:
// the rest of a long line, cut again and again, is not listed afresh along
// the line each time. The element itself is listed afresh, if at all.
bool NearbyPairWalk::EnlistPieces(int cut, CPtrList::Node* first, CPtrList::Node* end, std::vector<int>& pieces) {
    pieces.clear();
    if (first == end) return false;
    order_.InsertRun(first, end);
    for (CPtrList::Node* node = first; node != end; node = elements_.Next(node)) {
        Register(node);
        pieces.push_back(SerialOf(node));
    }
    grid_.HandOver(cut, pieces.back());
    for (int piece : pieces) {
        if (IsFinite(ElementOf(piece))) grid_.Insert(piece);
    }
    return true;
}

// Makes room for the element at `node`, which has its serial already, and
// reads its box.
void NearbyPairWalk::Register(CPtrList::Node* node) {
    const auto serial = static_cast<std::size_t>(SerialOf(node));
    if (nodes_.size() <= serial) {
        nodes_.resize(serial + 1, nullptr);
        cutOffIn_.resize(serial + 1, 0);
        boxes_.resize(serial + 1);
    }
    nodes_[serial] = node;
    Rebox(static_cast<int>(serial));
}

}  // namespace

bool NearbyPairsSuffice(CPtrList& elements) {
    Box extent{};
    if (!FiniteExtent(elements, extent)) return true;
    const double magnitude = std::max({std::fabs(extent.minX), std::fabs(extent.minY), std::fabs(extent.maxX),
                                       std::fabs(extent.maxY)});
    return ReachesHold(magnitude, std::max(extent.maxX - extent.minX, extent.maxY - extent.minY));
}

void CutNearbyPairs(CPtrList& elements) {
    Box extent{};
    if (!FiniteExtent(elements, extent)) return;
    NearbyPairWalk(elements, extent).Run();
}

}  // namespace loopweave
