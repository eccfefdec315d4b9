// The walk over nearby pairs.
//
// The outer cursor walks the list as the walk over every pair does. For each
// outer piece A, the only inner pieces that cutting can change are those
// whose boxes lie within CutReach of A's box (contact_reach.h); a grid finds
// them, and they are taken in the order of the list, read from labels that
// keep that order as pieces are inserted (ListOrder). The label of the last
// inner taken is the inner cursor: an inner is taken only beyond it, which
// skips A's own new pieces, inserted behind the cursor, exactly as the walk
// over every pair does, and takes B's, inserted just beyond it, next. When a
// cut moves A's box off what was asked, the grid is asked again. Pieces the
// outer cursor has passed can never be inner pieces again and leave the grid.
//
// A long line crossed by k others is cut into k pieces, and each remaining
// piece, next in the list, is the next outer piece, whose box still spans the
// rest of the line: asking the grid and sorting its answer for each would
// cost O(k log k) per piece. Instead a pass hands its inner pieces over to
// the next pass when that is for one of its own pieces (see CanTakeOver), in
// runs that a pass no longer reaching them passes over whole (InnerRuns), and
// the grid is asked only when a pass starts afresh.
//
// The reach bounds cutting only between pieces that are short for their
// coordinates (CutReachHolds), which is every piece of most drawings. A piece
// that is not is paired with every piece near its line however far, and one
// beyond the coordinates the walk allows with every piece (CutBounds).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/contact_reach.h"
#include "prepare/box_grid.h"
#include "prepare/cut_bounds.h"
#include "prepare/cutting_walks.h"
#include "prepare/inner_runs.h"
#include "prepare/list_order.h"
#include "prepare/pair_cutting.h"

namespace loopweave {
namespace {

constexpr int kNone = PieceTable::kNone;

// A piece out of bounds is paired with the later pieces across much of the
// drawing, each pair costing this walk a few times what it costs the walk
// over every pair. While such pairs are at most this share of all, this walk
// is still several times the faster; with many more, the walk over every pair
// is.
constexpr double kMostUnboundShare = 64;

Box BoxOf(const PieceTable& pieces, int piece) {
    const Point s = pieces.Start(piece);
    const Point e = pieces.End(piece);
    return {std::min(s.x, e.x), std::min(s.y, e.y), std::max(s.x, e.x), std::max(s.y, e.y)};
}

bool SameBox(const Box& a, const Box& b) {
    return a.minX == b.minX && a.minY == b.minY && a.maxX == b.maxX && a.maxY == b.maxY;
}

// The box around every finite piece; false when there is none.
bool FiniteExtent(const PieceTable& pieces, Box& extent) {
    bool any = false;
    for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
        if (!pieces.IsFinite(piece)) continue;
        const Box box = BoxOf(pieces, piece);
        extent = any ? extent.Joined(box) : box;
        any = true;
    }
    return any;
}

class NearbyPairWalk {
public:
    NearbyPairWalk(PieceTable& pieces, const Box& extent)
        : pieces_(pieces),
          bounds_(extent),
          order_(pieces),
          grid_(extent, 2 * static_cast<std::size_t>(pieces.Count()), boxes_),
          reach_(CutReach()),
          inner_(boxes_) {
        std::vector<int> finite;
        for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
            Register(piece);
            if (pieces.IsFinite(piece)) finite.push_back(piece);
        }
        grid_.Load(finite);
    }

    void Run() {
        for (int outer = pieces_.First(); outer != kNone; outer = pieces_.Next(outer)) {
            if (pieces_.IsFinite(outer)) OuterPass(outer);
        }
    }

private:
    void OuterPass(int a);
    // Whether the pass for `outer`, whose box grown by the reach is `near`,
    // may start from the previous pass's inner pieces.
    bool CanTakeOver(int outer, const Box& near) const;
    // Keeps of the previous pass's inner pieces those within reach of `near`,
    // after the pieces cut off its outer piece beyond `outer`.
    void TakeOver(int outer, const Box& near);
    // Cuts the outer piece and the inner one at `place` in `run`, and brings
    // the grid, the inner runs and the box asked about up to date.
    void Cut(int a, int run, std::size_t place, Box& asked);
    // The pieces beyond `cursor` within reach of `near`, in no order.
    void Gather(const Box& near, std::uint64_t cursor, std::vector<int>& into);
    // Labels, boxes and lists the pieces cut off the piece `cut`, from `first`
    // up to, not including, `end`, and puts them in list order into `cutOff`;
    // false when there are none.
    bool EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff);
    void Register(int piece);

    // The piece's box as last read, and read again.
    const Box& BoxAt(int piece) const { return boxes_[static_cast<std::size_t>(piece)]; }
    const Box& Rebox(int piece);
    Box Near(int piece) const { return BoxAt(piece).Grown(reach_); }

    PieceTable& pieces_;
    CutBounds bounds_;
    ListOrder order_;
    std::vector<Box> boxes_;  // by piece
    BoxGrid grid_;
    double reach_;
    std::vector<std::uint64_t> cutOffIn_;  // by piece: the outer pass that cut it off its outer piece
    std::uint64_t pass_ = 0;
    // The inner pieces of the pass, and of the passes before it back to the
    // last that asked the grid afresh; with the box the previous pass started
    // from: every piece beyond the previous outer piece within reach of
    // `covered_` is among them or was cut off that outer piece.
    InnerRuns inner_;
    Box covered_{};
    std::vector<int> found_;
};

