#ifndef LOOPWEAVE_DRAWINGS_HOSTILE_DRAWINGS_H
#define LOOPWEAVE_DRAWINGS_HOSTILE_DRAWINGS_H

// Drawings of n elements that have broken geometry code elsewhere: sort
// comparators that are not strict weak orders, loops on nearly collinear
// input, quadratic blow-ups at one vertex. Shared by the tests, which run
// them small, and the benchmarks, which run them large.

#include <vector>

#include "drawings/drawing.h"

namespace loopweave::drawings {

// n diameters of one circle of radius 100, every pair crossing at its centre.
std::vector<Line> StarThroughOnePoint(int n);

// n copies of one element, every other one reversed.
std::vector<Line> CopiesBothWays(int n);

// n elements of length 10 on one line, each starting 0.5 along from the one
// before, so that each overlaps the next nineteen.
std::vector<Line> CollinearOverlaps(int n);

// A regular n-gon of radius 1000, element by element, counter-clockwise.
std::vector<Line> ClosedChain(int n);

// Crossing elements with coordinates of magnitude 1e15 and 1e-12 together.
std::vector<Line> HugeAndTinyMixed(int n);

}  // namespace loopweave::drawings

#endif  // LOOPWEAVE_DRAWINGS_HOSTILE_DRAWINGS_H
