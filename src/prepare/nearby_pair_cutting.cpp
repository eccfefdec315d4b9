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
// cost O(k log k) per piece. Instead a pass hands what it took over to the
// next pass when that is one of its own pieces (see TakeOver), and the grid
// is asked only when a pass starts afresh.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/contact_reach.h"
#include "geometry/element_geometry.h"
#include "prepare/box_grid.h"
#include "prepare/cutting_walks.h"
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
          grid_(extent, 2 * static_cast<std::size_t>(elements.Count())),
          reach_(CutReach()) {
        for (CPtrList::Node* node = elements.Head(); node != nullptr; node = elements.Next(node)) Enlist(node);
    }

    void Run() {
        for (CPtrList::Node* outer = elements_.Head(); outer != nullptr; outer = elements_.Next(outer)) {
            if (IsFinite(ItemAt<CLoopweaveElement>(elements_, outer))) OuterPass(outer);
        }
    }

private:
    void OuterPass(CPtrList::Node* outer);
    // Whether the pass for `outer`, whose box grown by the reach is `near`,
    // may start from what the previous pass took.
    bool CanTakeOver(int outer, const Box& near) const;
    // Queues, in the order of the list, the pieces cut off the previous outer
    // element beyond `outer` and the elements the previous pass took, those
    // within reach of `near`.
    void TakeOver(CPtrList::Node* outer, const Box& near);
    // Appends the elements within reach of the outer one and beyond the
    // cursor that this pass has not queued yet.
    void Gather(int outer, std::uint64_t cursor, std::vector<int>& into);
    void QueueLate(const std::vector<int>& serials);
    // The next inner element in the order of the list, from either queue.
    bool TakeNext(int& serial);
    void EnlistRun(CPtrList::Node* first, CPtrList::Node* end);
    void Enlist(CPtrList::Node* node);

    int SerialOf(CPtrList::Node* node) { return ElementEditor::Serial(ItemAt<CLoopweaveElement>(elements_, node)); }
    CLoopweaveElement& ElementOf(int serial) {
        return ItemAt<CLoopweaveElement>(elements_, nodes_[static_cast<std::size_t>(serial)]);
    }
    // The element's box as last read, and read again.
    const Box& BoxAt(int serial) const { return boxes_[static_cast<std::size_t>(serial)]; }
    const Box& Rebox(int serial) { return boxes_[static_cast<std::size_t>(serial)] = BoxOf(ElementOf(serial)); }
    // Orders serials by their places in the list; labels are distinct, so
    // this is a strict order and safe for sorting.
    auto LaterInList() const {
        return [this](int x, int y) { return order_.Label(x) > order_.Label(y); };
    }

    CPtrList& elements_;
    ListOrder order_;
    BoxGrid grid_;
    double reach_;
    std::vector<CPtrList::Node*> nodes_;   // by serial
    std::vector<Box> boxes_;               // by serial
    std::vector<std::uint64_t> queuedIn_;  // by serial: the outer pass that queued it
    std::vector<std::uint64_t> cutOffIn_;  // by serial: the outer pass that cut it off its outer element
    std::uint64_t pass_ = 0;
    // The inner elements of a pass, in the order of the list: those the first
    // query finds, sorted once, and a heap of those that turn up later (the
    // inner elements' pieces, and what a query finds after the outer element
    // changed), the earliest on top.
    std::vector<int> ahead_;
    std::size_t nextAhead_ = 0;
    std::vector<int> late_;
    std::vector<int> found_;
    // Every inner element of the pass, in the order taken, which is the order
    // of the list; and the same of the previous pass, with the box it covers:
    // every element beyond the previous outer element whose box meets
    // `covered_` is among `handed_` or was cut off that outer element.
    std::vector<int> taken_;
    std::vector<int> handed_;
    Box covered_{};
};

