// The back-and-forth runs a chain loses when they are stripped, kept as the
// lines they drew.
//
// A run goes out along lines that lead nowhere (a wall ending in a room, the
// two halves of a wall broken by a doorway) and comes back along the same
// lines. The library strips such runs (RemoveReturnLine) and deletes their
// elements; a GIS wants the lines themselves, each once, as LineStrings.
#ifndef LOOPWEAVE_POLYGONIZE_RETURN_RUNS_H
#define LOOPWEAVE_POLYGONIZE_RETURN_RUNS_H

#include <vector>

#include "loopweave.h"
#include "polygonize/polygon_access.h"

namespace lwpolygonize {

// Strips the runs from `polygon` and returns the paths they drew: the
// elements walked out, in the order walked, without those that walk back.
std::vector<Path> StripReturnRuns(COutputLoopweave& polygon);

}  // namespace lwpolygonize

#endif  // LOOPWEAVE_POLYGONIZE_RETURN_RUNS_H
