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
// origin, but few of a map in metres. A piece that is not is paired with
// every piece in the band along its line however far, and one beyond the
// coordinates the walk allows with every piece (CutBounds). The grid lists
// pieces by their own boxes: asked along a long piece's band
// (BoxGrid::QueryAlong), it gives the pieces the band passes, a row of cells
// where a box around a band at a slant would be the whole drawing. The later
// long pieces whose bands pass a piece come from the lists made before
// cutting, element by element (BandCrossers).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "cut/band_crossers.h"
#include "cut/cut_bounds.h"
#include "cut/inner_runs.h"
#include "cut/list_order.h"
#include "cut/nearby_pair_cutting.h"
#include "cut/pair_cutting.h"
#include "geometry/contact_reach.h"
#include "index/box_grid.h"

namespace loopweave {
namespace {

constexpr int kNone = PieceTable::kNone;

// A piece out of bounds is paired with the later pieces across much of the
// drawing, each pair costing this walk a few times what it costs the walk
// over every pair. While such pairs are at most this share of all, this walk
// is still several times the faster; with many more, the walk over every pair
// is.
constexpr double kMostUnboundShare = 64;

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

class NearbyPairWalk {
public:
    NearbyPairWalk(PieceTable& pieces, const Box& extent)
        : pieces_(pieces),
          bounds_(extent),
          order_(pieces),
          seekAlongLines_(AnyLong(pieces, bounds_)),
          grid_(extent, 2 * static_cast<std::size_t>(pieces.Count()), seekAlongLines_ ? ownBoxes_ : boxes_),
          reach_(CutReach()),
          inner_(boxes_) {
        if (seekAlongLines_) {
            crossers_.emplace(pieces, bounds_, order_, extent);
            longPiecesOf_.resize(static_cast<std::size_t>(pieces.Count()));
        }
        std::vector<int> finite;
        for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
            Register(piece, piece);
            if (pieces.IsFinite(piece)) finite.push_back(piece);
        }
        grid_.Load(finite);
    }

    // False when the walk declines the drawing, having cut nothing.
    bool Ready() const { return !crossers_ || crossers_->Complete(); }

    void Run() {
        for (int outer = pieces_.First(); outer != kNone; outer = pieces_.Next(outer)) {
            if (pieces_.IsFinite(outer)) OuterPass(outer);
        }
    }

private:
    // A region as the walk keeps it: a box, and the number of a band in
    // bands_ or -1.
    struct Sought {
        Box box;
        int band;
    };

    void OuterPass(int a);
    // Whether what was asked about covers a piece's region grown by the reach.
    bool Covers(const Sought& asked, const Sought& near) const;
    // Whether the pass for `outer`, whose region grown by the reach is
    // `near`, may start from the previous pass's inner pieces.
    bool CanTakeOver(int outer, const Sought& near) const;
    // Keeps of the previous pass's inner pieces those that may meet `asked`,
    // after the pieces cut off its outer piece beyond `outer`.
    void TakeOver(int outer, const Sought& asked);
    // Cuts the outer piece and the inner one at `place` in `run`, and brings
    // the grid, the inner runs and the region asked about up to date.
    void Cut(int a, int run, std::size_t place, Sought& asked);
    // The pieces beyond `cursor` that may meet `asked`, asked for piece `a`,
    // in the order of the list, each once.
    void Gather(int a, const Sought& asked, std::uint64_t cursor, std::vector<int>& into);
    // Appends the long pieces cut from the element that the outer cursor has
    // not passed.
    void AppendLongPieces(int element, std::vector<int>& into);
    // Labels, boxes and lists the pieces cut off the piece `cut`, from `first`
    // up to, not including, `end`, and puts them in list order into `cutOff`;
    // false when there are none.
    bool EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff);
    // Makes room for a piece cut from `element` and reads its region.
    void Register(int piece, int element);
    // Reads the piece's region again, and returns its walk box: the box around
    // the region, which InnerRuns reads.
    const Box& Rebox(int piece);

