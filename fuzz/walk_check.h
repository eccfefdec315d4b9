#ifndef LOOPWEAVE_FUZZ_WALK_CHECK_H
#define LOOPWEAVE_FUZZ_WALK_CHECK_H

#include "loopweave.h"

namespace loopweave::fuzz {

// Checks freshly formed polygons against the graph they were traced on.
//
// When no two edges leave any vertex in exactly the same direction, turning
// to the next edge clockwise is a rotation system, and its faces are the
// polygons: every edge is walked exactly once in each direction, and Euler's
// formula for a surface, V - E + F = 2C - 2g, bounds the polygon count F by
// E - V + 2C with the same parity. The bound is met (g = 0) when the drawing
// is plane; that is certified, and then demanded, for drawings on an integer
// grid, where the exact orientation tests need no tolerance.
void CheckWalks(CLoopweave& builder);

}  // namespace loopweave::fuzz

#endif  // LOOPWEAVE_FUZZ_WALK_CHECK_H
