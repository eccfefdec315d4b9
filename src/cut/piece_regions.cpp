#include "cut/piece_regions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geometry/contact_reach.h"
#include "index/tuning.h"

namespace loopweave {

// Far from the origin pieces are sought by their boxes as far as the
// plane's reach pays (LinePlane::Apart).
PieceRegions::PieceRegions(const PieceTable& pieces, const CutBounds& bounds, bool placed)
    : pieces_(pieces), bounds_(bounds), reach_(CutReach()), placed_(placed) {
    own_.reserve(pieces.Room());
    walk_.reserve(pieces.Room());
    if (!placed) return;
    reach_ = std::max(reach_, bounds.Lines().Apart());
    lineReach_ = bounds.Lines().Reach(reach_);
}

const Box& PieceRegions::Rebox(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    if (own_.size() <= index) {
        own_.resize(index + 1);
        walk_.resize(index + 1);
    }
    const Box box = Box::Around(pieces_.Start(piece), pieces_.End(piece));
    Region& own = own_[index];
    if (placed_) {
        Place(piece, box, own);
    } else {
        PlaceNearOrigin(piece, box, own);
    }
    return walk_[index] = own.Bounds();
}

// Near the origin a region holds its piece's own reach: its box is grown by
// it, and its band, at a slant, runs within it. A long piece's band is
// folded into its box: near the origin bands narrow. Only a piece whose
// reach is CutReach is long enough for a band.
void PieceRegions::PlaceNearOrigin(int piece, const Box& box, Region& region) const {
    region.box = box;
    region.hasBand = false;
    region.hasPlace = false;
    if (!pieces_.IsFinite(piece)) return;
    const Point start = pieces_.Start(piece);
    const Point end = pieces_.End(piece);
    if (!bounds_.Bound(box)) {
        bounds_.RegionOf(box, start, end, region);
        if (region.hasBand) region.box = region.box.Joined(region.band.Bounds());
        region.box = region.box.Grown(reach_);
        region.hasBand = false;
        return;
    }
    // The sum of the sides bounds the length, and costs no square root.
    const double reach = CutReachOf(std::fabs(end.x - start.x) + std::fabs(end.y - start.y));
    region.box = box.Grown(reach);
    const double slant = tuning::kStripInReaches * reach;
    if (box.maxX - box.minX > slant && box.maxY - box.minY > slant) {
        region.band = Strip{start, end, reach + bounds_.Pad()};
        region.hasBand = true;
    }
}

// A piece beyond the allowed extent is sought everywhere by its box, and
// needs no place.
void PieceRegions::Place(int piece, const Box& box, Region& region) const {
    region = Region{box, LinePlane::Nowhere(), Strip{}, false, true};
    if (!pieces_.IsFinite(piece)) return;
    const Point start = pieces_.Start(piece);
    const Point end = pieces_.End(piece);
    bounds_.RegionOf(box, start, end, region);
    if (bounds_.Allowed(box)) region.place = bounds_.Lines().PlaceOf(start, end);
}

Region PieceRegions::Ask(int piece) const {
    Region asked = Near(piece);
    if (asked.hasPlace) {
        asked.place = asked.place.Grown(lineReach_);
        if (asked.hasBand) asked.band = bounds_.Widened(asked.band);
    } else if (asked.hasBand) {
        asked.band = asked.band.Grown(reach_);
    }
    return asked;
}

BoxGrid::BandOf PieceRegions::Bands() const {
    return [this](int piece, Strip& band) {
        const Region& own = Own(piece);
        if (!own.hasBand || own.hasPlace) return false;
        band = own.band;
        return true;
    };
}

}  // namespace loopweave