    const Box& BoxAt(int piece) const { return boxes_[static_cast<std::size_t>(piece)]; }
    // The box the piece is sought in, besides its band.
    const Box& OwnBox(int piece) const {
        return seekAlongLines_ ? ownBoxes_[static_cast<std::size_t>(piece)] : BoxAt(piece);
    }
    const Strip* StripAt(int piece) const {
        if (!seekAlongLines_) return nullptr;
        const int band = longOf_[static_cast<std::size_t>(piece)];
        return band < 0 ? nullptr : &bands_[static_cast<std::size_t>(band)];
    }
    const Strip& BandAt(int band) const { return bands_[static_cast<std::size_t>(band)]; }
    // The piece's region grown by the reach: the band, which is wider than
    // the reach, as it is.
    Sought Near(int piece) const;
    // What a pass for the piece asks about afresh: its region grown by the
    // reach, with its band widened.
    Sought Ask(int piece);
    // Whether the piece's region may meet `region`, a region grown by the
    // reach. These three are asked of every candidate, most of them with no
    // band in the drawing.
    bool Reaches(const Sought& region, int piece) const {
        if (!seekAlongLines_) return region.box.Meets(BoxAt(piece));
        const Box& box = OwnBox(piece);
        if (region.box.Meets(box) || (region.band >= 0 && BandAt(region.band).Meets(box))) return true;
        const Strip* strip = StripAt(piece);
        return strip != nullptr && strip->Meets(region.box);
    }
    // Whether A's region grown by the reach may meet the box.
    bool NearMeets(int a, const Box& box) const {
        if (OwnBox(a).Grown(reach_).Meets(box)) return true;
        const Strip* strip = StripAt(a);
        return strip != nullptr && strip->Meets(box);
    }
    // Whether the regions of A and B, grown by the reach, may meet.
    bool PairMayMeet(int a, int b) const {
        if (NearMeets(a, OwnBox(b))) return true;
        const Strip* strip = StripAt(b);
        return strip != nullptr && strip->Meets(OwnBox(a).Grown(reach_));
    }
    int ElementOf(int piece) const { return elementOf_[static_cast<std::size_t>(piece)]; }

    PieceTable& pieces_;
    CutBounds bounds_;
    ListOrder order_;
    std::vector<Box> boxes_;     // by piece: the walk box
    std::vector<Box> ownBoxes_;  // by piece, when any is long: its own box, or the extent for one sought everywhere
    bool seekAlongLines_;
    BoxGrid grid_;  // over the own boxes
    double reach_;
    std::vector<int> longOf_;  // by piece: its band in bands_, or -1
    std::vector<Strip> bands_;  // of long pieces, and widened, of what passes asked about
    std::vector<int> elementOf_;  // by piece, when any is long: the element it was cut from
    std::optional<BandCrossers> crossers_;  // when any is long
    // By element: the pieces cut from it that have had bands, some more than once.
    std::vector<std::vector<int>> longPiecesOf_;
    std::vector<bool> passed_;  // by piece: whether the outer cursor has passed it
    std::vector<std::uint64_t> cutOffIn_;  // by piece: the outer pass that cut it off its outer piece
    std::uint64_t pass_ = 0;
    // The inner pieces of the pass, and of the passes before it back to the
    // last that asked the grid afresh; with the region the previous pass
    // started from: every piece beyond the previous outer piece that may meet
    // `covered_` is among them or was cut off that outer piece.
    InnerRuns inner_;
    Sought covered_{};
    std::vector<int> found_;
};

void NearbyPairWalk::OuterPass(int a) {
    const Sought near = Near(a);
    Sought asked = near;
    if (CanTakeOver(a, near)) {
        if (near.band >= 0) asked.band = covered_.band;
        TakeOver(a, asked);
    } else if (bounds_.CoversAll(near.box)) {
        // The rest of the list, in order, as the grid would give it.
        found_.clear();
        for (int piece = pieces_.Next(a); piece != kNone; piece = pieces_.Next(piece)) {
            if (pieces_.IsFinite(piece)) found_.push_back(piece);
        }
        inner_.Assign(found_);
    } else {
        asked = Ask(a);
        found_.clear();
        Gather(a, asked, order_.Label(a), found_);
        inner_.Assign(found_);
    }
    ++pass_;
    const Sought start = asked;
    for (int run = inner_.First(); run != InnerRuns::kNone; run = inner_.Next(run)) {
        // A's region shrinks as it is cut, and most runs lie out of its reach.
        if (!NearMeets(a, inner_.Bounds(run))) continue;
        for (std::size_t place = inner_.Begin(run); place < inner_.End(run); ++place) {
            if (PairMayMeet(a, inner_.PieceAt(place))) Cut(a, run, place, asked);
        }
    }
    grid_.Retire(a);
    if (seekAlongLines_) passed_[static_cast<std::size_t>(a)] = true;
    covered_ = start;
}