void NearbyPairWalk::OuterPass(CPtrList::Node* outer) {
    const int a = SerialOf(outer);
    const Box start = BoxAt(a).Grown(reach_);
    Box asked = start;
    const bool takeOver = CanTakeOver(a, start);
    ++pass_;
    ahead_.clear();
    nextAhead_ = 0;
    late_.clear();
    taken_.clear();
    std::uint64_t cursor = order_.Label(a);
    if (takeOver) {
        TakeOver(outer, start);
    } else {
        Gather(a, cursor, ahead_);
        std::sort(ahead_.begin(), ahead_.end(), [later = LaterInList()](int x, int y) { return later(y, x); });
    }
    int b = 0;
    while (TakeNext(b)) {
        cursor = order_.Label(b);
        const Box aBox = BoxAt(a);
        const Box bBox = BoxAt(b);
        if (!aBox.Grown(reach_).Meets(bBox)) continue;

        CPtrList::Node* inner = nodes_[static_cast<std::size_t>(b)];
        CPtrList::Node* pastOuter = elements_.Next(outer);
        CPtrList::Node* pastInner = elements_.Next(inner);
        CutPair(elements_, outer, inner);

        EnlistRun(elements_.Next(outer), pastOuter);
        for (CPtrList::Node* piece = elements_.Next(outer); piece != pastOuter; piece = elements_.Next(piece)) {
            cutOffIn_[static_cast<std::size_t>(SerialOf(piece))] = pass_;
        }
        EnlistRun(elements_.Next(inner), pastInner);
        found_.clear();
        for (CPtrList::Node* piece = elements_.Next(inner); piece != pastInner; piece = elements_.Next(piece)) {
            found_.push_back(SerialOf(piece));
        }
        QueueLate(found_);
        if (!SameBox(Rebox(b), bBox)) grid_.Insert(b, BoxAt(b));
        if (!SameBox(Rebox(a), aBox)) {
            grid_.Insert(a, BoxAt(a));
            // Everything beyond the cursor within reach of the box asked
            // about is queued already, and only this pass's cuts have changed
            // boxes since; the grid need be asked again only when A's cut
            // point lies off its old extent, as the end of a T can.
            const Box near = BoxAt(a).Grown(reach_);
            if (!asked.Contains(near)) {
                // The pieces just inserted may have spread the labels around
                // B, so the cursor is read afresh.
                cursor = order_.Label(b);
                std::vector<int> found;
                Gather(a, cursor, found);
                QueueLate(found);
                // Only this box is covered now: a box joined from both could
                // reach what neither query did.
                asked = near;
            }
        }
    }
    grid_.Retire(a);
    // What this pass took is all beyond A within reach of the box it started
    // with, except A's own pieces; boxes change only by this pass's cuts,
    // which are among them.
    handed_.swap(taken_);
    covered_ = start;
}

// The outer element's pieces lie on it, so the next pass, when it is for one
// of them, needs only what this pass took: every element beyond the piece
// within reach of it was taken, or is a piece too. A piece can stick out of
// its element's box by as much as a T's end lies off the line it ends on;
// such a piece asks the grid instead.
bool NearbyPairWalk::CanTakeOver(int outer, const Box& near) const {
    return pass_ != 0 && cutOffIn_[static_cast<std::size_t>(outer)] == pass_ && covered_.Contains(near);
}

// The pieces cut off in the previous pass follow its outer element in the
// list, before everything that pass took.
void NearbyPairWalk::TakeOver(CPtrList::Node* outer, const Box& near) {
    const std::uint64_t previous = pass_ - 1;
    for (CPtrList::Node* node = elements_.Next(outer); node != nullptr; node = elements_.Next(node)) {
        const int serial = SerialOf(node);
        if (cutOffIn_[static_cast<std::size_t>(serial)] != previous) break;
        if (near.Meets(BoxAt(serial))) ahead_.push_back(serial);
    }
    for (int serial : handed_) {
        if (near.Meets(BoxAt(serial))) ahead_.push_back(serial);
    }
    for (int serial : ahead_) queuedIn_[static_cast<std::size_t>(serial)] = pass_;
}

void NearbyPairWalk::Gather(int outer, std::uint64_t cursor, std::vector<int>& into) {
    found_.clear();
    const Box near = BoxAt(outer).Grown(reach_);
    grid_.Query(near, found_);
    for (int serial : found_) {
        std::uint64_t& queued = queuedIn_[static_cast<std::size_t>(serial)];
        if (queued == pass_ || order_.Label(serial) <= cursor || !near.Meets(BoxAt(serial))) continue;
        queued = pass_;
        into.push_back(serial);
    }
}

void NearbyPairWalk::QueueLate(const std::vector<int>& serials) {
    for (int serial : serials) {
        queuedIn_[static_cast<std::size_t>(serial)] = pass_;
        late_.push_back(serial);
        std::push_heap(late_.begin(), late_.end(), LaterInList());
    }
}

bool NearbyPairWalk::TakeNext(int& serial) {
    const bool haveAhead = nextAhead_ < ahead_.size();
    if (late_.empty() && !haveAhead) return false;
    if (late_.empty() || (haveAhead && LaterInList()(late_.front(), ahead_[nextAhead_]))) {
        serial = ahead_[nextAhead_++];
    } else {
        std::pop_heap(late_.begin(), late_.end(), LaterInList());
        serial = late_.back();
        late_.pop_back();
    }
    taken_.push_back(serial);
    return true;
}

void NearbyPairWalk::EnlistRun(CPtrList::Node* first, CPtrList::Node* end) {
    if (first == end) return;
    order_.InsertRun(first, end);
    for (CPtrList::Node* node = first; node != end; node = elements_.Next(node)) Enlist(node);
}

// Makes room for the element at `node`, which has its serial already, and
// lists it on the grid when it can meet anything.
void NearbyPairWalk::Enlist(CPtrList::Node* node) {
    const auto serial = static_cast<std::size_t>(SerialOf(node));
    if (nodes_.size() <= serial) {
        nodes_.resize(serial + 1, nullptr);
        queuedIn_.resize(serial + 1, 0);
        cutOffIn_.resize(serial + 1, 0);
        boxes_.resize(serial + 1);
    }
    nodes_[serial] = node;
    if (IsFinite(ItemAt<CLoopweaveElement>(elements_, node))) grid_.Insert(static_cast<int>(serial), Rebox(static_cast<int>(serial)));
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
