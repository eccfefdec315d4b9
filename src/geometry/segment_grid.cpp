#include "geometry/segment_grid.h"

#include <algorithm>

namespace loopweave {

SegmentGrid::SegmentGrid(const Box& extent, const std::vector<Segment>& segments, double pad)
    : frame_(extent, segments.size()), pad_(pad), seenAt_(segments.size(), 0) {
    const std::size_t cells = frame_.Cells();

    // Counted first, then placed: one array for all cells.
    std::vector<std::size_t> count(cells + 1, 0);
    std::vector<std::size_t> last(cells, segments.size());
    const auto each = [&](auto&& list) {
        for (std::size_t i = 0; i < segments.size(); ++i) {
            ForEachCell(Strip{segments[i].start, segments[i].end, 0}, [&](std::size_t cell) {
                if (last[cell] == i) return;  // met by the stretch before
                last[cell] = i;
                list(cell, static_cast<int>(i));
            });
        }
    };
    each([&](std::size_t cell, int) { ++count[cell + 1]; });
    for (std::size_t cell = 0; cell < cells; ++cell) count[cell + 1] += count[cell];
    from_ = count;
    items_.resize(from_[cells]);
    std::fill(last.begin(), last.end(), segments.size());
    each([&](std::size_t cell, int segment) { items_[count[cell]++] = segment; });
}

template <typename Visit>
void SegmentGrid::ForEachCell(const Strip& band, Visit&& visit) const {
    band.Stretches(frame_.cellSize, pad_, [&](const Box& stretch) {
        const CellFrame::Range range = frame_.RangeOf(stretch);
        for (int y = range.y0; y <= range.y1; ++y) {
            for (int x = range.x0; x <= range.x1; ++x) visit(frame_.Index(x, y));
        }
    });
}

void SegmentGrid::Along(const Strip& band, std::vector<int>& found) {
    ++band_;
    ForEachCell(band, [&](std::size_t cell) {
        for (std::size_t i = from_[cell]; i < from_[cell + 1]; ++i) {
            const int segment = items_[i];
            std::uint64_t& seen = seenAt_[static_cast<std::size_t>(segment)];
            if (seen == band_) continue;
            seen = band_;
            found.push_back(segment);
        }
    });
}

}  // namespace loopweave