void NearbyPairWalk::Cut(int a, int run, std::size_t place, Sought& asked) {
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
    // Everything beyond the cursor that may meet the region asked about is
    // among the inner pieces already, and only this pass's cuts have changed
    // regions since; the grid need be asked again only when A's region
    // leaves the one asked about, as the end of a T can take it. Only the
    // region asked last is covered then: a box joined from two could reach
    // what neither query did.
    if (Covers(asked, Near(a))) return;
    const Sought fresh = Ask(a);
    found_.clear();
    Gather(a, fresh, order_.Label(b), found_);
    inner_.MergeAfter(run, place, found_, order_);
    asked = fresh;
}

// A box that covers every piece's box covers every band it may meet.
bool NearbyPairWalk::Covers(const Sought& asked, const Sought& near) const {
    if (bounds_.CoversAll(asked.box)) return true;
    return asked.box.Contains(near.box) &&
           (near.band < 0 || (asked.band >= 0 && bounds_.Holds(BandAt(asked.band), BandAt(near.band))));
}

// The outer piece's new pieces lie on it, so the next pass, when it is for one
// of them, needs only this pass's inner pieces: every piece beyond it that may
// meet it is among them, or was cut off the same outer piece. A piece can
// stick out of the region it was cut from by as much as a T's end lies off
// the line it ends on; such a piece asks the grid instead.
bool NearbyPairWalk::CanTakeOver(int outer, const Sought& near) const {
    return pass_ != 0 && cutOffIn_[static_cast<std::size_t>(outer)] == pass_ && Covers(covered_, near);
}

// The pieces cut off in the previous pass follow its outer piece in the list,
// before all its inner pieces.
void NearbyPairWalk::TakeOver(int outer, const Sought& asked) {
    inner_.DropUnreached(asked.band >= 0 ? asked.box.Joined(BandAt(asked.band).Bounds()) : asked.box);
    found_.clear();
    for (int piece = pieces_.Next(outer); piece != kNone; piece = pieces_.Next(piece)) {
        if (cutOffIn_[static_cast<std::size_t>(piece)] != pass_) break;
        if (Reaches(asked, piece)) found_.push_back(piece);
    }
    inner_.Prepend(found_);
}

// The grid gives the pieces whose boxes meet the box asked about or, asked
// along it, the band; the long elements whose bands pass A's element give
// their long pieces, whose bands may pass the box.
void NearbyPairWalk::Gather(int a, const Sought& asked, std::uint64_t cursor, std::vector<int>& into) {
    const std::size_t from = into.size();
    grid_.Query(asked.box, into);
    if (asked.band >= 0) grid_.QueryAlong(BandAt(asked.band), bounds_.Pad(), into);
    if (seekAlongLines_) {
        const int element = ElementOf(a);
        for (const int* crosser = crossers_->begin(element); crosser != crossers_->end(element); ++crosser) {
            if (crossers_->BandOf(*crosser)->Meets(asked.box)) AppendLongPieces(*crosser, into);
        }
    }
    const auto first = [&into, from] { return into.begin() + static_cast<std::ptrdiff_t>(from); };
    into.erase(std::remove_if(first(), into.end(),
                              [&](int piece) { return order_.Label(piece) <= cursor || !Reaches(asked, piece); }),
               into.end());
    std::sort(first(), into.end(), [this](int x, int y) { return order_.Label(x) < order_.Label(y); });
    // Asked along a band, the grid's tree and the lists can give a piece twice.
    if (seekAlongLines_) into.erase(std::unique(first(), into.end()), into.end());
}

