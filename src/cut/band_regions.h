#ifndef LOOPWEAVE_CUT_BAND_REGIONS_H
#define LOOPWEAVE_CUT_BAND_REGIONS_H

#include <cstddef>
#include <vector>

#include "cut/cut_bounds.h"
#include "cut/piece_record.h"
#include "cut/piece_table.h"
#include "geometry/box.h"
#include "geometry/strip.h"
#include "index/box_grid.h"
#include "index/sparse_box_grid.h"

namespace loopweave {

// Where the walk over nearby pairs seeks the pieces of a drawing with an
// element long for its coordinates, as far from the origin: a long piece in
// its box and along its band (CutBounds), every other in its box grown by the
// reach, and one beyond the allowed extent everywhere. Beyond the reach only
// pieces on nearly the same line can be cut at each other (line_reach.h), so
// the pieces along a band, or whose bands pass a piece, are sought among the
// places of lines near the piece's own: a second grid lists every piece by
// its place in the plane of lines, and is kept current as pieces are cut.
class BandRegions {
public:
    // The two grids, and the plane's copies a half turn on, can give a piece
    // twice.
    static constexpr bool kMayGiveTwice = true;

    BandRegions(const PieceTable& pieces, const CutBounds& bounds, std::vector<PieceRecord>& records, double reach);

    void Register(int piece) {
        if (places_.size() <= static_cast<std::size_t>(piece)) places_.resize(static_cast<std::size_t>(piece) + 1);
        Rebox(piece);
    }
    // Reads the piece's region and place again and returns its walk box.
    const Box& Rebox(int piece);

    // The piece's region grown by the reach: the band, which is wider than
    // the reach, as it is; and its place grown by the plane's reach.
    Sought Near(int piece) const {
        return {OwnBox(piece).Grown(reach_), Record(piece).band, Place(piece).Grown(lineReach_)};
    }
    // What a pass for the piece asks about afresh: its region grown by the
    // reach, with its band widened and its place grown twice, to cover the
    // pieces that will be cut off it.
    Sought Ask(int piece);
    // Whether what was asked about covers a piece's region grown by the reach.
    bool Covers(const Sought& asked, const Sought& near) const {
        if (bounds_.CoversAll(asked.box)) return true;  // then it covers every band it may meet
        return asked.box.Contains(near.box) && asked.place.Contains(near.place) &&
               (near.band < 0 || (asked.band >= 0 && bounds_.Holds(BandAt(asked.band), BandAt(near.band))));
    }
    // Whether a box may meet what was asked about.
    bool MeetsBox(const Sought& asked, const Box& box) const {
        return (asked.band >= 0 ? asked.box.Joined(BandAt(asked.band).Bounds()) : asked.box).Meets(box);
    }
    // Whether the piece's region may meet `region`, a region grown by the
    // reach: their boxes meet, or their places do and a band meets a box.
    bool Reaches(const Sought& region, int piece) const {
        const Box& box = OwnBox(piece);
        if (region.box.Meets(box)) return true;
        if (!bounds_.Lines().Meet(region.place, Place(piece))) return false;
        if (region.band >= 0 && BandAt(region.band).Meets(box)) return true;
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
        const Box near = OwnBox(a).Grown(reach_);
        if (near.Meets(OwnBox(b))) return true;
        if (!bounds_.Lines().Meet(Place(a).Grown(lineReach_), Place(b))) return false;
        const Strip* strip = StripAt(a);
        if (strip != nullptr && strip->Meets(OwnBox(b))) return true;
        strip = StripAt(b);
        return strip != nullptr && strip->Meets(near);
    }
    // Appends what the grid lists in the box asked about, and the pieces
    // whose places may meet the place asked about.
    void Gather(const Sought& asked, BoxGrid& grid, std::vector<int>& into);
    // The grid holds long pieces by their boxes: far pieces are found by
    // their places.
    BoxGrid::SegmentOf SegmentsToHold() const { return nullptr; }
    // The outer cursor has passed the piece: it is never an inner piece again.
    void Pass(int a) { lines_.Retire(a); }

private:
    const PieceRecord& Record(int piece) const { return records_[static_cast<std::size_t>(piece)]; }
    const Box& OwnBox(int piece) const { return Record(piece).ownBox; }
    const Box& Place(int piece) const { return places_[static_cast<std::size_t>(piece)]; }
    const Strip& BandAt(int band) const { return bands_[static_cast<std::size_t>(band)]; }
    const Strip* StripAt(int piece) const {
        const int band = Record(piece).band;
        return band < 0 ? nullptr : &BandAt(band);
    }
    const PieceTable& pieces_;
    const CutBounds& bounds_;
    std::vector<PieceRecord>& records_;
    double reach_;
    double lineReach_;
    std::vector<Strip> bands_;  // of long pieces, and widened, of what passes asked about
    std::vector<Box> places_;   // by piece: its place in the plane of lines
    SparseBoxGrid lines_;       // over the places, as wide as a place asked about
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_BAND_REGIONS_H
