#ifndef LOOPWEAVE_CUT_NEAR_ORIGIN_REGIONS_H
#define LOOPWEAVE_CUT_NEAR_ORIGIN_REGIONS_H

#include <cstddef>
#include <vector>

#include "cut/cut_bounds.h"
#include "cut/piece_record.h"
#include "cut/piece_table.h"
#include "geometry/strip.h"
#include "index/box_grid.h"

namespace loopweave {

// Where the walk over nearby pairs seeks the pieces of a drawing none of
// whose elements is long for its coordinates, as near the origin: within the
// reach of the piece (contact_reach.h), or across the allowed extent for a
// piece beyond it (CutBounds). A long piece cut later off one sought
// everywhere is sought in the box around its band.
//
// The reach bounds the distance between the segments that cutting changes,
// not only between their boxes: an end found inside a piece lies within the
// reach of the piece itself, and pieces that cross meet. So a piece at a
// slant, whose box is mostly empty, is sought only where its box meets the
// strip within the reach of its segment (its own band, kept by piece): a
// line across a turned grid then meets the few pieces along it rather than
// every piece in its box. The grid is asked along the strip only for a piece
// whose box spans many of its cells both ways; for a shorter one the cells
// of its box are as few, and cheaper to read.
class NearOriginRegions {
public:
    // Asked along a band, the grid gives each piece once.
    static constexpr bool kMayGiveTwice = false;

    NearOriginRegions(const PieceTable& pieces, const CutBounds& bounds, std::vector<PieceRecord>& records,
                      double reach);

    void Register(int piece) { Rebox(piece); }

    // Reads the piece's region again and returns its walk box.
    const Box& Rebox(int piece);

    // The piece's region grown by the reach: its box, and its strip if it
    // has one.
    Sought Near(int piece) const { return {BoxAt(piece).Grown(reach_), Record(piece).band, Box{}}; }
    // What a pass for the piece asks about afresh: its region grown by the
    // reach, with the strip widened by the reach again, so that it holds the
    // strips of the pieces later cut off this one, ends of Ts included.
    Sought Ask(int piece);
    // Whether what was asked about covers a piece's region grown by the reach.
    bool Covers(const Sought& asked, const Sought& near) const {
        if (bounds_.CoversAll(asked.box)) return true;
        return asked.box.Contains(near.box) &&
               (asked.band < 0 || (near.band >= 0 && BandAt(asked.band).Holds(BandAt(near.band), bounds_.Pad(), Strip::kFromSegment)));
    }
    // Whether a box may meet what was asked about.
    bool MeetsBox(const Sought& asked, const Box& box) const {
        return asked.box.Meets(box) && (asked.band < 0 || BandAt(asked.band).Meets(box));
    }
    // Whether the piece may meet what was asked about: a piece at a slant by
    // its segment, as its box would meet every strip across it.
    bool Reaches(const Sought& region, int piece) const {
        const Box& box = BoxAt(piece);
        if (!region.box.Meets(box)) return false;
        if (region.band < 0) return true;
        const Strip& band = BandAt(region.band);
        return Record(piece).band < 0 ? band.Meets(box) : band.MeetsSegment(pieces_.Start(piece), pieces_.End(piece));
    }
    bool NearMeets(int a, const Box& box) const { return MeetsBox(Near(a), box); }
    bool PairMayMeet(int a, int b) const { return Reaches(Near(a), b); }
    // Appends what the grid lists where the region asked about lies: along
    // the strip for a piece at a slant.
    void Gather(const Sought& asked, BoxGrid& grid, std::vector<int>& into) {
        if (asked.band < 0 || !(asked.box.maxX - asked.box.minX > slant_ && asked.box.maxY - asked.box.minY > slant_)) {
            grid.Query(asked.box, into);
        } else {
            grid.QueryAlong(BandAt(asked.band).Grown(bounds_.Pad()), into);
        }
    }
    // The grid may hold a piece at a slant by stretches of its segment: no
    // piece is asked about beyond the reach of its segment.
    BoxGrid::SegmentOf SegmentsToHold() const {
        return [this](int piece, Point& start, Point& end) {
            if (Record(piece).band < 0) return false;
            start = pieces_.Start(piece);
            end = pieces_.End(piece);
            return true;
        };
    }
    void Pass(int /*a*/) {}

private:
    const PieceRecord& Record(int piece) const { return records_[static_cast<std::size_t>(piece)]; }
    const Box& BoxAt(int piece) const { return Record(piece).box; }
    const Strip& BandAt(int band) const { return bands_[static_cast<std::size_t>(band)]; }

    const PieceTable& pieces_;
    const CutBounds& bounds_;
    std::vector<PieceRecord>& records_;
    double reach_;
    double slant_;              // the least width and height of a box asked about along its strip
    std::vector<Strip> bands_;  // of pieces at a slant, and widened, of what passes asked about
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_NEAR_ORIGIN_REGIONS_H
