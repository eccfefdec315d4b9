#include "formation/edge_links.h"

#include "formation/leaving_directions.h"

namespace loopweave {

std::vector<EdgeLinks> ChooseContinuations(const VertexGraph& graph) {
    std::vector<EdgeLinks> links;
    links.reserve(graph.edges.size());
    const LeavingDirections directions(graph);
    for (const Edge& edge : graph.edges) {
        // Walked from end to start, the edge arrives at its start vertex, and
        // the way back along it leaves that vertex in the edge's own direction.
        const int atStart = directions.NextClockwise(edge.number, edge.startVertex, edge.angle, edge.number);
        const double backFromEnd = edge.angle < kPi ? edge.angle + kPi : edge.angle - kPi;
        const int atEnd = directions.NextClockwise(edge.number, edge.endVertex, backFromEnd, -edge.number);
        links.push_back({edge.number, atEnd, atStart});
    }
    return links;
}

}  // namespace loopweave
