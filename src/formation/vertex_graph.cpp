#include "formation/vertex_graph.h"

#include <algorithm>
#include <cmath>

namespace loopweave {
namespace {

// The direction of an edge, turned into [0, 2π). Adding 2π to a tiny negative
// angle can round to 2π itself, which the choice of continuations allows for.
//
// The C library's atan2 is not correctly rounded everywhere, and glibc picks a
// fused multiply-add variant on CPUs that have one: about one angle in 7000
// differs in the last bit between the two. Only edges that leave a vertex
// within a unit in the last place of the same direction can notice. Edges in
// exactly the same direction got equal angles from both variants in 2·10^7
// trials, so their tie is still decided by the end point order.
double DirectionAngle(const SelectedEdge& edge) {
    double angle = std::atan2(edge.end.y - edge.start.y, edge.end.x - edge.start.x);
    if (angle < 0) angle = angle + kTwoPi;
    return angle;
}

// Walks the sorted end points, opening a new vertex at every point that lies
// more than kTolerance from the current vertex's first point.
void FormVertices(VertexGraph& graph) {
    const int total = static_cast<int>(graph.endPoints.size());
    Point reference{graph.endPoints.front().x, graph.endPoints.front().y};
    graph.vertexPoints.push_back(reference);
    int count = 0;
    for (int position = 0; position < total; ++position) {
        const EndPoint& p = graph.endPoints[static_cast<std::size_t>(position)];
        if (std::fabs(reference.x - p.x) > kTolerance || std::fabs(reference.y - p.y) > kTolerance) {
            graph.vertexGroups.push_back({position - count, count});
            reference = {p.x, p.y};
            graph.vertexPoints.push_back(reference);
            count = 0;
        }
        const int vertex = static_cast<int>(graph.vertexPoints.size());
        Edge& edge = graph.EdgeNumbered(p.edge);
        (p.end == 0 ? edge.startVertex : edge.endVertex) = vertex;
        ++count;
    }
    graph.vertexGroups.push_back({total - count, count});
}

}  // namespace

int CompareEndPoints(const EndPoint& p, const EndPoint& q) {
    if (const int order = CompareCoordinate(p.x, q.x)) return order;
    return CompareCoordinate(p.y, q.y);
}

VertexGraph BuildVertexGraph(const std::vector<SelectedEdge>& edges) {
    VertexGraph graph;
    graph.edges.reserve(edges.size());
    graph.endPoints.reserve(2 * edges.size());
    int number = 0;
    for (const SelectedEdge& edge : edges) {
        ++number;
        graph.endPoints.push_back({number, 0, edge.start.x, edge.start.y});
        graph.endPoints.push_back({number, 1, edge.end.x, edge.end.y});
        graph.edges.push_back({number, edge.key1, edge.key2, 0, 0, DirectionAngle(edge)});
    }

    // Equality within the tolerance is not transitive; the stable sort stays
    // in bounds regardless and keeps points that compare equal in table order,
    // which fixes the coordinates each vertex takes.
    std::stable_sort(graph.endPoints.begin(), graph.endPoints.end(),
                     [](const EndPoint& p, const EndPoint& q) { return CompareEndPoints(p, q) < 0; });

    graph.vertexPoints.reserve(graph.endPoints.size());
    graph.vertexGroups.reserve(graph.endPoints.size());
    FormVertices(graph);
    return graph;
}

}  // namespace loopweave
