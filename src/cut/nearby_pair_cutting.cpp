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
// Copies of one piece as it stands are twins (TwinPieces), and what cutting
// does to one it does to each. The grid lists each set of twins once, by its
// leader, which stands for the others when found; where the outer piece, as
// it stands, leaves the leader alone, as it does its own twins, the pass
// passes over the set until the outer piece is cut. Without that, n copies of
// one line, or of the pieces a line across them cuts off, cost n^2/2 pairs
// that change nothing.
//
// Where the walk seeks each piece is its region (region.h): within the reach
// of its box, and beyond it, for a piece long for its coordinates, among the
// pieces on nearly the same line (line_reach.h); whether regions have places
// in the plane of lines is chosen once for the drawing (PieceRegions).

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cut/cut_bounds.h"
#include "cut/inner_runs.h"
#include "cut/list_order.h"
#include "cut/nearby_pair_cutting.h"
#include "cut/pair_cutting.h"
#include "cut/piece_regions.h"
#include "cut/region.h"
#include "cut/twin_pieces.h"
#include "index/cut_candidates.h"
#include "index/tuning.h"
#include "store/growing_table.h"

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
    Region region{};
    for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
        if (!pieces.IsFinite(piece)) continue;
        bounds.RegionOf(BoxOf(pieces, piece), pieces.Start(piece), pieces.End(piece), region);
        if (region.hasBand) return true;
    }
    return false;
}

class NearbyPairWalk {
public:
    NearbyPairWalk(PieceTable& pieces, const Box& extent, bool placed)
        : pieces_(pieces),
          bounds_(extent),
          order_(pieces),
          regions_(pieces, bounds_, placed),
          candidates_(extent, static_cast<std::size_t>(pieces.Count()), regions_.OwnBoxes(), bounds_.Pad()),
          twins_(pieces, order_),
          inner_(regions_.WalkBoxes()) {
        // A place asked about is the piece's grown by the plane's reach twice.
        if (placed) candidates_.ListPlaces(bounds_.Lines(), regions_.Places(), 4 * regions_.LineReach());
        cutOffIn_.reserve(pieces.Room());
        std::vector<int> finite;
        for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
            Register(piece);
            if (pieces.IsFinite(piece) && !twins_.Latent(piece)) finite.push_back(piece);
        }
        candidates_.Load(finite, regions_.Bands());
    }

    void Run() {
        for (int outer = pieces_.First(); outer != kNone; outer = pieces_.Next(outer)) {
            if (pieces_.IsFinite(outer)) OuterPass(outer);
        }
    }

private:
    void OuterPass(int a);
    // Fills the inner runs afresh for the pass of `a`, whose region grown by
    // the reach is `near`, and returns the region asked about.
    Region StartAfresh(int a, const Region& near);
    // Whether the pass for `outer`, whose region grown by the reach is
    // `near`, may start from the previous pass's inner pieces.
    bool CanTakeOver(int outer, const Region& near) const;
    // Keeps of the previous pass's inner pieces those that may meet the
    // region asked about for `outer`, whose region grown by the reach is
    // `near`, after the pieces cut off the previous outer piece beyond
    // `outer`; returns the region asked about.
    Region TakeOver(int outer, const Region& near);
    // Cuts the outer piece and the inner one at `place` in `run`, and brings
    // the grid, the inner runs and the region asked about up to date; false
    // when neither was cut.
    bool Cut(int a, int run, std::size_t place, Region& asked);
    // The pieces beyond `cursor` that may meet `asked`, in the order of the
    // list, each once, for the outer piece `a`; sets of twins it leaves
    // alone go to deferred_ instead.
    void Gather(int a, const Region& asked, std::uint64_t cursor, std::vector<int>& into);
    // Labels, boxes and lists the pieces cut off the piece `cut`, from `first`
    // up to, not including, `end`, and puts them in list order into `cutOff`;
    // false when there are none.
    bool EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff);
    // Makes a record for a piece and reads its region.
    void Register(int piece);
    // A and B, met as they stand, are copies: each joins its twins unless in
    // a set already, and the pieces latent from now on are unlisted.
    void MakeTwins(int a, int b);
    // The piece, cut or passed, leaves its twins; when it led them, their
    // new leader is listed, by the piece's entries when it was passed.
    void LeaveTwins(int piece, bool passed);
    std::uint64_t& CutOffIn(int piece) { return cutOffIn_[static_cast<std::size_t>(piece)]; }

    PieceTable& pieces_;
    CutBounds bounds_;
    ListOrder order_;
    PieceRegions regions_;
    CutCandidates candidates_;  // by the own boxes and places, each set of twins by its leader
    TwinPieces twins_;
    // Sets of twins beyond `from` that the pass found where its outer piece,
    // as it stands, leaves them alone: they are passed over until it is cut.
    struct Deferred {
        int set;
        std::uint64_t from;
    };
    std::vector<Deferred> deferred_;
    // Whether the pass deferred a set: the next may not take over its inner
    // pieces, which lack the twins passed over.
    bool deferredAny_ = false;
    GrowingTable<std::uint64_t> cutOffIn_;  // by piece: the outer pass that cut it off its outer piece
    std::uint64_t pass_ = 0;
    // The inner pieces of the pass, and of the passes before it back to the
    // last that asked the grid afresh; with the region the previous pass
    // started from: every piece beyond the previous outer piece that may meet
    // `covered_` is among them or was cut off that outer piece.
    InnerRuns inner_;
    Region covered_{};
    std::vector<int> found_;
    std::vector<int> leaders_;  // Gather's
};

