#include "cut/band_regions.h"

#include <algorithm>

namespace loopweave {

BandRegions::BandRegions(const PieceTable& pieces, const CutBounds& bounds, std::vector<PieceRecord>& records,
                         double reach)
    : pieces_(pieces),
      bounds_(bounds),
      records_(records),
      reach_(std::max(reach, bounds.Lines().Apart())),
      lineReach_(bounds.Lines().Reach(reach_)),
      lines_(4 * lineReach_, static_cast<std::size_t>(pieces.Count()), places_) {}

// A piece beyond the allowed extent is sought everywhere by its box, and
// needs no place.
const Box& BandRegions::Rebox(int piece) {
    PieceRecord& record = records_[static_cast<std::size_t>(piece)];
    const Box box = Box::Around(pieces_.Start(piece), pieces_.End(piece));
    CutRegion region{box, false, Strip{}};
    Box& place = places_[static_cast<std::size_t>(piece)];
    place = LinePlane::Nowhere();
    if (pieces_.IsFinite(piece)) {
        region = bounds_.RegionOf(box, pieces_.Start(piece), pieces_.End(piece));
        if (bounds_.Allowed(box)) place = bounds_.Lines().PlaceOf(pieces_.Start(piece), pieces_.End(piece));
    }
    lines_.Insert(piece);
    record.ownBox = region.box;
    if (!region.hasStrip) {
        record.band = -1;
    } else if (record.band < 0) {
        record.band = static_cast<int>(bands_.size());
        bands_.push_back(region.strip);
    } else {
        bands_[static_cast<std::size_t>(record.band)] = region.strip;
    }
    return record.box = region.hasStrip ? region.box.Joined(region.strip.Bounds()) : region.box;
}

Sought BandRegions::Ask(int piece) {
    Sought asked = Near(piece);
    asked.place = asked.place.Grown(lineReach_);
    if (asked.band >= 0) {
        bands_.push_back(bounds_.Widened(BandAt(asked.band)));
        asked.band = static_cast<int>(bands_.size()) - 1;
    }
    return asked;
}

// The box asked about; the place asked about, and its copies a half turn on
// either way: the grid of places reads cells only on the levels whose places may meet them, which for a
// copy are only those with places near the plane's edge.
void BandRegions::Gather(const Sought& asked, BoxGrid& grid, std::vector<int>& into) {
    grid.Query(asked.box, into);
    for (int turns = -1; turns <= 1; ++turns) lines_.Query(bounds_.Lines().Turned(asked.place, turns), into);
}

}  // namespace loopweave
