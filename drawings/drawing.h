#ifndef LOOPWEAVE_DRAWINGS_DRAWING_H
#define LOOPWEAVE_DRAWINGS_DRAWING_H

// Drawings as the tests and the benchmarks write them, entered through the
// public header alone.

#include <vector>

#include "loopweave.h"

namespace loopweave::drawings {

// A line from (sx, sy) to (ex, ey) with its keys.
struct Line {
    double sx;
    double sy;
    double ex;
    double ey;
    int key1 = 0;
    int key2 = 0;
};

// Enters every line into the builder, in order, as a host does.
void EnterLines(CLoopweave& builder, const std::vector<Line>& lines);

}  // namespace loopweave::drawings

#endif  // LOOPWEAVE_DRAWINGS_DRAWING_H
