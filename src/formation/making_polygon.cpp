// Polygon formation: from the stored elements to one diagnosed polygon per
// face of their planar graph.

#include "formation/edge_links.h"
#include "formation/edge_selection.h"
#include "formation/face_tracing.h"
#include "formation/vertex_graph.h"
#include "loopweave.h"
#include "store/list_items.h"

int CLoopweave::MakingPolygon() {
    loopweave::DeleteAll<COutputLoopweave>(polygons_);

    std::vector<loopweave::TracedEdge> table;
    {
        const std::vector<loopweave::SelectedEdge> edges = loopweave::SelectEdges(elements_);
        if (edges.empty()) return 0;  // no end point to open a first vertex with

        const loopweave::VertexGraph graph = loopweave::BuildVertexGraph(edges);
        table = loopweave::TracingTable(graph, loopweave::ChooseContinuations(graph));
    }  // the graph goes before the polygons come
    loopweave::TraceFaces(table, polygons_);
    return polygons_.Count();
}