void NearbyPairWalk::OuterPass(int a) {
    Region reached = regions_.Near(a);  // A's region grown by the reach, as A is cut
    const bool takeOver = CanTakeOver(a, reached);
    deferred_.clear();
    deferredAny_ = false;
    Region asked = takeOver ? TakeOver(a, reached) : StartAfresh(a, reached);
    ++pass_;
    covered_ = asked;
    for (int run = inner_.First(); run != InnerRuns::kNone; run = inner_.Next(run)) {
        // A's region shrinks as it is cut, and most runs lie out of its reach.
        if (!reached.MayMeet(inner_.Bounds(run))) continue;
        for (std::size_t place = inner_.Begin(run); place < inner_.End(run); ++place) {
            if (reached.MayMeet(regions_.Own(inner_.PieceAt(place)), bounds_) && Cut(a, run, place, asked)) {
                reached = regions_.Near(a);
            }
        }
    }
    LeaveTwins(a, true);
    candidates_.Retire(a);
}

// A region that covers the allowed extent meets every piece: the rest of the
// list, in order, as the grid would give it.
Region NearbyPairWalk::StartAfresh(int a, const Region& near) {
    const Region asked = regions_.Ask(a);
    found_.clear();
    // The list holds the latent twins, which the grid passes over.
    if (!twins_.AnyLatent() && bounds_.CoversAll(near.box)) {
        for (int piece = pieces_.Next(a); piece != kNone; piece = pieces_.Next(piece)) {
            if (pieces_.IsFinite(piece)) found_.push_back(piece);
        }
    } else {
        Gather(a, asked, order_.Label(a), found_);
    }
    inner_.Assign(found_);
    return asked;
}

bool NearbyPairWalk::Cut(int a, int run, std::size_t place, Region& asked) {
    const int b = inner_.PieceAt(place);
    const Box aBox = regions_.WalkBoxes()[static_cast<std::size_t>(a)];
    const Box bBox = regions_.WalkBoxes()[static_cast<std::size_t>(b)];
    const int pastOuter = pieces_.Next(a);
    const int pastInner = pieces_.Next(b);
    if (!CutPair(pieces_, a, b)) {
        if (twins_.SameEnds(a, b)) MakeTwins(a, b);
        return false;
    }

    // A is never asked about again: its pieces follow it, and every query
    // from here on is for pieces beyond it.
    const bool aCut = EnlistPieces(a, pieces_.Next(a), pastOuter, found_);
    for (int piece : found_) CutOffIn(piece) = pass_;
    const bool bCut = EnlistPieces(b, pieces_.Next(b), pastInner, found_);
    if (bCut) LeaveTwins(b, false);
    if (!SameBox(regions_.Rebox(b), bBox) || bCut) {
        candidates_.Update(b);
        inner_.Regrow(run, place);
    }
    // B's pieces follow it in the list, so they are the next inner pieces.
    inner_.InsertAfter(run, place, found_);
    if (aCut) {
        // The twins passed over beyond B may meet A as it is now.
        found_.clear();
        for (const Deferred& twins : deferred_) {
            twins_.Beyond(twins.set, std::max(twins.from, order_.Label(b)), found_);
        }
        deferred_.clear();
        if (!found_.empty()) inner_.MergeAfter(run, place, found_, order_);
        LeaveTwins(a, false);
    }

    if (SameBox(regions_.Rebox(a), aBox)) return true;
    // Everything beyond the cursor that may meet the region asked about is
    // among the inner pieces already, and only this pass's cuts have changed
    // regions since; the grid need be asked again only when A's region
    // leaves the one asked about, as the end of a T can take it. Only the
    // region asked last is covered then: a box joined from two could reach
    // what neither query did.
    if (asked.Covers(regions_.Near(a), bounds_)) return true;
    asked = regions_.Ask(a);
    found_.clear();
    Gather(a, asked, order_.Label(b), found_);
    inner_.MergeAfter(run, place, found_, order_);
    return true;
}

