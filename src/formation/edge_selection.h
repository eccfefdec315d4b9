#ifndef LOOPWEAVE_FORMATION_EDGE_SELECTION_H
#define LOOPWEAVE_FORMATION_EDGE_SELECTION_H

#include <vector>

#include "loopweave.h"

namespace loopweave {

// The first step of polygon formation: which stored elements become edges of
// the graph, in which direction and in which order.
//
// Every stored element is numbered by its place in the list (its serial).
// Elements of no length (both extents at most kTolerance) and elements with a
// coordinate that is not finite take no part. Every other element is turned,
// in place, to run towards larger x, or towards larger y when its x extent is
// below kTolerance, so that an element and its reverse become equal. Of the
// elements that are then equal within the tolerance, the one that stands first
// in the list survives and gives its keys. The survivors are the edges 1 to
// n, sorted by start x, start y, end x, end y, the first coordinate that
// differs by kTolerance or more deciding; elements equal within the tolerance
// stand in descending serial.
std::vector<CLoopweaveElement*> SelectEdges(CPtrList& stored);

// Start and end each within the tolerance of the other's, in the same direction.
bool SameElement(CLoopweaveElement& a, CLoopweaveElement& b);

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_EDGE_SELECTION_H
