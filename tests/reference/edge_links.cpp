// The link step as first written: for every arriving edge, a walk over every
// end point of the vertex, keeping the strictly smallest clockwise turn.

#include <cstddef>
#include <limits>

#include "reference/straightforward.h"

namespace loopweave::reference {
namespace {

int NextClockwise(const VertexGraph& graph, const Edge& arriving, int vertex, double back, int turnBack) {
    double best = std::numeric_limits<double>::infinity();
    int step = turnBack;
    const VertexGroup group = graph.GroupOf(vertex);
    for (int i = group.first; i < group.first + group.count; ++i) {
        const EndPoint& end = graph.endPoints[static_cast<std::size_t>(i)];
        if (end.edge == arriving.number) continue;
        const Edge& candidate = graph.EdgeNumbered(end.edge);
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
    for (const Edge& edge : graph.edges) {
        const int atStart = NextClockwise(graph, edge, edge.startVertex, edge.angle, edge.number);
        const double backFromEnd = edge.angle < kPi ? edge.angle + kPi : edge.angle - kPi;
        const int atEnd = NextClockwise(graph, edge, edge.endVertex, backFromEnd, -edge.number);
        links.push_back({edge.number, atEnd, atStart});
    }
    return links;
}

}  // namespace loopweave::reference
