#include <gtest/gtest.h>

#include <vector>

#include "formation/edge_links.h"
#include "formation/edge_selection.h"
#include "formation/vertex_graph.h"
#include "loopweave.h"
#include "store/element_editor.h"
#include "store/list_items.h"
#include "support/drawing.h"

namespace {

using loopweave::BuildVertexGraph;
using loopweave::ChooseContinuations;
using loopweave::EdgeLinks;
using loopweave::ElementEditor;
using loopweave::ItemsOf;
using loopweave::kPi;
using loopweave::SelectEdges;
using loopweave::VertexGraph;
using loopweave::testing::Enter;
using loopweave::testing::Line;

struct Formation {
    explicit Formation(const std::vector<Line>& lines) {
        Enter(builder, lines);
        graph = BuildVertexGraph(SelectEdges(builder.Element()));
        links = ChooseContinuations(graph);
    }
    CLoopweave builder;
    VertexGraph graph;
    std::vector<EdgeLinks> links;
};

TEST(VertexGraph, TheUnitSquareInAnyOrderAndDirection) {
    // Entered top, right backwards, left backwards, bottom.
    Formation square({{0, 1, 1, 1}, {1, 1, 1, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}});
    const VertexGraph& graph = square.graph;

    // Edges 1 = (0,0)->(0,1), 2 = (0,0)->(1,0), 3 = (0,1)->(1,1), 4 = (1,0)->(1,1);
    // vertices 1 = (0,0), 2 = (0,1), 3 = (1,0), 4 = (1,1).
    const int expectedStart[] = {1, 1, 2, 3};
    const int expectedEnd[] = {2, 3, 4, 4};
    const double expectedAngle[] = {kPi / 2, 0, 0, kPi / 2};
    ASSERT_EQ(graph.edges.size(), 4u);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(graph.EdgeNumbered(k).startVertex, expectedStart[k - 1]) << "edge " << k;
        EXPECT_EQ(graph.EdgeNumbered(k).endVertex, expectedEnd[k - 1]) << "edge " << k;
        EXPECT_EQ(graph.EdgeNumbered(k).angle, expectedAngle[k - 1]) << "edge " << k;
    }
    const double expectedVertex[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    ASSERT_EQ(graph.vertexPoints.size(), 4u);
    for (int v = 1; v <= 4; ++v) {
        EXPECT_EQ(graph.VertexPoint(v).x, expectedVertex[v - 1][0]);
        EXPECT_EQ(graph.VertexPoint(v).y, expectedVertex[v - 1][1]);
        EXPECT_EQ(graph.GroupOf(v).first, 2 * (v - 1));
        EXPECT_EQ(graph.GroupOf(v).count, 2);
    }

    const int expectedLinks[][2] = {{3, 2}, {4, 1}, {-4, -1}, {-3, -2}};  // nextAtEnd, nextAtStart
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(square.links[k - 1].edge, k);
        EXPECT_EQ(square.links[k - 1].nextAtEnd, expectedLinks[k - 1][0]) << "edge " << k;
        EXPECT_EQ(square.links[k - 1].nextAtStart, expectedLinks[k - 1][1]) << "edge " << k;
    }
}

TEST(VertexGraph, AWalkArrivingAtACrossingTurnsToTheNextEdgeClockwise) {
    // Edges 1 west (-1,0)->(0,0), 2 south (0,-1)->(0,0), 3 north (0,0)->(0,1), 4 east (0,0)->(1,0).
    Formation star({{0, 0, 1, 0}, {0, 0, 0, 1}, {0, 0, -1, 0}, {0, 0, 0, -1}});
    const std::vector<EdgeLinks>& links = star.links;
    EXPECT_EQ(links[2].nextAtStart, 4);   // arriving along the north edge: east
    EXPECT_EQ(links[3].nextAtStart, -2);  // along the east edge: south
    EXPECT_EQ(links[1].nextAtEnd, -1);    // along the south edge: west
    EXPECT_EQ(links[0].nextAtEnd, 3);     // along the west edge: north
    // Where nothing else meets an edge, the walk turns back along it.
    EXPECT_EQ(links[3].nextAtEnd, -4);
    EXPECT_EQ(links[0].nextAtStart, 1);
}

TEST(VertexGraph, EndPointsJoinTheFirstPointOfAVertexUpToTheToleranceInclusive) {
    // Three ends spaced 0.8e-6 apart along x: the second joins the first, the
    // third strays 1.6e-6 from the first and opens a vertex of its own.
    Formation run({{-1, 0, 0, 0}, {0.0000008, 0, 0.0000008, 1}, {0.0000016, 0, 1, 1}});
    ASSERT_EQ(run.graph.vertexPoints.size(), 5u);
    EXPECT_EQ(run.graph.EdgeNumbered(1).endVertex, run.graph.EdgeNumbered(2).startVertex);
    EXPECT_NE(run.graph.EdgeNumbered(3).startVertex, run.graph.EdgeNumbered(1).endVertex);

    // Exactly kTolerance apart on both axes still joins, at the first point.
    Formation touching({{-1, 0, 0, 0}, {0.000001, 0.000001, 1, 1}});
    const int shared = touching.graph.EdgeNumbered(1).endVertex;
    EXPECT_EQ(shared, touching.graph.EdgeNumbered(2).startVertex);
    EXPECT_EQ(touching.graph.VertexPoint(shared).x, 0);
    EXPECT_EQ(touching.graph.VertexPoint(shared).y, 0);
}

TEST(EdgeSelection, SerialsNumberEveryStoredElementOnEveryCall) {
    CLoopweave builder;
    Enter(builder, {{0, 0, 1, 0}, {0, 0, 0, 0}, {1, 0, 1, 1}});
    CPtrList& stored = builder.Element();
    stored.InsertAfter(stored.Head(), new CLoopweaveElement(5, 5, 6, 6));
    SelectEdges(stored);
    int expected = 0;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(stored)) {
        EXPECT_EQ(ElementEditor::Serial(*element), ++expected);
    }
}

}  // namespace
