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

    const std::vector<CLoopweaveElement*> edges = loopweave::SelectEdges(elements_);
    if (edges.empty()) return 0;  // no end point to open a first vertex with

    const loopweave::VertexGraph graph = loopweave::BuildVertexGraph(edges);
    std::vector<loopweave::EdgeLinks> links = loopweave::ChooseContinuations(graph);
    loopweave::TraceFaces(graph, links, polygons_);
    return polygons_.Count();
}
