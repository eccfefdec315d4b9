#ifndef LOOPWEAVE_FORMATION_VERTEX_GRAPH_H
#define LOOPWEAVE_FORMATION_VERTEX_GRAPH_H

#include <vector>

#include "formation/edge_selection.h"
#include "geometry/point.h"

namespace loopweave {

// The graph that polygon formation walks: edges numbered from 1 in the order
// SelectEdges gave them, and vertices numbered from 1 where their ends meet.
// Number 0 is free to mean "none".
//
// End points join a vertex when both their coordinates lie within kTolerance
// (inclusive) of the vertex's first end point in sorted order, and the vertex
// takes that point's exact coordinates, so every end that joins it leaves
// formation at one and the same point. A run of points each close to the one
// before splits where it strays from the first. Points where edges cross are
// not vertices.

// The double nearest to π, and twice it.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;

struct Edge {
    int number;
    int key1;
    int key2;
    int startVertex;
    int endVertex;
    double angle;  // of the direction from start to end, in [0, 2π]
};

struct EndPoint {
    int edge;
    int end;  // 0 for the edge's start, 1 for its end
    double x;
    double y;
};

// A vertex's end points stand together in the sorted end point table.
struct VertexGroup {
    int first;  // position of the first in the table
    int count;
};

struct VertexGraph {
    std::vector<Edge> edges;                // edge k at k - 1
    std::vector<EndPoint> endPoints;        // two per edge, sorted by CompareEndPoints
    std::vector<Point> vertexPoints;        // vertex v at v - 1
    std::vector<VertexGroup> vertexGroups;  // vertex v at v - 1

    Edge& EdgeNumbered(int number) { return edges[static_cast<std::size_t>(number) - 1]; }
    const Edge& EdgeNumbered(int number) const { return edges[static_cast<std::size_t>(number) - 1]; }
    Point VertexPoint(int vertex) const { return vertexPoints[static_cast<std::size_t>(vertex) - 1]; }
    VertexGroup GroupOf(int vertex) const { return vertexGroups[static_cast<std::size_t>(vertex) - 1]; }
};

// Builds the graph of at least one edge: edge k is edges[k - 1].
VertexGraph BuildVertexGraph(const std::vector<SelectedEdge>& edges);

// The order of end points: 0 when both coordinates differ by less than
// kTolerance, else by x when x differs by kTolerance or more, else by y.
int CompareEndPoints(const EndPoint& p, const EndPoint& q);

}  // namespace loopweave

#endif  // LOOPWEAVE_FORMATION_VERTEX_GRAPH_H