void NearbyPairWalk::OuterPass(int a) {
    const Box start = Near(a);
    if (CanTakeOver(a, start)) {
        TakeOver(a, start);
    } else if (bounds_.CoversAll(start)) {
        // The rest of the list, in order, as the grid would give it.
        found_.clear();
        for (int piece = pieces_.Next(a); piece != kNone; piece = pieces_.Next(piece)) {
            if (pieces_.IsFinite(piece)) found_.push_back(piece);
        }
        inner_.Assign(found_);
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
            if (Near(a).Meets(BoxAt(inner_.PieceAt(place)))) Cut(a, run, place, asked);
        }
    }
    grid_.Retire(a);
    covered_ = start;
}

void NearbyPairWalk::Cut(int a, int run, std::size_t place, Box& asked) {
    const int b = inner_.PieceAt(place);
    const Box aBox = BoxAt(a);
    const Box bBox = BoxAt(b);
    const int pastOuter = pieces_.Next(a);
    const int pastInner = pieces_.Next(b);
    if (!CutPair(pieces_, a, b)) return;

    // A is never asked about again: its pieces follow it, and every query
    // from here on is for pieces beyond it.
    EnlistPieces(a, pieces_.Next(a), pastOuter, found_);
    for (int piece : found_) cutOffIn_[static_cast<std::size_t>(piece)] = pass_;
    const bool bCut = EnlistPieces(b, pieces_.Next(b), pastInner, found_);
    if (!SameBox(Rebox(b), bBox) || bCut) {
        grid_.Insert(b);
        inner_.Regrow(run, place);
    }
    // B's pieces follow it in the list, so they are the next inner pieces.
    inner_.InsertAfter(run, place, found_);

    if (SameBox(Rebox(a), aBox)) return;
    // Everything beyond the cursor within reach of the box asked about is
    // among the inner pieces already, and only this pass's cuts have
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

// The outer piece's new pieces lie on it, so the next pass, when it is for one
// of them, needs only this pass's inner pieces: every piece beyond it within
// reach of it is among them, or was cut off the same outer piece. A piece can
// stick out of the box it was cut from by as much as a T's end lies off the
// line it ends on; such a piece asks the grid instead.
bool NearbyPairWalk::CanTakeOver(int outer, const Box& near) const {
    return pass_ != 0 && cutOffIn_[static_cast<std::size_t>(outer)] == pass_ && covered_.Contains(near);
}

// The pieces cut off in the previous pass follow its outer piece in the list,
// before all its inner pieces.
void NearbyPairWalk::TakeOver(int outer, const Box& near) {
    inner_.DropUnreached(near);
    found_.clear();
    for (int piece = pieces_.Next(outer); piece != kNone; piece = pieces_.Next(piece)) {
        if (cutOffIn_[static_cast<std::size_t>(piece)] != pass_) break;
        if (near.Meets(BoxAt(piece))) found_.push_back(piece);
    }
    inner_.Prepend(found_);
}

void NearbyPairWalk::Gather(const Box& near, std::uint64_t cursor, std::vector<int>& into) {
    const std::size_t from = into.size();
    grid_.Query(near, into);
    into.erase(std::remove_if(into.begin() + static_cast<std::ptrdiff_t>(from), into.end(),
                              [&](int piece) { return order_.Label(piece) <= cursor || !near.Meets(BoxAt(piece)); }),
               into.end());
}

// The last piece runs to the cut piece's old end, so it reaches most of the
// cells the cut piece reached, and it takes over its entries there: the rest
// of a long line, cut again and again, is not listed afresh along the line
// each time. The cut piece itself is listed afresh, if at all.
bool NearbyPairWalk::EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff) {
    cutOff.clear();
    if (first == end) return false;
    order_.InsertRun(first, end);
    for (int piece = first; piece != end; piece = pieces_.Next(piece)) {
        Register(piece);
        cutOff.push_back(piece);
    }
    grid_.HandOver(cut, cutOff.back());
    for (int piece : cutOff) {
        if (pieces_.IsFinite(piece)) grid_.Insert(piece);
    }
    return true;
}

// Makes room for the piece and reads its box.
void NearbyPairWalk::Register(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    if (boxes_.size() <= index) {
        cutOffIn_.resize(index + 1, 0);
        boxes_.resize(index + 1);
    }
    Rebox(piece);
}

const Box& NearbyPairWalk::Rebox(int piece) {
    const Box box = BoxOf(pieces_, piece);
    return boxes_[static_cast<std::size_t>(piece)] =
               pieces_.IsFinite(piece) ? bounds_.WalkBox(box, pieces_.Start(piece), pieces_.End(piece)) : box;
}

}  // namespace

bool NearbyPairsPay(const PieceTable& pieces) {
    Box extent{};
    if (!FiniteExtent(pieces, extent)) return true;
    const CutBounds bounds(extent);
    long finite = 0;
    double pairedWithMany = 0;  // pieces out of bounds, each by the share it is paired with
    for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
        if (!pieces.IsFinite(piece)) continue;
        ++finite;
        const Box box = BoxOf(pieces, piece);
        if (!bounds.Bound(box)) {
            pairedWithMany += bounds.ShareCovered(bounds.WalkBox(box, pieces.Start(piece), pieces.End(piece)));
        }
    }
    return pairedWithMany * kMostUnboundShare <= static_cast<double>(finite);
}

void CutNearbyPairs(PieceTable& pieces) {
    Box extent{};
    if (!FiniteExtent(pieces, extent)) return;
    NearbyPairWalk(pieces, extent).Run();
}

}  // namespace loopweave
