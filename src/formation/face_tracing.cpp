#include "formation/face_tracing.h"

#include <cstdlib>

#include "store/polygon_editor.h"

namespace loopweave {
namespace {

// Reads a link and marks it taken.
int Take(int& link) {
    const int step = link;
    link = 0;
    return step;
}

void Walk(int seed, std::vector<TracedEdge>& table, CPtrList& polygons) {
    // Owned by the list from the start, so that nothing is lost if a later
    // allocation fails.
    auto* polygon = new COutputLoopweave();
    polygons.Append(polygon);

    const TracedEdge& first = table[static_cast<std::size_t>(std::abs(seed)) - 1];
    Point current = seed > 0 ? first.start : first.end;
    for (int step = seed; step != 0;) {
        TracedEdge& edge = table[static_cast<std::size_t>(std::abs(step)) - 1];
        const Point next = step > 0 ? edge.end : edge.start;
        polygon->Element().Append(new CLoopweaveElement(current.x, current.y, next.x, next.y, edge.key1, edge.key2));
        current = next;
        step = Take(step > 0 ? edge.nextAtEnd : edge.nextAtStart);
    }
    PolygonEditor::Diagnose(*polygon);
}

}  // namespace

std::vector<TracedEdge> TracingTable(const VertexGraph& graph, const std::vector<EdgeLinks>& links) {
    std::vector<TracedEdge> table;
    table.reserve(graph.edges.size());
    for (const Edge& edge : graph.edges) {
        const EdgeLinks& link = links[static_cast<std::size_t>(edge.number) - 1];
        table.push_back({graph.VertexPoint(edge.startVertex), graph.VertexPoint(edge.endVertex), edge.key1, edge.key2,
                         link.nextAtEnd, link.nextAtStart});
    }
    return table;
}

void TraceFaces(std::vector<TracedEdge>& table, CPtrList& polygons) {
    for (std::size_t k = 0; k < table.size(); ++k) {
        if (const int seed = Take(table[k].nextAtEnd)) Walk(seed, table, polygons);
        if (const int seed = Take(table[k].nextAtStart)) Walk(seed, table, polygons);
    }
}

}  // namespace loopweave
