#include "index/strip_grid.h"

#include <algorithm>

namespace loopweave {

StripGrid::StripGrid(const Box& extent, const std::vector<Strip>& strips)
    : frame_(extent, strips.size()), seenAt_(strips.size(), 0) {
    const std::size_t cells = frame_.Cells();

    // Counted first, then placed: one array for all cells.
    std::vector<std::size_t> count(cells + 1, 0);
    const auto each = [&](auto&& list) {
        for (std::size_t i = 0; i < strips.size(); ++i) {
            frame_.ForEachCellAlong(strips[i], [&](int x, int y) { list(frame_.Index(x, y), static_cast<int>(i)); });
        }
    };
    each([&](std::size_t cell, int) { ++count[cell + 1]; });
    for (std::size_t cell = 0; cell < cells; ++cell) count[cell + 1] += count[cell];
    from_ = count;
    items_.resize(from_[cells]);
    each([&](std::size_t cell, int strip) { items_[count[cell]++] = strip; });
}

void StripGrid::QueryAlong(const Strip& band, std::vector<int>& found) {
    ++band_;
    frame_.ForEachCellAlong(band, [&](int x, int y) {
        const std::size_t cell = frame_.Index(x, y);
        for (std::size_t i = from_[cell]; i < from_[cell + 1]; ++i) {
            const int strip = items_[i];
            std::uint64_t& seen = seenAt_[static_cast<std::size_t>(strip)];
            if (seen == band_) continue;
            seen = band_;
            found.push_back(strip);
        }
    });
}

}  // namespace loopweave
