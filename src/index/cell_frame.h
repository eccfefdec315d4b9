#ifndef LOOPWEAVE_INDEX_CELL_FRAME_H
#define LOOPWEAVE_INDEX_CELL_FRAME_H

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geometry/box.h"
#include "geometry/point.h"
#include "geometry/strip.h"
#include "index/tuning.h"

namespace loopweave {

// The cells a box reaches into on a grid, by column and row, inclusive; an
// empty span has x1 < x0. Counted as a double: a span over a grid without
// bounds can name more cells than an integer holds.
template <typename Index>
struct CellSpan {
    Index x0, y0, x1, y1;

    bool Contains(Index x, Index y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
    double Count() const { return (static_cast<double>(x1) - x0 + 1) * (static_cast<double>(y1) - y0 + 1); }
    bool operator==(const CellSpan& other) const {
        return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
    }
};

// Square cells over a fixed extent, about as many as wanted: the geometry of
// the grids that find pieces to cut and elements in contact. A flat extent
// gets one row or column of cells; boxes beyond the extent are clamped to its
// border cells, so that two boxes that meet always reach a common cell.
struct CellFrame {
    using Range = CellSpan<int>;

    CellFrame(const Box& extent, std::size_t cellsWanted) : extent(extent) {
        const double width = std::max(extent.maxX - extent.minX, 0.0);
        const double height = std::max(extent.maxY - extent.minY, 0.0);
        const double wanted = static_cast<double>(std::clamp<std::size_t>(cellsWanted, 1, tuning::kMostCells));
        cellSize = std::max(std::sqrt(width * height / wanted), std::max(width, height) / wanted);
        if (!(cellSize > 0)) cellSize = 1;
        columns = static_cast<int>(std::min(width / cellSize, wanted)) + 1;
        rows = static_cast<int>(std::min(height / cellSize, wanted)) + 1;
    }

    // The frame of `coarse` with each of its cells split into `split` by
    // `split` cells. With `split` a power of two the cells' edges are exact
    // multiples of the coarse ones', so a box reaches into fine cell (x, y)
    // only if it reaches into coarse cell (x / split, y / split).
    CellFrame(const CellFrame& coarse, int split)
        : extent(coarse.extent),
          cellSize(coarse.cellSize / split),
          columns(coarse.columns * split),
          rows(coarse.rows * split) {}

    Range RangeOf(const Box& box) const {
        const auto cell = [this](double offset, int count) {
            const double index = std::floor(offset / cellSize);
            return static_cast<int>(std::clamp(index, 0.0, static_cast<double>(count - 1)));
        };
        return {cell(box.minX - extent.minX, columns), cell(box.minY - extent.minY, rows),
                cell(box.maxX - extent.minX, columns), cell(box.maxY - extent.minY, rows)};
    }

    // Calls `visit` with the column and row of every cell that the band
    // reaches, each once, column by column along its larger direction (row
    // by row for a band nearer to upright): in each, the cells across from
    // where the band's line runs through the column widened by the band's
    // half-width on both sides, grown by that across. The rounding of the
    // line's course and of the cells' edges is the caller's to cover, with a
    // pad in the half-width. A band at a slant, covered by boxes instead,
    // would read each cell along it two or three times.
    template <typename Visit>
    void ForEachCellAlong(const Strip& band, Visit&& visit) const {
        const bool alongX = std::fabs(band.to.x - band.from.x) >= std::fabs(band.to.y - band.from.y);
        const auto along = [alongX](const Point& p) { return alongX ? p.x : p.y; };
        const auto across = [alongX](const Point& p) { return alongX ? p.y : p.x; };
        const double u0 = along(band.from);
        const double u1 = along(band.to);
        const double v0 = across(band.from);
        const double slope = u1 != u0 ? (across(band.to) - v0) / (u1 - u0) : 0;
        const double uLow = std::min(u0, u1);
        const double uHigh = std::max(u0, u1);
        const double reach = band.halfWidth;
        const double uOrigin = alongX ? extent.minX : extent.minY;
        const double vOrigin = alongX ? extent.minY : extent.minX;
        const int uCount = alongX ? columns : rows;
        const int vCount = alongX ? rows : columns;
        const auto cell = [this](double offset, int count) {
            return static_cast<int>(std::clamp(std::floor(offset / cellSize), 0.0, static_cast<double>(count - 1)));
        };
        const int last = cell(uHigh + reach - uOrigin, uCount);
        for (int k = cell(uLow - reach - uOrigin, uCount); k <= last; ++k) {
            // The stretch of the line whose band reaches into column k; the
            // border columns reach on beyond the extent.
            const double a = k == 0 ? uLow : std::max(uOrigin + k * cellSize - reach, uLow);
            const double b = k == uCount - 1 ? uHigh : std::min(uOrigin + (k + 1) * cellSize + reach, uHigh);
            if (a > b) continue;
            const double va = v0 + (a - u0) * slope;
            const double vb = v0 + (b - u0) * slope;
            const int vLast = cell(std::max(va, vb) + reach - vOrigin, vCount);
            for (int j = cell(std::min(va, vb) - reach - vOrigin, vCount); j <= vLast; ++j) {
                if (alongX) {
                    visit(k, j);
                } else {
                    visit(j, k);
                }
            }
        }
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
