#include "formation_graph.h"

#include "formation/edge_selection.h"
#include "formation/leaving_directions.h"
#include "formation/vertex_graph.h"

namespace loopweave {

FormationGraph GraphOfElements(CPtrList& elements) {
    FormationGraph view;
    const std::vector<SelectedEdge> edges = SelectEdges(elements);
    if (edges.empty()) return view;
    const VertexGraph graph = BuildVertexGraph(edges);
    view.vertices = graph.vertexPoints;
    for (const Edge& edge : graph.edges) {
        const SelectedEdge& selected = edges[static_cast<std::size_t>(edge.number) - 1];
        view.edges.push_back({selected.start, selected.end, edge.startVertex - 1, edge.endVertex - 1, edge.key1,
                              edge.key2, LeavingDirection(edge, edge.startVertex),
                              LeavingDirection(edge, edge.endVertex)});
    }
    return view;
}

}  // namespace loopweave