// The outer piece's new pieces lie on it, so the next pass, when it is for one
// of them, needs only this pass's inner pieces: every piece beyond it that may
// meet it is among them, or was cut off the same outer piece. A piece can
// stick out of the region it was cut from by as much as a T's end lies off
// the line it ends on; such a piece asks the grid instead.
bool NearbyPairWalk::CanTakeOver(int outer, const Region& near) const {
    return pass_ != 0 && !deferredAny_ && cutOffIn_[static_cast<std::size_t>(outer)] == pass_ &&
           covered_.Covers(near, bounds_);
}

// The pieces cut off in the previous pass follow its outer piece in the list,
// before all its inner pieces. The region asked about is the outer piece's,
// with the band the previous pass asked along in place of its own.
Region NearbyPairWalk::TakeOver(int outer, const Region& near) {
    Region asked = near;
    if (near.hasBand) {
        asked.hasBand = covered_.hasBand;
        asked.band = covered_.band;
    }
    inner_.DropUnreached([&](const Box& bounds) { return asked.MayMeet(bounds); });
    found_.clear();
    for (int piece = pieces_.Next(outer); piece != kNone; piece = pieces_.Next(piece)) {
        if (CutOffIn(piece) != pass_) break;
        if (asked.MayMeet(regions_.Own(piece), bounds_)) found_.push_back(piece);
    }
    inner_.Prepend(found_);
    return asked;
}

// The candidates beyond the cursor that the region's own test accepts, in
// the order of the list. A leader found stands for its twins beyond the
// cursor: they are passed over while A leaves the leader alone as it stands
// (A's own twins among them), and taken otherwise.
void NearbyPairWalk::Gather(int a, const Region& asked, std::uint64_t cursor, std::vector<int>& into) {
    const std::size_t from = into.size();
    candidates_.Find(
        asked.box, asked.hasBand && !asked.hasPlace ? &asked.band : nullptr, asked.hasPlace ? &asked.place : nullptr,
        [&](int piece) {
            return (order_.Label(piece) > cursor || twins_.AnyBeyond(piece, cursor)) &&
                   asked.MayMeet(regions_.Own(piece), bounds_);
        },
        into);
    leaders_.clear();
    std::size_t kept = from;
    for (std::size_t i = from; i < into.size(); ++i) {
        if (twins_.LeadsOthers(into[i])) {
            leaders_.push_back(into[i]);
        } else {
            into[kept++] = into[i];
        }
    }
    into.resize(kept);
    for (int leader : leaders_) {
        if (CutPairLeavesAlone(pieces_, a, leader)) {
            deferred_.push_back(Deferred{twins_.SetOf(leader), cursor});
            deferredAny_ = true;
        } else {
            twins_.Beyond(twins_.SetOf(leader), cursor, into);
        }
    }
    std::sort(into.begin() + static_cast<std::ptrdiff_t>(from), into.end(),
              [this](int x, int y) { return order_.Label(x) < order_.Label(y); });
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
    candidates_.HandOver(cut, cutOff.back());
    for (int piece : cutOff) {
        if (pieces_.IsFinite(piece)) candidates_.Update(piece);
    }
    return true;
}

void NearbyPairWalk::MakeTwins(int a, int b) {
    for (int piece : {a, b}) {
        if (twins_.SetOf(piece) != kNone) continue;
        const int latent = twins_.Join(piece);
        if (latent != kNone) candidates_.Retire(latent);
    }
}

void NearbyPairWalk::LeaveTwins(int piece, bool passed) {
    const int leader = twins_.Leave(piece);
    if (leader == kNone) return;
    if (passed) candidates_.HandOver(piece, leader);
    candidates_.Update(leader);
}

void NearbyPairWalk::Register(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    if (cutOffIn_.size() <= index) cutOffIn_.resize(index + 1, 0);
    regions_.Rebox(piece);
}

}  // namespace

bool NearbyPairsPay(const PieceTable& pieces) {
    Box extent{};
    if (!FiniteExtent(pieces, extent)) return true;
    const CutBounds bounds(extent);
    long finite = 0;
    double pairedWithMany = 0;  // pieces out of bounds, each by the share it is paired with
    Region region{};
    for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
        if (!pieces.IsFinite(piece)) continue;
        ++finite;
        const Box box = BoxOf(pieces, piece);
        if (bounds.Bound(box)) continue;
        bounds.RegionOf(box, pieces.Start(piece), pieces.End(piece), region);
        pairedWithMany += bounds.ShareCovered(region.box);
    }
    return pairedWithMany * tuning::kMostUnboundShare <= static_cast<double>(finite);
}

void CutNearbyPairs(PieceTable& pieces) {
    Box extent{};
    if (!FiniteExtent(pieces, extent)) return;
    NearbyPairWalk walk(pieces, extent, AnyLong(pieces, CutBounds(extent)));
    walk.Run();
}

}  // namespace loopweave
