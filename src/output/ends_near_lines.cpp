#include "output/ends_near_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "geometry/cell_frame.h"
#include "geometry/strip.h"

namespace loopweave {
namespace {

struct End {
    Point point;
    int owner;  // the element it ends
};

// The ends listed by the cell of a grid that holds them, about one end per
// cell, with their coordinates beside them: a band reads the ends of the
// cells it passes in one sweep each.
class EndGrid {
public:
    EndGrid(const Box& extent, const std::vector<End>& ends)
        : frame_(extent, ends.size()), from_(frame_.Cells() + 1, 0) {
        std::vector<std::size_t> cellOf(ends.size());
        for (std::size_t e = 0; e < ends.size(); ++e) {
            const CellFrame::Range range = frame_.RangeOf(Box::Around(ends[e].point, ends[e].point));
            cellOf[e] = frame_.Index(range.x0, range.y0);
            ++from_[cellOf[e] + 1];
        }
        for (std::size_t cell = 1; cell < from_.size(); ++cell) from_[cell] += from_[cell - 1];
        std::vector<std::size_t> next(from_.begin(), from_.end() - 1);
        ends_.resize(ends.size());
        for (std::size_t e = 0; e < ends.size(); ++e) ends_[next[cellOf[e]]++] = ends[e];
    }

    // Calls `visit` with every end in a cell that the band reaches: every
    // end within the band among them. `pad` covers the rounding of the
    // band's course.
    template <typename Visit>
    void Along(const Strip& band, double pad, Visit&& visit) const {
        frame_.ForEachCellAlong(band, pad, [&](int x, int y) {
            const std::size_t cell = frame_.Index(x, y);
            for (std::size_t e = from_[cell]; e < from_[cell + 1]; ++e) visit(ends_[e]);
        });
    }

private:
    CellFrame frame_;
    // The ends of cell c are ends_[from_[c]] up to ends_[from_[c + 1]].
    std::vector<std::size_t> from_;
    std::vector<End> ends_;
};

}  // namespace

EndsNearLines::EndsNearLines(const std::vector<Segment>& segments, const std::vector<bool>& leftOut, const Box& extent,
                             double areaBound, double pad, std::size_t mostPairs)
    : from_(segments.size() + 1, 0) {
    std::vector<End> ends;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (leftOut[i]) continue;
        ends.push_back({segments[i].start, static_cast<int>(i)});
        ends.push_back({segments[i].end, static_cast<int>(i)});
    }
    const EndGrid grid(extent, ends);

    // Each pair as one number, the earlier element in the high half, so that
    // sorting the numbers sorts the pairs by element and then by partner.
    std::vector<std::uint64_t> pairs;
    std::vector<int> partners;
    for (std::size_t i = 0; i < segments.size() && complete_; ++i) {
        if (leftOut[i]) continue;
        const Segment& s = segments[i];
        Strip band;
        const double h = areaBound / std::max(std::fabs(s.end.x - s.start.x), std::fabs(s.end.y - s.start.y));
        if (!Strip::AcrossBox(s.start, s.end, h, pad, extent, band)) {
            complete_ = false;
            break;
        }
        // An element with both ends in the band is met twice.
        partners.clear();
        grid.Along(band, pad, [&](const End& end) {
            if (end.owner != static_cast<int>(i) && band.Meets(Box::Around(end.point, end.point)))
                partners.push_back(end.owner);
        });
        std::sort(partners.begin(), partners.end());
        partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
        for (int partner : partners) {
            const auto other = static_cast<std::size_t>(partner);
            pairs.push_back(std::uint64_t{std::min(i, other)} << 32 | std::max(i, other));
        }
        complete_ = pairs.size() <= mostPairs;
    }
    if (!complete_) return;

    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    later_.reserve(pairs.size());
    for (std::uint64_t pair : pairs) {
        ++from_[static_cast<std::size_t>(pair >> 32) + 1];
        later_.push_back(static_cast<int>(pair & 0xFFFFFFFFu));
    }
    for (std::size_t e = 1; e < from_.size(); ++e) from_[e] += from_[e - 1];
}

}  // namespace loopweave
