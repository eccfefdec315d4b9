#include "walk_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "bits.h"
#include "formation_graph.h"
#include "report.h"

namespace loopweave::fuzz {
namespace {

// One edge walked one way, as the tracer writes it: from vertex point to
// vertex point, with the edge's keys.
using Dart = std::array<std::uint64_t, 6>;

Dart MakeDart(Point from, Point to, int key1, int key2) {
    return {Bits(from.x), Bits(from.y), Bits(to.x), Bits(to.y), static_cast<std::uint32_t>(key1),
            static_cast<std::uint32_t>(key2)};
}

Point VertexPoint(const FormationGraph& graph, int vertex) { return graph.vertices[static_cast<std::size_t>(vertex)]; }

std::vector<Dart> EdgeDarts(const FormationGraph& graph) {
    std::vector<Dart> darts;
    for (const FormationGraph::Edge& edge : graph.edges) {
        const Point start = VertexPoint(graph, edge.startVertex);
        const Point end = VertexPoint(graph, edge.endVertex);
        darts.push_back(MakeDart(start, end, edge.key1, edge.key2));
        darts.push_back(MakeDart(end, start, edge.key1, edge.key2));
    }
    std::sort(darts.begin(), darts.end());
    return darts;
}

std::vector<Dart> WalkedDarts(CPtrList& polygons) {
    std::vector<Dart> darts;
    for (CPtrList::Node* p = polygons.Head(); p != nullptr; p = polygons.Next(p)) {
        CPtrList& chain = static_cast<COutputLoopweave*>(polygons.Data(p))->Element();
        for (CPtrList::Node* e = chain.Head(); e != nullptr; e = chain.Next(e)) {
            auto& element = *static_cast<CLoopweaveElement*>(chain.Data(e));
            darts.push_back(MakeDart({element.Sx(), element.Sy()}, {element.Ex(), element.Ey()}, element.Key1(),
                                     element.Key2()));
        }
    }
    std::sort(darts.begin(), darts.end());
    return darts;
}

// Whether two edge ends leave some vertex in the same direction, with the
// directions worked out as the tracer works them out. The tracer compares
// turns, differences of directions below 2π, which cannot tell apart
// directions closer than a few units in the last place of 2π; those count as
// the same. So does an edge whose ends met in one vertex.
bool SomeDirectionRepeats(const FormationGraph& graph) {
    constexpr double kTurnResolution = 1e-14;
    constexpr double kTwoPi = 6.283185307179586;
    std::vector<std::vector<double>> leavingAt(graph.vertices.size());
    for (const FormationGraph::Edge& edge : graph.edges) {
        if (edge.startVertex == edge.endVertex) return true;
        leavingAt[static_cast<std::size_t>(edge.startVertex)].push_back(edge.leavingStart);
        leavingAt[static_cast<std::size_t>(edge.endVertex)].push_back(edge.leavingEnd);
    }
    for (std::vector<double>& leaving : leavingAt) {
        std::sort(leaving.begin(), leaving.end());
        leaving.push_back(leaving.front() + kTwoPi);  // around the circle
        for (std::size_t i = 1; i < leaving.size(); ++i) {
            if (leaving[i] - leaving[i - 1] <= kTurnResolution) return true;
        }
    }
    return false;
}

int ConnectedGroups(const FormationGraph& graph) {
    std::vector<int> parent(graph.vertices.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&parent](int v) {
        while (parent[static_cast<std::size_t>(v)] != v) v = parent[static_cast<std::size_t>(v)];
        return v;
    };
    int groups = static_cast<int>(graph.vertices.size());
    for (const FormationGraph::Edge& edge : graph.edges) {
        const int a = root(edge.startVertex);
        const int b = root(edge.endVertex);
        if (a != b) {
            parent[static_cast<std::size_t>(a)] = b;
            --groups;
        }
    }
    return groups;
}

// Exact for integers below 2^20 in magnitude: every difference and product
// is representable.
int Orientation(Point p, Point q, Point r) {
    const double area = (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    return (area > 0) - (area < 0);
}

bool Equal(Point p, Point q) { return p.x == q.x && p.y == q.y; }

// r on the segment pq, given that it is on pq's line.
bool WithinExtent(Point p, Point q, Point r) {
    return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
}

// Whether segments pq and rs have a point in common other than a shared end.
bool MeetBeyondSharedEnds(Point p, Point q, Point r, Point s) {
    if (Equal(p, s) || Equal(q, s)) std::swap(r, s);
    if (Equal(q, r)) std::swap(p, q);
    if (Equal(p, r)) {
        if (Equal(q, s)) return true;  // two edges between the same vertices
        // One shared end: they meet again only by running along each other.
        return Orientation(p, q, s) == 0 && (q.x - p.x) * (s.x - p.x) + (q.y - p.y) * (s.y - p.y) > 0;
    }
    const int o1 = Orientation(p, q, r);
    const int o2 = Orientation(p, q, s);
    const int o3 = Orientation(r, s, p);
    const int o4 = Orientation(r, s, q);
    if (o1 * o2 < 0 && o3 * o4 < 0) return true;
    return (o1 == 0 && WithinExtent(p, q, r)) || (o2 == 0 && WithinExtent(p, q, s)) ||
           (o3 == 0 && WithinExtent(r, s, p)) || (o4 == 0 && WithinExtent(r, s, q));
}

bool OnIntegerGrid(double value) { return std::fabs(value) < 1048576.0 && value == std::floor(value); }

// A plane drawing on an integer grid: every edge runs between its vertices'
// own points and no two edges meet anywhere else. Small drawings only: the
// test looks at every pair.
bool PlaneOnIntegerGrid(const FormationGraph& graph) {
    if (graph.edges.size() > 400) return false;
    std::vector<std::array<Point, 2>> segments;
    for (const FormationGraph::Edge& edge : graph.edges) {
        const Point start = edge.start;
        const Point end = edge.end;
        if (!Equal(start, VertexPoint(graph, edge.startVertex)) || !Equal(end, VertexPoint(graph, edge.endVertex))) {
            return false;
        }
        for (double value : {start.x, start.y, end.x, end.y}) {
            if (!OnIntegerGrid(value)) return false;
        }
        segments.push_back({start, end});
    }
    for (std::size_t i = 0; i < segments.size(); ++i) {
        for (std::size_t j = i + 1; j < segments.size(); ++j) {
            if (MeetBeyondSharedEnds(segments[i][0], segments[i][1], segments[j][0], segments[j][1])) return false;
        }
    }
    return true;
}

}  // namespace

void CheckWalks(CLoopweave& builder) {
    CPtrList& polygons = builder.Polygon();
    // Forming has already turned and numbered the elements; doing it again
    // changes nothing and gives the same edges.
    const FormationGraph graph = GraphOfElements(builder.Element());
    if (graph.edges.empty()) {
        if (polygons.Count() != 0) Fail("%d polygons without an edge", polygons.Count());
        return;
    }
    if (SomeDirectionRepeats(graph)) return;

    if (WalkedDarts(polygons) != EdgeDarts(graph)) Fail("the polygons do not walk every edge once each way");

    const int vertices = static_cast<int>(graph.vertices.size());
    const int bound = static_cast<int>(graph.edges.size()) - vertices + 2 * ConnectedGroups(graph);
    const int faces = polygons.Count();
    if (faces > bound || (bound - faces) % 2 != 0) Fail("%d polygons where Euler's formula allows %d", faces, bound);
    if (faces != bound && PlaneOnIntegerGrid(graph)) Fail("%d polygons for a plane drawing with %d faces", faces, bound);
}

}  // namespace loopweave::fuzz
