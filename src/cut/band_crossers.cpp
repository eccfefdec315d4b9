#include "cut/band_crossers.h"

#include <algorithm>

#include "index/strip_grid.h"
#include "index/tuning.h"

namespace loopweave {

BandCrossers::BandCrossers(const PieceTable& pieces, const CutBounds& bounds, const ListOrder& order,
                           const Box& extent)
    : bounds_(bounds), elements_(static_cast<std::size_t>(pieces.Count())) {
    for (int piece = pieces.First(); piece != PieceTable::kNone; piece = pieces.Next(piece)) {
        Element& element = elements_[Index(piece)];
        element = {pieces.Start(piece), pieces.End(piece), Strip{}, false};
        if (!pieces.IsFinite(piece)) continue;
        const CutRegion region = bounds.RegionOf(Box::Around(element.start, element.end), element.start, element.end);
        element.hasBand = region.hasStrip;
        if (region.hasStrip) element.band = bounds.Widened(region.strip);
    }
    Find(pieces, order, extent);
}

// Asked along each long element's band grown by the slack, the grid gives
// the elements listed in the cells the band passes; the ones whose segments
// the grown band meets are kept, for the earlier element of each pair. The
// segments and the bands asked along are padded for the rounding of the
// cells they pass.
void BandCrossers::Find(const PieceTable& pieces, const ListOrder& order, const Box& extent) {
    std::vector<Strip> segments;
    std::vector<int> elementAt;
    for (int element = pieces.First(); element != PieceTable::kNone; element = pieces.Next(element)) {
        if (!pieces.IsFinite(element)) continue;
        segments.push_back({elements_[Index(element)].start, elements_[Index(element)].end, bounds_.Pad()});
        elementAt.push_back(element);
    }
    StripGrid grid(extent, segments);
    std::vector<std::vector<int>> crossers(elements_.size());
    const std::size_t most = tuning::kMostCrossersAnyway + tuning::kMostCrossersPerElement * elements_.size();
    std::size_t count = 0;
    std::vector<int> found;
    for (int element : elementAt) {
        const Element& crosser = elements_[Index(element)];
        if (!crosser.hasBand) continue;
        const Strip reached = crosser.band.Grown(bounds_.Slack());
        found.clear();
        grid.QueryAlong(reached.Grown(bounds_.Pad()), found);
        for (int index : found) {
            const int passed = elementAt[static_cast<std::size_t>(index)];
            if (order.Label(passed) > order.Label(element)) continue;
            if (!reached.MeetsSegment(elements_[Index(passed)].start, elements_[Index(passed)].end)) continue;
            crossers[Index(passed)].push_back(element);
            if (++count > most) {
                complete_ = false;
                return;
            }
        }
    }
    from_.reserve(crossers.size() + 1);
    from_.push_back(0);
    crossers_.reserve(count);
    for (const std::vector<int>& list : crossers) {
        crossers_.insert(crossers_.end(), list.begin(), list.end());
        from_.push_back(crossers_.size());
    }
}

bool BandCrossers::Keeps(int element, const CutRegion& region, const Point& start, const Point& end) const {
    const Element& e = elements_[Index(element)];
    if (region.hasStrip && !(e.hasBand && bounds_.Holds(e.band, region.strip))) return false;
    return bounds_.NearSegment(e.start, e.end, start) && bounds_.NearSegment(e.start, e.end, end);
}

}  // namespace loopweave
