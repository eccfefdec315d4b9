#ifndef LOOPWEAVE_FUZZ_FORMATION_GRAPH_H
#define LOOPWEAVE_FUZZ_FORMATION_GRAPH_H

#include <vector>

#include "geometry/point.h"
#include "loopweave.h"

namespace loopweave {

// The planar graph that MakingPolygon traces, as a checker outside formation
// reads it: the fuzzer compares the polygons with it. Built by the same steps
// as formation, from the stored elements as they stand.
struct FormationGraph {
    struct Edge {
        Point start;  // the element's own ends, after formation turned it
        Point end;
        int startVertex;  // numbered from 0
        int endVertex;
        int key1;
        int key2;
        // The directions in which the edge leaves its two vertices, as the
        // tracer works them out.
        double leavingStart;
        double leavingEnd;
    };

    std::vector<Point> vertices;
    std::vector<Edge> edges;
};

FormationGraph GraphOfElements(CPtrList& elements);

}  // namespace loopweave

#endif  // LOOPWEAVE_FUZZ_FORMATION_GRAPH_H
