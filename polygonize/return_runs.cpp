#include "polygonize/return_runs.h"

#include <cmath>
#include <cstddef>

#include "polygonize/coordinate_frame.h"

namespace lwpolygonize {

namespace {

bool Near(double a, double b) { return std::fabs(a - b) <= CoordinateFrame::kLibraryTolerance; }

// Whether `back` walks `out` backwards, by the library's tolerance.
bool Reverses(const ElementCopy& back, const ElementCopy& out) {
    return Near(back.sx, out.ex) && Near(back.sy, out.ey) && Near(back.ex, out.sx) && Near(back.ey, out.sy);
}

// The removed elements pair up out and back, nested like brackets: a stack
// matches each element that walks back with the one it undoes, and what is
// pushed is what was drawn.
void AddOutgoingPaths(const std::vector<ElementCopy>& removed, std::vector<Path>& paths) {
    std::vector<const ElementCopy*> walkedOut;
    Path current;
    const auto finish = [&] {
        if (!current.empty()) paths.push_back(std::move(current));
        current.clear();
    };
    for (const ElementCopy& element : removed) {
        if (!walkedOut.empty() && Reverses(element, *walkedOut.back())) {
            walkedOut.pop_back();
            finish();
            continue;
        }
        if (!current.empty() && !(Near(current.back().ex, element.sx) && Near(current.back().ey, element.sy))) {
            finish();
        }
        walkedOut.push_back(&element);
        current.push_back(element);
    }
    finish();
}

}  // namespace

std::vector<Path> StripReturnRuns(COutputLoopweave& polygon) {
    const std::vector<CLoopweaveElement*> before = ChainOf(polygon);
    const Path copies = PathOf(polygon);
    polygon.RemoveReturnLine();  // deletes the elements it removes

    // What stays is a subsequence of what was, element for element.
    const std::vector<CLoopweaveElement*> after = ChainOf(polygon);
    std::vector<bool> kept(before.size(), false);
    for (std::size_t i = 0, k = 0; i < before.size(); ++i) {
        if (k < after.size() && after[k] == before[i]) {
            kept[i] = true;
            ++k;
        }
    }
    // Read the chain as a ring from just after a kept element, so that no
    // run is split where the chain happens to start.
    std::size_t start = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i]) start = i + 1;
    }
    std::vector<Path> paths;
    std::vector<ElementCopy> removed;
    for (std::size_t n = 0; n < copies.size(); ++n) {
        const std::size_t i = (start + n) % copies.size();
        if (!kept[i]) {
            removed.push_back(copies[i]);
        } else if (!removed.empty()) {
            AddOutgoingPaths(removed, paths);
            removed.clear();
        }
    }
    if (!removed.empty()) AddOutgoingPaths(removed, paths);
    return paths;
}

}  // namespace lwpolygonize
