#ifndef LOOPWEAVE_INDEX_LINE_INDEX_H
#define LOOPWEAVE_INDEX_LINE_INDEX_H

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "loopweave.h"

namespace loopweave {

// Elements filed under the grid cells of both their end points, to tell
// whether a new element repeats one of them without walking them all.
//
// Cells are kCell = 4 kTolerance wide, numbered floor(x / kCell). Two
// coordinates less than kTolerance apart lie in the same or neighbouring
// cells. Neighbouring doubles of magnitude 2^34 or more lie more than
// kTolerance apart, so the two are either equal or both below 2^34 +
// kTolerance in magnitude; there the quotients are below 2^52, each rounded
// by at most 1/4, and differ by less than 1/4 exactly, so by less than 1 as
// computed. An element that repeats a new one
// therefore has an end point in one of the nine cells around the new one's
// start.
class LineIndex {
public:
    // Elements with a coordinate that is not finite are never the same as
    // anything and are not filed.
    void Add(CLoopweaveElement& element);

    // Whether a filed element has the same two end points as `element` within
    // the tolerance, in either direction.
    bool Repeats(CLoopweaveElement& element) const;

private:
    struct Cell {
        double x;
        double y;
        bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    };
    struct CellHash {
        std::size_t operator()(const Cell& cell) const;
    };

    static Cell CellOf(double x, double y);

    std::unordered_map<Cell, std::vector<CLoopweaveElement*>, CellHash> cells_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_LINE_INDEX_H
