#include "prepare/segment_grid.h"

#include <algorithm>
#include <cmath>

namespace loopweave {
namespace {

constexpr double kMostCells = 1 << 22;

}  // namespace

SegmentGrid::SegmentGrid(const Box& extent, const std::vector<Segment>& segments, double pad)
    : extent_(extent), pad_(pad), seenAt_(segments.size(), 0) {
    const double width = std::max(extent.maxX - extent.minX, 0.0);
    const double height = std::max(extent.maxY - extent.minY, 0.0);
    const double wanted = std::clamp(static_cast<double>(segments.size()), 1.0, kMostCells);
    cellSize_ = std::max(std::sqrt(width * height / wanted), std::max(width, height) / wanted);
    if (!(cellSize_ > 0)) cellSize_ = 1;
    columns_ = static_cast<int>(std::min(width / cellSize_, wanted)) + 1;
    rows_ = static_cast<int>(std::min(height / cellSize_, wanted)) + 1;
    const std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);

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

SegmentGrid::CellRange SegmentGrid::RangeOf(const Box& box) const {
    const auto cell = [this](double offset, int count) {
        const double index = std::floor(offset / cellSize_);
        return static_cast<int>(std::clamp(index, 0.0, static_cast<double>(count - 1)));
    };
    return {cell(box.minX - extent_.minX, columns_), cell(box.minY - extent_.minY, rows_),
            cell(box.maxX - extent_.minX, columns_), cell(box.maxY - extent_.minY, rows_)};
}

template <typename Visit>
void SegmentGrid::ForEachCell(const Strip& band, Visit&& visit) const {
    band.Stretches(cellSize_, pad_, [&](const Box& stretch) {
        const CellRange range = RangeOf(stretch);
        for (int y = range.y0; y <= range.y1; ++y) {
            for (int x = range.x0; x <= range.x1; ++x) {
                visit(static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(x));
            }
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
