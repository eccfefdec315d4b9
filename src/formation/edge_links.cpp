#include "formation/edge_links.h"

#include <cstddef>
#include <limits>

namespace loopweave {
namespace {

// The step after arriving at `vertex` along `arriving`, where `back` is the
// direction from the vertex back along that edge, or `turnBack` when no other
// edge meets the vertex.
int NextClockwise(const VertexGraph& graph, const Edge& arriving, int vertex, double back, int turnBack) {
    // Not 2π: rounding can make a turn come out at exactly 2π, and such an
    // edge must still win over turning back.
    double best = std::numeric_limits<double>::infinity();
    int step = turnBack;
    const VertexGroup group = graph.GroupOf(vertex);
    for (int i = group.first; i < group.first + group.count; ++i) {
        const EndPoint& end = graph.endPoints[static_cast<std::size_t>(i)];
        if (end.edge == arriving.number) continue;
        const Edge& candidate = graph.EdgeNumbered(end.edge);
        // The direction in which the candidate leaves the vertex.
        double leaving = candidate.angle;
        if (candidate.endVertex == vertex) leaving = leaving + kPi;
        if (leaving > kTwoPi) leaving = leaving - kTwoPi;
        double turn = back - leaving;
        if (turn < 0) turn = turn + kTwoPi;
        if (turn < best) {
            best = turn;
            step = candidate.startVertex == vertex ? candidate.number : -candidate.number;
        }
    }
    return step;
}

}  // namespace

std::vector<EdgeLinks> ChooseContinuations(const VertexGraph& graph) {
    std::vector<EdgeLinks> links;
    links.reserve(graph.edges.size());
    for (const Edge& edge : graph.edges) {
        // Walked from end to start, the edge arrives at its start vertex, and
        // the way back along it leaves that vertex in the edge's own direction.
        const int atStart = NextClockwise(graph, edge, edge.startVertex, edge.angle, edge.number);
        const double backFromEnd = edge.angle < kPi ? edge.angle + kPi : edge.angle - kPi;
        const int atEnd = NextClockwise(graph, edge, edge.endVertex, backFromEnd, -edge.number);
        links.push_back({edge.number, atEnd, atStart});
    }
    return links;
}

}  // namespace loopweave
