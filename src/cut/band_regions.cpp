#include "cut/band_regions.h"

#include <algorithm>

namespace loopweave {

BandRegions::BandRegions(const PieceTable& pieces, const CutBounds& bounds, const ListOrder& order, const Box& extent,
                         std::vector<PieceRecord>& records, double reach)
    : pieces_(pieces),
      bounds_(bounds),
      records_(records),
      reach_(reach),
      crossers_(pieces, bounds, order, extent),
      longPiecesOf_(static_cast<std::size_t>(pieces.Count())) {}

const Box& BandRegions::Rebox(int piece) {
    PieceRecord& record = records_[static_cast<std::size_t>(piece)];
    const Box box = Box::Around(pieces_.Start(piece), pieces_.End(piece));
    CutRegion region{box, false, Strip{}};
    if (pieces_.IsFinite(piece)) {
        region = bounds_.RegionOf(box, pieces_.Start(piece), pieces_.End(piece));
        // A piece that strays from its element, after many Ts, is sought everywhere.
        if (!crossers_.Keeps(record.element, region, pieces_.Start(piece), pieces_.End(piece))) {
            region = bounds_.Everywhere();
        }
    }
    record.ownBox = region.box;
    if (!region.hasStrip) {
        record.band = -1;
    } else if (record.band < 0) {
        record.band = static_cast<int>(bands_.size());
        bands_.push_back(region.strip);
        longPiecesOf_[static_cast<std::size_t>(record.element)].push_back(piece);
    } else {
        bands_[static_cast<std::size_t>(record.band)] = region.strip;
    }
    return record.box = region.hasStrip ? region.box.Joined(region.strip.Bounds()) : region.box;
}

Sought BandRegions::Ask(int piece) {
    Sought asked = Near(piece);
    if (asked.band >= 0) {
        bands_.push_back(bounds_.Widened(BandAt(asked.band)));
        asked.band = static_cast<int>(bands_.size()) - 1;
    }
    return asked;
}

void BandRegions::Gather(int a, const Sought& asked, BoxGrid& grid, std::vector<int>& into) {
    grid.Query(asked.box, into);
    if (asked.band >= 0) grid.QueryAlong(BandAt(asked.band).Grown(bounds_.Pad()), into);
    const int element = ElementOf(a);
    for (const int* crosser = crossers_.begin(element); crosser != crossers_.end(element); ++crosser) {
        if (crossers_.BandOf(*crosser)->Meets(asked.box)) AppendLongPieces(*crosser, into);
    }
}

// Pieces that the outer cursor has passed, or that are short now, leave the
// list as they are met.
void BandRegions::AppendLongPieces(int element, std::vector<int>& into) {
    std::vector<int>& pieces = longPiecesOf_[static_cast<std::size_t>(element)];
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(),
                                [&](int piece) { return Record(piece).passed || StripAt(piece) == nullptr; }),
                 pieces.end());
    into.insert(into.end(), pieces.begin(), pieces.end());
}

}  // namespace loopweave
