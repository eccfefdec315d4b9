#ifndef LOOPWEAVE_FORMATION_EDGE_SELECTION_H
#define LOOPWEAVE_FORMATION_EDGE_SELECTION_H

#include <vector>

#include "geometry/point.h"
#include "loopweave.h"

namespace loopweave {

// An edge as the rest of formation reads it, so that it need not go back to
// the stored elements, scattered about the heap: its element's end points
// after the turn, its keys and its serial.
struct SelectedEdge {
    Point start;
    Point end;
    int key1;
    int key2;
    int serial;
};

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
std::vector<SelectedEdge> SelectEdges(CPtrList& stored);

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_EDGE_SELECTION_H
