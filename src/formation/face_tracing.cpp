#include "formation/face_tracing.h"

#include <cstdlib>

#include "output/polygon_editor.h"

namespace loopweave {
namespace {

// Reads a link and marks it taken.
int Take(int& link) {
    const int step = link;
    link = 0;
    return step;
}

// The vertices at which a step begins and ends.
int FromVertex(const Edge& edge, int step) { return step > 0 ? edge.startVertex : edge.endVertex; }
int ToVertex(const Edge& edge, int step) { return step > 0 ? edge.endVertex : edge.startVertex; }

void Walk(int seed, const VertexGraph& graph, std::vector<EdgeLinks>& links, CPtrList& polygons) {
    // Owned by the list from the start, so that nothing is lost if a later
    // allocation fails.
    auto* polygon = new COutputLoopweave();
    polygons.Append(polygon);

    Point current = graph.VertexPoint(FromVertex(graph.EdgeNumbered(std::abs(seed)), seed));
    for (int step = seed; step != 0;) {
        const Edge& edge = graph.EdgeNumbered(std::abs(step));
        const Point next = graph.VertexPoint(ToVertex(edge, step));
        polygon->Element().Append(new CLoopweaveElement(current.x, current.y, next.x, next.y, edge.key1, edge.key2));
        current = next;
        EdgeLinks& continuation = links[static_cast<std::size_t>(edge.number) - 1];
        step = Take(step > 0 ? continuation.nextAtEnd : continuation.nextAtStart);
    }
    PolygonEditor::Diagnose(*polygon);
}

}  // namespace

void TraceFaces(const VertexGraph& graph, std::vector<EdgeLinks>& links, CPtrList& polygons) {
    for (EdgeLinks& seeds : links) {
        if (const int seed = Take(seeds.nextAtEnd)) Walk(seed, graph, links, polygons);
        if (const int seed = Take(seeds.nextAtStart)) Walk(seed, graph, links, polygons);
    }
}

}  // namespace loopweave
