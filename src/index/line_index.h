#ifndef LOOPWEAVE_INDEX_LINE_INDEX_H
#define LOOPWEAVE_INDEX_LINE_INDEX_H

#include <vector>

#include "index/cell_table.h"
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
// start. Cells are kept by a hash of their column and row: cells whose hashes
// agree share a list, which only adds candidates that SamePoint turns down.
class LineIndex {
public:
    // Elements with a coordinate that is not finite are never the same as
    // anything and are not filed.
    void Add(CLoopweaveElement& element);

    // Whether a filed element has the same two end points as `element` within
    // the tolerance, in either direction.
    bool Repeats(CLoopweaveElement& element) const;

private:
    CellTable cells_{64};  // by key: the cell's list
    std::vector<std::vector<CLoopweaveElement*>> lists_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_LINE_INDEX_H
