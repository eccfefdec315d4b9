#include "cut/piece_regions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geometry/contact_reach.h"
#include "index/tuning.h"

namespace loopweave {

// The grid's coarse cells: about two for each piece over the allowed extent.
// Far from the origin pieces are sought by their boxes as far as the plane's
// reach pays (LinePlane::Apart).
PieceRegions::PieceRegions(const PieceTable& pieces, const CutBounds& bounds, bool placed)
    : pieces_(pieces), bounds_(bounds), reach_(CutReach()) {
    const Box& extent = bounds.Everywhere().box;
    const double cells = static_cast<double>(tuning::kCellsPerItem) * pieces.Count();
    slant_ = tuning::kSlantInCells * std::sqrt((extent.maxX - extent.minX) * (extent.maxY - extent.minY) / cells);
    if (!placed) return;
    reach_ = std::max(reach_, bounds.Lines().Apart());
    lineReach_ = bounds.Lines().Reach(reach_);
    lines_.emplace(4 * lineReach_, static_cast<std::size_t>(pieces.Count()),
                   BoxTable::FieldOf<Region, &Region::place>(own_));
}

const Box& PieceRegions::Rebox(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    while (own_.size() <= index) {
        own_.emplace_back();
        walk_.emplace_back();
    }
    const Box box = Box::Around(pieces_.Start(piece), pieces_.End(piece));
    Region& own = own_[index];
    if (lines_) {
        Place(piece, box, own);
        lines_->Insert(piece);
    } else {
        PlaceNearOrigin(piece, box, own);
    }
    return walk_[index] = own.Bounds();
}

// A long piece's band is folded into its box: near the origin bands narrow.
void PieceRegions::PlaceNearOrigin(int piece, const Box& box, Region& region) const {
    region.box = box;
    region.hasBand = false;
    region.hasPlace = false;
    if (!pieces_.IsFinite(piece)) return;
    const Point start = pieces_.Start(piece);
    const Point end = pieces_.End(piece);
    if (!bounds_.Bound(box)) {
        const CutRegion cut = bounds_.RegionOf(box, start, end);
        region.box = cut.hasStrip ? cut.box.Joined(cut.strip.Bounds()) : cut.box;
        return;
    }
    const double slant = tuning::kStripInReaches * reach_;
    if (box.maxX - box.minX > slant && box.maxY - box.minY > slant) {
        region.band = Strip{start, end, reach_ + bounds_.Pad()};
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
    const CutRegion cut = bounds_.RegionOf(box, start, end);
    region.box = cut.box;
    region.band = cut.strip;
    region.hasBand = cut.hasStrip;
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

// Far from the origin: the box asked about; the place asked about, and its
// copies a half turn on either way: the grid of places reads cells only on
// the levels whose places may meet them, which for a copy are only those
// with places near the plane's edge.
void PieceRegions::Gather(const Region& asked, BoxGrid& grid, std::vector<int>& into) {
    if (lines_) {
        grid.Query(asked.box, into);
        for (int turns = -1; turns <= 1; ++turns) lines_->Query(bounds_.Lines().Turned(asked.place, turns), into);
    } else if (asked.hasBand && asked.box.maxX - asked.box.minX > slant_ && asked.box.maxY - asked.box.minY > slant_) {
        grid.QueryAlong(asked.band.Grown(bounds_.Pad()), into);
    } else {
        grid.Query(asked.box, into);
    }
}

BoxGrid::SegmentOf PieceRegions::SegmentsToHold() const {
    if (lines_) return nullptr;
    return [this](int piece, Point& start, Point& end) {
        if (!Own(piece).hasBand) return false;
        start = pieces_.Start(piece);
        end = pieces_.End(piece);
        return true;
    };
}

}  // namespace loopweave
