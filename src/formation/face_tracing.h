#ifndef LOOPWEAVE_FORMATION_FACE_TRACING_H
#define LOOPWEAVE_FORMATION_FACE_TRACING_H

#include <vector>

#include "formation/edge_links.h"
#include "formation/vertex_graph.h"
#include "loopweave.h"

namespace loopweave {

// All that tracing reads of one edge, side by side: its vertices' points, its
// keys and its links. A walk around a face of a large drawing jumps about the
// edge table, and reading the edge, its vertices and its links from three
// tables would cost three cache misses a step.
struct TracedEdge {
    Point start;
    Point end;
    int key1;
    int key2;
    int nextAtEnd;
    int nextAtStart;
};

// The table of traced edges, edge k at k - 1. Built by one pass in edge order,
// which reads the vertices nearly in order too, as both follow the sorted end
// points; the graph and the links can go once it is built, before the
// polygons, the largest thing formation makes, are made.
std::vector<TracedEdge> TracingTable(const VertexGraph& graph, const std::vector<EdgeLinks>& links);

// Walks the links into polygons, appends each to `polygons` and diagnoses it.
//
// Every link is a seed once, in edge order, the link at the end before the one
// at the start; a walk starts at the first seed not yet taken and follows the
// links, consuming each as it reads it, until it meets one already taken. The
// links are the only record of what has been walked, so tracing ends after at
// most 2n steps whatever the graph.
//
// When no two edges leave a vertex in exactly the same direction, every step
// is taken exactly once, each walk returns to its seed and every polygon is
// closed; otherwise a walk can stop short, and its polygon is reported open.
// Polygon elements run between vertex points, so each starts exactly where the
// one before it ends, and carry the keys of their edge.
void TraceFaces(std::vector<TracedEdge>& table, CPtrList& polygons);

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_FACE_TRACING_H
