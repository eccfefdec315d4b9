// The walk over nearby pairs.
//
// The outer cursor walks the list as the walk over every pair does. For each
// outer element A, the only inner elements that cutting can change are those
// whose boxes lie within CutReach of A's box (contact_reach.h); a grid finds
// them, and a heap takes them in the order of the list, read from labels that
// keep that order as pieces are inserted (ListOrder). The label of the last
// inner taken is the inner cursor: an inner is taken only beyond it, which
// skips A's own pieces, inserted behind the cursor, exactly as the walk over
// every pair does, and takes B's pieces, inserted just beyond it, next. When
// A is cut its box changes and the grid is asked again. Elements the outer
// cursor has passed can never be inner elements again and leave the grid.

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

Box BoxOf(CLoopweaveElement& e) {
    return {std::min(e.Sx(), e.Ex()), std::min(e.Sy(), e.Ey()), std::max(e.Sx(), e.Ex()), std::max(e.Sy(), e.Ey())};
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
        extent = any ? Box{std::min(extent.minX, box.minX), std::min(extent.minY, box.minY),
                           std::max(extent.maxX, box.maxX), std::max(extent.maxY, box.maxY)}
                     : box;
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
    void QueueNear(int outer, std::uint64_t cursor);
    void Queue(int serial);
    void EnlistRun(CPtrList::Node* first, CPtrList::Node* end);
    void Enlist(CPtrList::Node* node);

    int SerialOf(CPtrList::Node* node) { return ElementEditor::Serial(ItemAt<CLoopweaveElement>(elements_, node)); }
    CLoopweaveElement& ElementOf(int serial) {
        return ItemAt<CLoopweaveElement>(elements_, nodes_[static_cast<std::size_t>(serial)]);
    }
    bool LaterInList(int a, int b) const { return order_.Label(a) > order_.Label(b); }

    CPtrList& elements_;
    ListOrder order_;
    BoxGrid grid_;
    double reach_;
    std::vector<CPtrList::Node*> nodes_;   // by serial
    std::vector<std::uint64_t> queuedIn_;  // by serial: the outer pass that queued it
    std::uint64_t pass_ = 0;
    std::vector<int> queue_;  // a heap of serials, the earliest in the list on top
    std::vector<int> found_;
};

void NearbyPairWalk::OuterPass(CPtrList::Node* outer) {
    const int a = SerialOf(outer);
    ++pass_;
    queue_.clear();
    std::uint64_t cursor = order_.Label(a);
    QueueNear(a, cursor);
    const auto later = [this](int x, int y) { return LaterInList(x, y); };
    while (!queue_.empty()) {
        std::pop_heap(queue_.begin(), queue_.end(), later);
        const int b = queue_.back();
        queue_.pop_back();
        cursor = order_.Label(b);
        const Box aBox = BoxOf(ElementOf(a));
        const Box bBox = BoxOf(ElementOf(b));
        if (!aBox.Grown(reach_).Meets(bBox)) continue;

        CPtrList::Node* inner = nodes_[static_cast<std::size_t>(b)];
        CPtrList::Node* pastOuter = elements_.Next(outer);
        CPtrList::Node* pastInner = elements_.Next(inner);
        CutPair(elements_, outer, inner);

        EnlistRun(elements_.Next(outer), pastOuter);
        EnlistRun(elements_.Next(inner), pastInner);
        for (CPtrList::Node* piece = elements_.Next(inner); piece != pastInner; piece = elements_.Next(piece)) {
            Queue(SerialOf(piece));
        }
        if (!SameBox(BoxOf(ElementOf(b)), bBox)) grid_.Insert(b, BoxOf(ElementOf(b)));
        if (!SameBox(BoxOf(ElementOf(a)), aBox)) {
            grid_.Insert(a, BoxOf(ElementOf(a)));
            QueueNear(a, cursor);
        }
    }
    grid_.Retire(a);
}

void NearbyPairWalk::QueueNear(int outer, std::uint64_t cursor) {
    found_.clear();
    const Box near = BoxOf(ElementOf(outer)).Grown(reach_);
    grid_.Query(near, found_);
    for (int serial : found_) {
        if (order_.Label(serial) > cursor && near.Meets(BoxOf(ElementOf(serial)))) Queue(serial);
    }
}

void NearbyPairWalk::Queue(int serial) {
    std::uint64_t& queued = queuedIn_[static_cast<std::size_t>(serial)];
    if (queued == pass_) return;
    queued = pass_;
    queue_.push_back(serial);
    std::push_heap(queue_.begin(), queue_.end(), [this](int x, int y) { return LaterInList(x, y); });
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
    }
    nodes_[serial] = node;
    CLoopweaveElement& element = ItemAt<CLoopweaveElement>(elements_, node);
    if (IsFinite(element)) grid_.Insert(static_cast<int>(serial), BoxOf(element));
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
