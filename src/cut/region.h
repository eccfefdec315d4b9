#ifndef LOOPWEAVE_CUT_REGION_H
#define LOOPWEAVE_CUT_REGION_H

#include "cut/cut_bounds.h"
#include "geometry/box.h"
#include "geometry/strip.h"

namespace loopweave {

// What a piece may meet, as the walk over nearby pairs seeks it: a box, a
// band when the piece has one, and, far from the origin, a place in the
// plane of lines (LinePlane).
//
// Near the origin no region has a place, and a band narrows the region: a
// piece at a slant, whose box is mostly empty, meets only what comes within
// the reach of its segment, the band (a Strip along the segment itself).
// Far from the origin every region has a place (one that meets none for a
// piece beyond the allowed extent), and a band widens the region: a piece
// long for its coordinates also meets the pieces along its band across the
// extent (CutBounds), among those whose places meet its own, modulo the half
// turn.
//
// The walk keeps each piece's own region, and seeks what a piece A may meet
// by A's region grown by the reach: near the origin its own, whose box holds
// the piece's own reach already (CutReachOf), so that two regions meet when
// their pieces lie within the larger of the two reaches; far from it its box
// grown by the reach and its place by the plane's reach. A piece with a band
// near the origin is long, and its reach is CutReach. The contract, for such
// a grown region R:
//  - MayMeet(P): false only when cutting A at a later piece B, whose own
//    region is P, or B at A, changes nothing (contact_reach.h; far from the
//    origin line_reach.h and CutBounds). Near the origin the boxes must meet
//    and, where R has a band, the band must meet B's segment (B's own band,
//    whose ends are B's) or B's box; far from it the boxes meet, or the
//    places meet and either band meets the other's box.
//  - MayMeet(box): false only when MayMeet(P) is false for every piece
//    whose walk box (Bounds) lies within the box.
//  - Covers(N): every region that N may meet R may meet too: R's box holds
//    N's and R's place N's, and the band that narrows or widens holds the
//    other (Strip::Holds, from the segment near the origin and from the line
//    across the extent far from it); or R's box holds the allowed extent.
// Every test reads coordinates and bands padded for their own rounding, so
// that what holds of the true regions holds of the computed ones.
struct Region {
    Box box;
    Box place;  // when hasPlace
    Strip band;  // when hasBand
    bool hasBand;
    bool hasPlace;

    // The box around everything the region may meet: its box, joined with its
    // band's where the band widens it.
    Box Bounds() const { return hasBand && hasPlace ? box.Joined(band.Bounds()) : box; }

    bool MayMeet(const Box& other) const {
        if (!hasPlace) return box.Meets(other) && (!hasBand || band.Meets(other));
        return box.Meets(other) || (hasBand && band.Meets(other));
    }

    bool MayMeet(const Region& piece, const CutBounds& bounds) const {
        if (!hasPlace) {
            if (!box.Meets(piece.box)) return false;
            if (!hasBand) return true;
            return piece.hasBand ? band.MeetsSegment(piece.band.from, piece.band.to) : band.Meets(piece.box);
        }
        if (box.Meets(piece.box)) return true;
        if (!bounds.Lines().Meet(place, piece.place)) return false;
        return (hasBand && band.Meets(piece.box)) || (piece.hasBand && piece.band.Meets(box));
    }

    bool Covers(const Region& near, const CutBounds& bounds) const {
        if (bounds.CoversAll(box)) return true;
        if (!box.Contains(near.box)) return false;
        if (!hasPlace) return !hasBand || (near.hasBand && band.Holds(near.band, bounds.Pad(), Strip::kFromSegment));
        return place.Contains(near.place) &&
               (!near.hasBand || (hasBand && bounds.Holds(band, near.band)));
    }
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_REGION_H
