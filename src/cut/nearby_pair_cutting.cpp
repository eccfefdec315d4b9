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
// coordinates (CutReachHolds), which is every piece of most drawings near the
// origin, but few of a map in metres. Beyond the reach, a piece that is not
// can be cut only at or by a piece on nearly the same line (line_reach.h),
// which it finds by its place among the lines, a box in a plane of angles
// and offsets, in a second grid; a piece beyond the coordinates the walk
// allows is paired with every piece (CutBounds).
//
// The walk is one; where it seeks each piece is its mode, chosen once for the
// drawing: NearOriginRegions when no element is long for its coordinates,
// BandRegions when one is.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cut/band_regions.h"
#include "cut/cut_bounds.h"
#include "cut/inner_runs.h"
#include "cut/list_order.h"
#include "cut/near_origin_regions.h"
#include "cut/nearby_pair_cutting.h"
#include "cut/pair_cutting.h"
#include "cut/piece_record.h"
#include "geometry/contact_reach.h"
#include "index/box_grid.h"
#include "index/box_table.h"
#include "index/tuning.h"

namespace loopweave {
namespace {

constexpr int kNone = PieceTable::kNone;

Box BoxOf(const PieceTable& pieces, int piece) { return Box::Around(pieces.Start(piece), pieces.End(piece)); }

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

// Whether any piece is sought along its band.
bool AnyLong(const PieceTable& pieces, const CutBounds& bounds) {
    for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
        if (pieces.IsFinite(piece) &&
            bounds.RegionOf(BoxOf(pieces, piece), pieces.Start(piece), pieces.End(piece)).hasStrip) {
            return true;
        }
    }
    return false;
}

template <typename Regions>
class NearbyPairWalk {
public:
    NearbyPairWalk(PieceTable& pieces, const Box& extent)
        : pieces_(pieces),
          bounds_(extent),
          order_(pieces),
          regions_(pieces, bounds_, records_, CutReach()),
          grid_(extent, tuning::kCellsPerItem * static_cast<std::size_t>(pieces.Count()),
                BoxTable::FieldOf<PieceRecord, &PieceRecord::ownBox>(records_)),
          inner_(BoxTable::FieldOf<PieceRecord, &PieceRecord::box>(records_)) {
        std::vector<int> finite;
        for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
            Register(piece);
            if (pieces.IsFinite(piece)) finite.push_back(piece);
        }
        grid_.Load(finite, regions_.SegmentsToHold());
    }

    void Run() {
        for (int outer = pieces_.First(); outer != kNone; outer = pieces_.Next(outer)) {
            if (pieces_.IsFinite(outer)) OuterPass(outer);
        }
    }

private:
    void OuterPass(int a);
    // Whether the pass for `outer`, whose region grown by the reach is
    // `near`, may start from the previous pass's inner pieces.
    bool CanTakeOver(int outer, const Sought& near) const;
    // Keeps of the previous pass's inner pieces those that may meet `asked`,
    // after the pieces cut off its outer piece beyond `outer`.
    void TakeOver(int outer, const Sought& asked);
    // Cuts the outer piece and the inner one at `place` in `run`, and brings
    // the grid, the inner runs and the region asked about up to date.
    void Cut(int a, int run, std::size_t place, Sought& asked);
    // The pieces beyond `cursor` that may meet `asked`, in the order of the
    // list, each once.
    void Gather(const Sought& asked, std::uint64_t cursor, std::vector<int>& into);
    // Labels, boxes and lists the pieces cut off the piece `cut`, from `first`
    // up to, not including, `end`, and puts them in list order into `cutOff`;
    // false when there are none.
    bool EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff);
    // Makes a record for a piece and reads its region.
    void Register(int piece);
    std::uint64_t& CutOffIn(int piece) { return records_[static_cast<std::size_t>(piece)].cutOffIn; }

    PieceTable& pieces_;
    CutBounds bounds_;
    ListOrder order_;
    std::vector<PieceRecord> records_;  // by piece
    Regions regions_;
    BoxGrid grid_;  // over the own boxes
    std::uint64_t pass_ = 0;
    // The inner pieces of the pass, and of the passes before it back to the
    // last that asked the grid afresh; with the region the previous pass
    // started from: every piece beyond the previous outer piece that may meet
    // `covered_` is among them or was cut off that outer piece.
    InnerRuns inner_;
    Sought covered_{};
    std::vector<int> found_;
};

template <typename Regions>
void NearbyPairWalk<Regions>::OuterPass(int a) {
    const Sought near = regions_.Near(a);
    Sought asked = near;
    if (CanTakeOver(a, near)) {
        if (near.band >= 0) asked.band = covered_.band;
        TakeOver(a, asked);
    } else if (bounds_.CoversAll(near.box)) {
        // The rest of the list, in order, as the grid would give it.
        asked = regions_.Ask(a);
        found_.clear();
        for (int piece = pieces_.Next(a); piece != kNone; piece = pieces_.Next(piece)) {
            if (pieces_.IsFinite(piece)) found_.push_back(piece);
        }
        inner_.Assign(found_);
    } else {
        asked = regions_.Ask(a);
        found_.clear();
        Gather(asked, order_.Label(a), found_);
        inner_.Assign(found_);
    }
    ++pass_;
    const Sought start = asked;
    for (int run = inner_.First(); run != InnerRuns::kNone; run = inner_.Next(run)) {
        // A's region shrinks as it is cut, and most runs lie out of its reach.
        if (!regions_.NearMeets(a, inner_.Bounds(run))) continue;
        for (std::size_t place = inner_.Begin(run); place < inner_.End(run); ++place) {
            if (regions_.PairMayMeet(a, inner_.PieceAt(place))) Cut(a, run, place, asked);
        }
    }
    grid_.Retire(a);
    regions_.Pass(a);
    covered_ = start;
}

