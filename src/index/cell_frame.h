#ifndef LOOPWEAVE_INDEX_CELL_FRAME_H
#define LOOPWEAVE_INDEX_CELL_FRAME_H

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geometry/box.h"
#include "index/tuning.h"

namespace loopweave {

// Square cells over a fixed extent, about as many as wanted: the geometry of
// the grids that find pieces to cut and elements in contact. A flat extent
// gets one row or column of cells; boxes beyond the extent are clamped to its
// border cells, so that two boxes that meet always reach a common cell.
struct CellFrame {
    // The cells a box reaches into, inclusive.
    struct Range {
        int x0, y0, x1, y1;
        bool Contains(int x, int y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
        long Count() const { return static_cast<long>(x1 - x0 + 1) * (y1 - y0 + 1); }
    };

    CellFrame(const Box& extent, std::size_t cellsWanted) : extent(extent) {
        const double width = std::max(extent.maxX - extent.minX, 0.0);
        const double height = std::max(extent.maxY - extent.minY, 0.0);
        const double wanted = static_cast<double>(std::clamp<std::size_t>(cellsWanted, 1, tuning::kMostCells));
        cellSize = std::max(std::sqrt(width * height / wanted), std::max(width, height) / wanted);
        if (!(cellSize > 0)) cellSize = 1;
        columns = static_cast<int>(std::min(width / cellSize, wanted)) + 1;
        rows = static_cast<int>(std::min(height / cellSize, wanted)) + 1;
    }

    Range RangeOf(const Box& box) const {
        const auto cell = [this](double offset, int count) {
            const double index = std::floor(offset / cellSize);
            return static_cast<int>(std::clamp(index, 0.0, static_cast<double>(count - 1)));
        };
        return {cell(box.minX - extent.minX, columns), cell(box.minY - extent.minY, rows),
                cell(box.maxX - extent.minX, columns), cell(box.maxY - extent.minY, rows)};
    }

    std::size_t Cells() const { return static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows); }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(x); }

    Box extent;
    double cellSize;
    int columns;
    int rows;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_CELL_FRAME_H
