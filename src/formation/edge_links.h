#ifndef LOOPWEAVE_FORMATION_EDGE_LINKS_H
#define LOOPWEAVE_FORMATION_EDGE_LINKS_H

#include <vector>

#include "formation/vertex_graph.h"

namespace loopweave {

// Where a walk along the graph's boundaries continues after each edge.
//
// A step is a signed edge number: +k walks edge k from its start vertex to its
// end vertex, -k from its end back to its start, and 0 is no step. Arriving at
// a vertex, the walk turns to the next edge clockwise around it, so every face
// is traced with the face on its left: enclosed faces counter-clockwise, the
// outer boundary of each connected group clockwise. At a vertex that no other
// edge meets the walk turns back along the same edge.
struct EdgeLinks {
    int edge;
    int nextAtEnd;    // after walking the edge from start to end
    int nextAtStart;  // after walking the edge from end to start
};

// The links of every edge, edge k at k - 1.
//
// The turn is measured from the edge being left behind, clockwise, to each
// other edge at the vertex; the smallest wins, an edge leaving in exactly the
// same direction (turn 0) included, and of equal turns the one met first in
// the sorted end points.
std::vector<EdgeLinks> ChooseContinuations(const VertexGraph& graph);

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_EDGE_LINKS_H