// Pieces that the outer cursor has passed, or that are short now, leave the
// list as they are met.
void NearbyPairWalk::AppendLongPieces(int element, std::vector<int>& into) {
    std::vector<int>& pieces = longPiecesOf_[static_cast<std::size_t>(element)];
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(),
                                [&](int piece) {
                                    return passed_[static_cast<std::size_t>(piece)] || StripAt(piece) == nullptr;
                                }),
                 pieces.end());
    into.insert(into.end(), pieces.begin(), pieces.end());
}

// The last piece runs to the cut piece's old end, so it reaches most of the
// cells the cut piece reached, and it takes over its entries there: the rest
// of a long line, cut again and again, is not listed afresh along the line
// each time. The cut piece itself is listed afresh, if at all.
bool NearbyPairWalk::EnlistPieces(int cut, int first, int end, std::vector<int>& cutOff) {
    cutOff.clear();
    if (first == end) return false;
    order_.InsertRun(first, end);
    const int element = seekAlongLines_ ? ElementOf(cut) : cut;
    for (int piece = first; piece != end; piece = pieces_.Next(piece)) {
        Register(piece, element);
        cutOff.push_back(piece);
    }
    grid_.HandOver(cut, cutOff.back());
    for (int piece : cutOff) {
        if (pieces_.IsFinite(piece)) grid_.Insert(piece);
    }
    return true;
}

void NearbyPairWalk::Register(int piece, int element) {
    const auto index = static_cast<std::size_t>(piece);
    if (boxes_.size() <= index) {
        cutOffIn_.resize(index + 1, 0);
        boxes_.resize(index + 1);
        if (seekAlongLines_) {
            longOf_.resize(index + 1, -1);
            passed_.resize(index + 1, false);
            ownBoxes_.resize(index + 1);
            elementOf_.resize(index + 1, -1);
        }
    }
    if (seekAlongLines_) elementOf_[index] = element;
    Rebox(piece);
}

// Without bands, which only a drawing with a long element has, a long piece
// cut off one sought everywhere is sought in the box around its band.
const Box& NearbyPairWalk::Rebox(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    const Box box = BoxOf(pieces_, piece);
    if (!seekAlongLines_ && (!pieces_.IsFinite(piece) || bounds_.Bound(box))) return boxes_[index] = box;
    CutRegion region{box, false, Strip{}};
    if (pieces_.IsFinite(piece)) region = bounds_.RegionOf(box, pieces_.Start(piece), pieces_.End(piece));
    if (!seekAlongLines_) return boxes_[index] = region.hasStrip ? region.box.Joined(region.strip.Bounds()) : region.box;
    // A piece that strays from its element, after many Ts, is sought everywhere.
    if (pieces_.IsFinite(piece) && !crossers_->Keeps(ElementOf(piece), region, pieces_.Start(piece), pieces_.End(piece))) {
        region = bounds_.Everywhere();
    }
    ownBoxes_[index] = region.box;
    int& band = longOf_[index];
    if (!region.hasStrip) {
        band = -1;
    } else if (band < 0) {
        band = static_cast<int>(bands_.size());
        bands_.push_back(region.strip);
        longPiecesOf_[static_cast<std::size_t>(ElementOf(piece))].push_back(piece);
    } else {
        bands_[static_cast<std::size_t>(band)] = region.strip;
    }
    return boxes_[index] = region.hasStrip ? region.box.Joined(region.strip.Bounds()) : region.box;
}

NearbyPairWalk::Sought NearbyPairWalk::Near(int piece) const {
    return {OwnBox(piece).Grown(reach_), seekAlongLines_ ? longOf_[static_cast<std::size_t>(piece)] : -1};
}

NearbyPairWalk::Sought NearbyPairWalk::Ask(int piece) {
    Sought asked = Near(piece);
    if (asked.band >= 0) {
        bands_.push_back(bounds_.Widened(BandAt(asked.band)));
        asked.band = static_cast<int>(bands_.size()) - 1;
    }
    return asked;
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
    return pairedWithMany * kMostUnboundShare <= static_cast<double>(finite);
}

bool CutNearbyPairs(PieceTable& pieces) {
    Box extent{};
    if (!FiniteExtent(pieces, extent)) return true;
    NearbyPairWalk walk(pieces, extent);
    if (!walk.Ready()) return false;
    walk.Run();
    return true;
}

}  // namespace loopweave
