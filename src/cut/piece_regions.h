#ifndef LOOPWEAVE_CUT_PIECE_REGIONS_H
#define LOOPWEAVE_CUT_PIECE_REGIONS_H

#include <vector>

#include "cut/cut_bounds.h"
#include "cut/piece_table.h"
#include "cut/region.h"
#include "geometry/box.h"
#include "index/box_grid.h"
#include "index/box_table.h"
#include "store/growing_table.h"

namespace loopweave {

// Every piece's own region (region.h), kept current as pieces are cut, and
// the regions the walk over nearby pairs asks about. Regions have places
// when an element of the drawing is long for its coordinates, as far from
// the origin; the choice is made once for the drawing.
//
// Near the origin a piece's region holds its own reach (CutReachOf: its
// length, for a piece shorter than CutReach): its box grown by it, or the
// allowed extent for a piece beyond it (CutBounds); a long piece cut later
// off one sought everywhere is sought in the box around its band. Two
// pieces that cutting can change lie within the larger of their reaches, so
// their regions meet. The reach bounds the distance between the segments,
// not only between their boxes, so a piece at a slant is given the band
// within the reach of its segment: a line across a turned grid then meets
// the few pieces along it rather than every piece in its box. Far from the origin a
// long piece is sought in its box and along its band, every other in its box
// grown by the reach, and one beyond the allowed extent everywhere.
class PieceRegions {
public:
    PieceRegions(const PieceTable& pieces, const CutBounds& bounds, bool placed);

    // Reads the piece's region again, new or cut, and returns its walk box.
    const Box& Rebox(int piece);

    const Region& Own(int piece) const { return own_[static_cast<std::size_t>(piece)]; }
    // The own boxes, by which the grid lists pieces, and the walk boxes.
    BoxTable OwnBoxes() const { return BoxTable::FieldOf<Region, &Region::box>(own_); }
    BoxTable WalkBoxes() const { return walk_; }

    // The piece's region grown by the reach: near the origin its own, which
    // holds its reach already.
    Region Near(int piece) const {
        Region near = Own(piece);
        if (!near.hasPlace) return near;
        near.box = near.box.Grown(reach_);
        near.place = near.place.Grown(lineReach_);
        return near;
    }
    // What a pass for the piece asks about afresh: its region grown by the
    // reach, with its band widened and its place grown twice, to cover the
    // pieces that will be cut off it, ends of Ts included.
    Region Ask(int piece) const;

    // The places, by which the pieces are found far from the origin, and the
    // plane's reach, about which they are sought.
    BoxTable Places() const { return BoxTable::FieldOf<Region, &Region::place>(own_); }
    double LineReach() const { return lineReach_; }
    // The band of a piece that narrows its region, by whose stretches the
    // finder may hold it: no region asks beyond it.
    BoxGrid::BandOf Bands() const;

private:
    // The region of a piece whose box is `box`, near the origin and far
    // from it.
    void PlaceNearOrigin(int piece, const Box& box, Region& region) const;
    void Place(int piece, const Box& box, Region& region) const;

    const PieceTable& pieces_;
    const CutBounds& bounds_;
    double reach_;
    double lineReach_ = 0;
    bool placed_;
    GrowingTable<Region> own_;  // by piece
    GrowingTable<Box> walk_;    // by piece: the box around its region
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_PIECE_REGIONS_H
