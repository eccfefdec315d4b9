#include "index/cut_candidates.h"

#include <cmath>

#include "index/tuning.h"

namespace loopweave {

// The grid's coarse cells: a few for each piece.
CutCandidates::CutCandidates(const Box& extent, std::size_t pieces, BoxTable boxes, double pad)
    : grid_(extent, tuning::kCellsPerItem * pieces, boxes), pieces_(pieces), pad_(pad) {
    const double cells = static_cast<double>(tuning::kCellsPerItem * pieces);
    slant_ = tuning::kSlantInCells * std::sqrt((extent.maxX - extent.minX) * (extent.maxY - extent.minY) / cells);
}

void CutCandidates::ListPlaces(const LinePlane& plane, BoxTable places, double cellSize) {
    plane_ = &plane;
    places_.emplace(cellSize, pieces_, places);
}

void CutCandidates::Load(const std::vector<int>& pieces, const BoxGrid::BandOf& bandOf) {
    if (!places_) {
        grid_.Load(pieces, bandOf);
        return;
    }
    grid_.Load(pieces);
    for (int piece : pieces) places_->Insert(piece);
}

void CutCandidates::Update(int piece) {
    grid_.Insert(piece);
    if (places_) places_->Insert(piece);
}

void CutCandidates::Retire(int piece) {
    grid_.Retire(piece);
    if (places_) places_->Retire(piece);
}

// The grid of places reads cells only on the levels whose places may meet
// them, which for a copy a half turn on are only those with places near the
// plane's edge.
void CutCandidates::Gather(const Box& box, const Strip* narrowedBy, const Box* place, std::vector<int>& found) {
    if (!places_) {
        if (narrowedBy != nullptr && box.maxX - box.minX > slant_ && box.maxY - box.minY > slant_) {
            grid_.QueryAlong(narrowedBy->Grown(pad_), found);
        } else {
            grid_.Query(box, found);
        }
        return;
    }
    grid_.Query(box, found);
    for (int turns = -1; turns <= 1; ++turns) places_->Query(plane_->Turned(*place, turns), found);
}

}  // namespace loopweave
