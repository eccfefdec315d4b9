#ifndef LOOPWEAVE_CUT_BAND_REGIONS_H
#define LOOPWEAVE_CUT_BAND_REGIONS_H

#include <cstddef>
#include <vector>

#include "cut/band_crossers.h"
#include "cut/cut_bounds.h"
#include "cut/list_order.h"
#include "cut/piece_record.h"
#include "cut/piece_table.h"
#include "geometry/box.h"
#include "geometry/strip.h"
#include "index/box_grid.h"

namespace loopweave {

// Where the walk over nearby pairs seeks the pieces of a drawing with an
// element long for its coordinates, as far from the origin: a long piece in
// its box and along its band (CutBounds), every other in its box grown by the
// reach, and one that strays from its element, or lies beyond the allowed
// extent, everywhere. The grid lists pieces by their own boxes and is asked
// along the bands; the long pieces whose bands pass a piece come from the
// lists made before cutting (BandCrossers).
class BandRegions {
public:
    // Asked along a band, the grid's tree and the lists can give a piece twice.
    static constexpr bool kMayGiveTwice = true;

    BandRegions(const PieceTable& pieces, const CutBounds& bounds, const ListOrder& order, const Box& extent,
                std::vector<PieceRecord>& records, double reach);

    // False when the lists of crossers would not fit (BandCrossers::Complete).
    bool Ready() const { return crossers_.Complete(); }
    int ElementOf(int piece) const { return Record(piece).element; }
    void Register(int piece, int element) {
        records_[static_cast<std::size_t>(piece)].element = element;
        Rebox(piece);
    }
    // Reads the piece's region again and returns its walk box.
    const Box& Rebox(int piece);

    // The piece's region grown by the reach: the band, which is wider than
    // the reach, as it is.
    Sought Near(int piece) const { return {OwnBox(piece).Grown(reach_), Record(piece).band}; }
    // What a pass for the piece asks about afresh: its region grown by the
    // reach, with its band widened.
    Sought Ask(int piece);
    // Whether what was asked about covers a piece's region grown by the reach.
    bool Covers(const Sought& asked, const Sought& near) const {
        if (bounds_.CoversAll(asked.box)) return true;  // then it covers every band it may meet
        return asked.box.Contains(near.box) &&
               (near.band < 0 || (asked.band >= 0 && bounds_.Holds(BandAt(asked.band), BandAt(near.band))));
    }
    // Whether a box may meet what was asked about.
    bool MeetsBox(const Sought& asked, const Box& box) const {
        return (asked.band >= 0 ? asked.box.Joined(BandAt(asked.band).Bounds()) : asked.box).Meets(box);
    }
    // Whether the piece's region may meet `region`, a region grown by the reach.
    bool Reaches(const Sought& region, int piece) const {
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
    // Appends what the grid gives in the box and along the band asked about,
    // and the long pieces of the long elements whose bands pass A's element
    // and may pass the box asked about.
    void Gather(int a, const Sought& asked, BoxGrid& grid, std::vector<int>& into);
    // The grid holds long pieces by their boxes: their bands are asked about
    // anyway.
    BoxGrid::SegmentOf SegmentsToHold() const { return nullptr; }
    // The outer cursor has passed the piece.
    void Pass(int a) { records_[static_cast<std::size_t>(a)].passed = true; }

private:
    const PieceRecord& Record(int piece) const { return records_[static_cast<std::size_t>(piece)]; }
    const Box& OwnBox(int piece) const { return Record(piece).ownBox; }
    const Strip& BandAt(int band) const { return bands_[static_cast<std::size_t>(band)]; }
    const Strip* StripAt(int piece) const {
        const int band = Record(piece).band;
        return band < 0 ? nullptr : &BandAt(band);
    }
    // Appends the long pieces cut from the element that the outer cursor has
    // not passed.
    void AppendLongPieces(int element, std::vector<int>& into);

    const PieceTable& pieces_;
    const CutBounds& bounds_;
    std::vector<PieceRecord>& records_;
    double reach_;
    BandCrossers crossers_;
    std::vector<Strip> bands_;  // of long pieces, and widened, of what passes asked about
    // By element: the pieces cut from it that have had bands, some more than once.
    std::vector<std::vector<int>> longPiecesOf_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_BAND_REGIONS_H