template <typename Regions>
void NearbyPairWalk<Regions>::Cut(int a, int run, std::size_t place, Sought& asked) {
    const int b = inner_.PieceAt(place);
    const Box aBox = records_[static_cast<std::size_t>(a)].box;
    const Box bBox = records_[static_cast<std::size_t>(b)].box;
    const int pastOuter = pieces_.Next(a);
    const int pastInner = pieces_.Next(b);
    if (!CutPair(pieces_, a, b)) return;

    // A is never asked about again: its pieces follow it, and every query
    // from here on is for pieces beyond it.
    EnlistPieces(a, pieces_.Next(a), pastOuter, found_);
    for (int piece : found_) CutOffIn(piece) = pass_;
    const bool bCut = EnlistPieces(b, pieces_.Next(b), pastInner, found_);
    if (!SameBox(regions_.Rebox(b), bBox) || bCut) {
        grid_.Insert(b);
        inner_.Regrow(run, place);
    }
    // B's pieces follow it in the list, so they are the next inner pieces.
    inner_.InsertAfter(run, place, found_);

    if (SameBox(regions_.Rebox(a), aBox)) return;
    // Everything beyond the cursor that may meet the region asked about is
    // among the inner pieces already, and only this pass's cuts have changed
    // regions since; the grid need be asked again only when A's region
    // leaves the one asked about, as the end of a T can take it. Only the
    // region asked last is covered then: a box joined from two could reach
    // what neither query did.
    if (regions_.Covers(asked, regions_.Near(a))) return;
    const Sought fresh = regions_.Ask(a);
    found_.clear();
    Gather(fresh, order_.Label(b), found_);
    inner_.MergeAfter(run, place, found_, order_);
    asked = fresh;
}

// The outer piece's new pieces lie on it, so the next pass, when it is for one
// of them, needs only this pass's inner pieces: every piece beyond it that may
// meet it is among them, or was cut off the same outer piece. A piece can
// stick out of the region it was cut from by as much as a T's end lies off
// the line it ends on; such a piece asks the grid instead.
template <typename Regions>
bool NearbyPairWalk<Regions>::CanTakeOver(int outer, const Sought& near) const {
    return pass_ != 0 && records_[static_cast<std::size_t>(outer)].cutOffIn == pass_ &&
           regions_.Covers(covered_, near);
}

// The pieces cut off in the previous pass follow its outer piece in the list,
// before all its inner pieces.
template <typename Regions>
void NearbyPairWalk<Regions>::TakeOver(int outer, const Sought& asked) {
    inner_.DropUnreached([&](const Box& bounds) { return regions_.MeetsBox(asked, bounds); });
    found_.clear();
    for (int piece = pieces_.Next(outer); piece != kNone; piece = pieces_.Next(piece)) {
        if (CutOffIn(piece) != pass_) break;
        if (regions_.Reaches(asked, piece)) found_.push_back(piece);
    }
    inner_.Prepend(found_);
}

// The mode asks the grid, and says what else may meet the region.
template <typename Regions>
void NearbyPairWalk<Regions>::Gather(const Sought& asked, std::uint64_t cursor, std::vector<int>& into) {
    const std::size_t from = into.size();
    regions_.Gather(asked, grid_, into);
    const auto first = [&into, from] { return into.begin() + static_cast<std::ptrdiff_t>(from); };
    into.erase(std::remove_if(first(), into.end(),
                              [&](int piece) { return order_.Label(piece) <= cursor || !regions_.Reaches(asked, piece); }),
               into.end());
    std::sort(first(), into.end(), [this](int x, int y) { return order_.Label(x) < order_.Label(y); });
    if (Regions::kMayGiveTwice) into.erase(std::unique(first(), into.end()), into.end());
}

// The last piece runs to the cut piece's old end, so it reaches most of the
// cells the cut piece reached, and it takes over its entries there: the rest
// of a long line, cut again and again, is not listed afresh along the line
// each time. The cut piece itself is listed afresh, if at all.
template <typename Regions>
bool NearbyPairWalk<Regions>::EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff) {
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

template <typename Regions>
void NearbyPairWalk<Regions>::Register(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    if (records_.size() <= index) records_.resize(index + 1);
    regions_.Register(piece);
}

template <typename Regions>
void Walk(PieceTable& pieces, const Box& extent) {
    NearbyPairWalk<Regions> walk(pieces, extent);
    walk.Run();
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
            pairedWithMany += bounds.ShareCovered(bounds.RegionOf(box, pieces.Start(piece), pieces.End(piece)));
        }
    }
    return pairedWithMany * tuning::kMostUnboundShare <= static_cast<double>(finite);
}

void CutNearbyPairs(PieceTable& pieces) {
    Box extent{};
    if (!FiniteExtent(pieces, extent)) return;
    if (!AnyLong(pieces, CutBounds(extent))) {
        Walk<NearOriginRegions>(pieces, extent);
    } else {
        Walk<BandRegions>(pieces, extent);
    }
}

}  // namespace loopweave
