// Frame lines as first written: every piece is compared with every stored
// element before it is added.

#include <algorithm>
#include <cmath>
#include <memory>

#include "reference/straightforward.h"
#include "store/element_geometry.h"
#include "store/list_items.h"
#include "store/ptr_array.h"

namespace loopweave::reference {
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

    // An end point within the tolerance of the line cuts the side where it
    // lies along it, wherever that is, even beyond a corner.
    void Collect(const Point& end, Values& values) const {
        const double acrossEnd = horizontal ? end.y : end.x;
        if (std::fabs(across - acrossEnd) < kTolerance) values.Append(horizontal ? end.x : end.y);
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

// The same two end points within the tolerance, in either direction.
bool SameLine(CLoopweaveElement& e, CLoopweaveElement& s) {
    return (SamePoint(StartOf(e), StartOf(s)) && SamePoint(EndOf(e), EndOf(s))) ||
           (SamePoint(StartOf(e), EndOf(s)) && SamePoint(EndOf(e), StartOf(s)));
}

bool RepeatsStored(CPtrList& elements, CLoopweaveElement& piece) {
    for (CLoopweaveElement* stored : ItemsOf<CLoopweaveElement>(elements)) {
        if (SameLine(piece, *stored)) return true;
    }
    return false;
}

}  // namespace

void AddFrameLine(CPtrList& elements, double x1, double y1, double x2, double y2, int key1, int key2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;

    const Side sides[4] = {{true, y1, x1, x2}, {false, x1, y1, y2}, {true, y2, x1, x2}, {false, x2, y1, y2}};
    Values values[4];
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements)) {
        if (!IsFinite(*element)) continue;
        for (int s = 0; s < 4; ++s) {
            sides[s].Collect(StartOf(*element), values[s]);
            sides[s].Collect(EndOf(*element), values[s]);
        }
    }

    for (int s = 0; s < 4; ++s) {
        values[s].Append(sides[s].from);
        values[s].Append(sides[s].to);
        SortDistinct(values[s]);
        for (int j = 0; j + 1 < values[s].Size(); ++j) {
            std::unique_ptr<CLoopweaveElement> piece = sides[s].Piece(values[s][j], values[s][j + 1], key1, key2);
            if (!RepeatsStored(elements, *piece)) InsertOwned(elements, nullptr, std::move(piece));
        }
        values[s].SetSize(0);
    }
}

}  // namespace loopweave::reference
