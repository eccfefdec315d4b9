#include "cut/near_origin_regions.h"

#include <cmath>

#include "index/tuning.h"

namespace loopweave {

// The grid's coarse cells: about two for each piece over the allowed extent.
NearOriginRegions::NearOriginRegions(const PieceTable& pieces, const CutBounds& bounds,
                                     std::vector<PieceRecord>& records, double reach)
    : pieces_(pieces), bounds_(bounds), records_(records), reach_(reach) {
    const Box& extent = bounds.Everywhere().box;
    const double cells = static_cast<double>(tuning::kCellsPerItem) * pieces.Count();
    slant_ = tuning::kSlantInCells * std::sqrt((extent.maxX - extent.minX) * (extent.maxY - extent.minY) / cells);
}

const Box& NearOriginRegions::Rebox(int piece) {
    PieceRecord& record = records_[static_cast<std::size_t>(piece)];
    const Point& start = pieces_.Start(piece);
    const Point& end = pieces_.End(piece);
    const Box box = Box::Around(start, end);
    const bool bound = !pieces_.IsFinite(piece) || bounds_.Bound(box);
    if (bound) {
        record.box = box;
    } else {
        const CutRegion region = bounds_.RegionOf(box, start, end);
        record.box = region.hasStrip ? region.box.Joined(region.strip.Bounds()) : region.box;
    }
    record.ownBox = record.box;

    const double slant = tuning::kStripInReaches * reach_;
    if (!bound || !pieces_.IsFinite(piece) || !(box.maxX - box.minX > slant && box.maxY - box.minY > slant)) {
        record.band = -1;
        return record.box;
    }
    const Strip strip{start, end, reach_ + bounds_.Pad()};
    if (record.band < 0) {
        record.band = static_cast<int>(bands_.size());
        bands_.push_back(strip);
    } else {
        bands_[static_cast<std::size_t>(record.band)] = strip;
    }
    return record.box;
}

Sought NearOriginRegions::Ask(int piece) {
    Sought asked = Near(piece);
    if (asked.band >= 0) {
        bands_.push_back(BandAt(asked.band).Grown(reach_));
        asked.band = static_cast<int>(bands_.size()) - 1;
    }
    return asked;
}

}  // namespace loopweave
