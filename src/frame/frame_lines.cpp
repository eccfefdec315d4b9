// The rectangular frame: four axis-parallel sides, each cut wherever a stored
// element ends on its line, so that those elements meet the frame at vertices.
//
// The end points are collected once, before any piece exists, so frame pieces
// never cut each other; the corners reach every side as its own end values.
// Along a side the values are compared exactly: sorting and duplicate removal
// must not merge values that are merely close, or a piece would no longer end
// exactly where the element that cut it ends. Elements that cross a side
// without ending on it are left to cross point insertion.

#include <algorithm>
#include <cmath>
#include <memory>

#include "geometry/point.h"
#include "index/line_index.h"
#include "loopweave.h"
#include "store/element_geometry.h"
#include "store/list_items.h"
#include "store/ptr_array.h"

using loopweave::EndOf;
using loopweave::InsertOwned;
using loopweave::IsFinite;
using loopweave::ItemsOf;
using loopweave::kTolerance;
using loopweave::LineIndex;
using loopweave::Point;
using loopweave::StartOf;

namespace {

using Values = loopweave::GrowableArray<double>;

// A side lies on the line y = across (horizontal) or x = across (vertical).
// Its values are coordinates along that line: x on a horizontal side, y on a
// vertical one.
struct Side {
    bool horizontal;
    double across;
    double from;  // the corner values
    double to;

    // Within the tolerance of the line, across it.
    bool Near(const Point& end) const { return std::fabs(across - (horizontal ? end.y : end.x)) < kTolerance; }

    // An end point near the line cuts the side where it lies along it,
    // wherever that is, even beyond a corner.
    void Collect(const Point& end, Values& values) const {
        if (Near(end)) values.Append(horizontal ? end.x : end.y);
    }

    std::unique_ptr<CLoopweaveElement> Piece(double start, double end, int key1, int key2) const {
        return horizontal ? std::make_unique<CLoopweaveElement>(start, across, end, across, key1, key2)
                          : std::make_unique<CLoopweaveElement>(across, start, across, end, key1, key2);
    }
};

// Sorts the values ascending and keeps one of each exact value. Equal values
// stay in the order they were collected in, and the last of them is kept, so
// that which of -0.0 and 0.0 survives does not depend on the sort.
void SortDistinct(Values& values) {
    std::stable_sort(values.begin(), values.end(), [](double a, double b) { return a < b; });
    int j = 0;
    while (j < values.Size() - 1) {
        if (values[j] == values[j + 1]) {
            values.RemoveAt(j);
        } else {
            ++j;
        }
    }
}

}  // namespace

void CLoopweave::AddFrameLine(double x1, double y1, double x2, double y2, int key1, int key2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;

    const Side sides[4] = {{true, y1, x1, x2}, {false, x1, y1, y2}, {true, y2, x1, x2}, {false, x2, y1, y2}};
    Values values[4];
    // A piece lies on its side's line, so a stored element can repeat one
    // only if both its end points are near that line, by the very difference
    // SamePoint takes; those and the pieces added are all the repeat test
    // needs to see.
    LineIndex alongSides;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements_)) {
        if (!IsFinite(*element)) continue;
        bool alongSide = false;
        for (int s = 0; s < 4; ++s) {
            sides[s].Collect(StartOf(*element), values[s]);
            sides[s].Collect(EndOf(*element), values[s]);
            alongSide = alongSide || (sides[s].Near(StartOf(*element)) && sides[s].Near(EndOf(*element)));
        }
        if (alongSide) alongSides.Add(*element);
    }

    for (int s = 0; s < 4; ++s) {
        values[s].Append(sides[s].from);
        values[s].Append(sides[s].to);
        SortDistinct(values[s]);
        for (int j = 0; j + 1 < values[s].Size(); ++j) {
            std::unique_ptr<CLoopweaveElement> piece = sides[s].Piece(values[s][j], values[s][j + 1], key1, key2);
            if (alongSides.Repeats(*piece)) continue;
            alongSides.Add(*InsertOwned(elements_, nullptr, std::move(piece)));
        }
        values[s].SetSize(0);
    }
}
