#ifndef LOOPWEAVE_FORMATION_FACE_TRACING_H
#define LOOPWEAVE_FORMATION_FACE_TRACING_H

#include <vector>

#include "formation/edge_links.h"
#include "formation/vertex_graph.h"
#include "loopweave.h"

namespace loopweave {

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
void TraceFaces(const VertexGraph& graph, std::vector<EdgeLinks>& links, CPtrList& polygons);

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_FACE_TRACING_H
