#ifndef LOOPWEAVE_TESTS_REFERENCE_STRAIGHTFORWARD_H
#define LOOPWEAVE_TESTS_REFERENCE_STRAIGHTFORWARD_H

// The straightforward versions of the operations that the library does by
// faster means: every pair tested, every find followed by a rescan from the
// start, every end point of a vertex walked. They define the results; the
// differential tests demand that the library's agree with them bit for bit.
//
// All of them are declared here. Cutting's, the walk over every pair, is the
// library's own CutEveryPair (cut/every_pair_cutting.h), as the library still
// cuts by it at run time; the others are kept here alone.

#include <vector>

#include "cut/every_pair_cutting.h"
#include "formation/edge_links.h"
#include "formation/vertex_graph.h"
#include "loopweave.h"

namespace loopweave::reference {

// The return check on a closed chain: appends each turning point (flag 2) to
// `points` and says whether there was one.
bool ReturnPoints(CPtrList& chain, std::vector<CCoord>& points);

// The self-crossing check on a closed chain: appends each crossing, touching
// or overlap point (flag 1) to `points` and says whether any pair met.
bool CrossPoints(CPtrList& chain, std::vector<CCoord>& points);

// Deletes the back-and-forth pairs of a chain as RemoveReturnLine does,
// without the diagnosis that follows.
void RemoveReturnPairs(CPtrList& chain);

// The link step: each continuation by a walk over the vertex's end points.
std::vector<EdgeLinks> ChooseContinuations(const VertexGraph& graph);

// AddFrameLine on a list of stored elements, every piece compared with every
// stored element.
void AddFrameLine(CPtrList& elements, double x1, double y1, double x2, double y2, int key1, int key2);

}  // namespace loopweave::reference

#endif  // LOOPWEAVE_TESTS_REFERENCE_STRAIGHTFORWARD_H
