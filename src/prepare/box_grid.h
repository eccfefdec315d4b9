#ifndef LOOPWEAVE_PREPARE_BOX_GRID_H
#define LOOPWEAVE_PREPARE_BOX_GRID_H

#include <algorithm>
#include <cstdint>
#include <vector>

namespace loopweave {

struct Box {
    double minX;
    double minY;
    double maxX;
    double maxY;

    // The box grown by `margin` on every side.
    Box Grown(double margin) const { return {minX - margin, minY - margin, maxX + margin, maxY + margin}; }
    bool Meets(const Box& other) const {
        return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
    }
    bool Contains(const Box& other) const {
        return minX <= other.minX && other.maxX <= maxX && minY <= other.minY && other.maxY <= maxY;
    }
    // The smallest box around both.
    Box Joined(const Box& other) const {
        return {std::min(minX, other.minX), std::min(minY, other.minY), std::max(maxX, other.maxX), std::max(maxY, other.maxY)};
    }
};

// A uniform grid of cells over a fixed extent, each listing the items whose
// boxes reach into it: the candidates for meeting a box are the items listed
// in the cells the box reaches into. An item whose box changes is listed in
// the cells it newly reaches and dropped lazily from those it left, so
// candidates are a superset that the caller narrows with the items' own
// boxes. Boxes beyond the extent are clamped to its border cells.
//
// An item that would reach into more than a few cells is kept on a list of
// large items instead, which every query reports: listed cell by cell it
// would cost every query that meets those cells, and a drawing of many
// copies of one long line would cost each query the whole grid.
class BoxGrid {
public:
    // About `cellsWanted` square cells over the extent, at most 2^24 of them.
    BoxGrid(const Box& extent, std::size_t cellsWanted);

    // Lists the item in every cell its box reaches that it is not listed in
    // yet. Items are numbered from 0.
    void Insert(int item, const Box& box);

    // Takes the item off the grid for good; its entries go as queries meet them.
    void Retire(int item) { retired_[static_cast<std::size_t>(item)] = 1; }

    // Appends to `found` every item listed in a cell that the box reaches,
    // each once, in no particular order.
    void Query(const Box& box, std::vector<int>& found);

private:
    struct CellRange {
        int x0, y0, x1, y1;  // inclusive; x0 > x1 when the item is listed nowhere
        bool Contains(int x, int y) const { return x0 <= x && x <= x1 && y0 <= y && y <= y1; }
    };

    CellRange RangeOf(const Box& box) const;
    void Report(int item, std::vector<int>& found);
    int Column(double x) const;
    int Row(double y) const;

    Box extent_;
    double cellSize_;
    int columns_;
    int rows_;
    std::vector<std::vector<int>> cells_;
    std::vector<CellRange> listedIn_;    // per item: cells that list it
    std::vector<std::uint64_t> seenAt_;  // per item: the last query that found it
    std::vector<char> retired_;
    std::vector<char> large_;        // per item: kept on the large list now
    std::vector<char> onLargeList_;  // per item: has an entry there
    std::vector<int> largeItems_;
    std::uint64_t query_ = 0;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_PREPARE_BOX_GRID_H
