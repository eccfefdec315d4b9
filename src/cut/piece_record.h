#ifndef LOOPWEAVE_CUT_PIECE_RECORD_H
#define LOOPWEAVE_CUT_PIECE_RECORD_H

#include <cstdint>

#include "geometry/box.h"

namespace loopweave {

// What the walk over nearby pairs keeps of each piece, in one record.
struct PieceRecord {
    Box box;      // the walk box: the box around its region, band included, which InnerRuns reads
    Box ownBox;   // the box the grid lists it by, and where it is sought besides its band
    std::uint64_t cutOffIn = 0;  // the outer pass that cut it off its outer piece
    int band = -1;               // along bands: its band, or -1
};

// A region as the walk keeps it: a box, and along bands the number of a band
// kept by BandRegions, or -1, and a box in the plane of lines.
struct Sought {
    Box box;
    int band;
    Box place;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_PIECE_RECORD_H
