// The link step against its straightforward version, which walks every end
// point of the vertex for every arriving edge: the same continuation for
// every edge end, ties between equal turns included.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "drawings/hostile_drawings.h"
#include "formation/edge_links.h"
#include "formation/edge_selection.h"
#include "formation/vertex_graph.h"
#include "loopweave.h"
#include "reference/straightforward.h"
#include "store/list_items.h"
#include "support/drawing.h"
#include "support/random_drawings.h"

namespace {

using loopweave::testing::AtAnOddAngleFarAway;
using loopweave::testing::Line;
using loopweave::testing::RandomDrawings;

std::string LinksText(const std::vector<loopweave::EdgeLinks>& links) {
    std::string text;
    for (const loopweave::EdgeLinks& link : links) {
        text += std::to_string(link.edge) + ':' + std::to_string(link.nextAtEnd) + ',' +
                std::to_string(link.nextAtStart) + ' ';
    }
    return text;
}

// Forms the graph of the stored list as MakingPolygon does and compares the links.
void ExpectSameLinks(CPtrList& stored, int example) {
    const std::vector<loopweave::SelectedEdge> edges = loopweave::SelectEdges(stored);
    if (!edges.empty()) {
        const loopweave::VertexGraph graph = loopweave::BuildVertexGraph(edges);
        EXPECT_EQ(LinksText(loopweave::ChooseContinuations(graph)),
                  LinksText(loopweave::reference::ChooseContinuations(graph)))
            << "example " << example;
    }
}

void ExpectSameLinks(const std::vector<Line>& lines, int example) {
    CPtrList stored;
    for (const Line& line : lines) stored.Append(new CLoopweaveElement(line.sx, line.sy, line.ex, line.ey, line.key1));
    ExpectSameLinks(stored, example);
    loopweave::DeleteAll<CLoopweaveElement>(stored);
}

// Rays from one centre in a few directions, each direction taken by several
// rays of different lengths, offset sideways by steps far below the
// tolerance: directions that differ in the last bits of their angles, and
// turns that rounding makes equal. The centre itself is jittered at the edge
// of the tolerance, so that some rays join it and some do not.
std::vector<Line> Fan(RandomDrawings& drawings) {
    const double pi = 3.141592653589793;
    const double centreX = drawings.Coordinate();
    const double centreY = drawings.Coordinate();
    const double reach = drawings.Chance(0.5) ? 1 : 1e6;
    const double sideways = drawings.Chance(0.5) ? 1e-10 : 1e-16;
    std::vector<Line> rays;
    for (int direction = drawings.Uniform(1, 6); direction > 0; --direction) {
        const double angle = drawings.Chance(0.7) ? pi / 2 * drawings.Uniform(0, 3) : drawings.Uniform(0, 628) / 100.0;
        for (int ray = drawings.Uniform(1, 5); ray > 0; --ray) {
            const double length = reach * drawings.Uniform(1, 3);
            const double offset = sideways * drawings.Uniform(-3, 3);
            const double endX = centreX + length * std::cos(angle) - offset * std::sin(angle);
            const double endY = centreY + length * std::sin(angle) + offset * std::cos(angle);
            const double jitter = drawings.Chance(0.2) ? 1e-6 * drawings.Uniform(-1, 1) : 0;
            Line line{centreX + jitter, centreY, endX, endY, static_cast<int>(rays.size()), 0};
            if (drawings.Chance(0.5)) line = {endX, endY, centreX + jitter, centreY, line.key1, 0};
            rays.push_back(line);
        }
    }
    return rays;
}

TEST(EdgeLinksDifferential, LooseLinesOfEveryStyle) {
    RandomDrawings drawings(81);
    for (int example = 0; example < 3000; ++example) {
        drawings.NewStyle(true);
        ExpectSameLinks(drawings.Lines(drawings.Uniform(1, 40)), example);
    }
}

TEST(EdgeLinksDifferential, FansOfNearlyEqualDirections) {
    RandomDrawings drawings(82);
    for (int example = 0; example < 3000; ++example) {
        drawings.NewStyle(false);
        ExpectSameLinks(Fan(drawings), example);
    }
}

// Many edges at one vertex, copies in the same direction among them.
TEST(EdgeLinksDifferential, VerticesOfHighDegree) {
    RandomDrawings drawings(83);
    for (int example = 0; example < 40; ++example) {
        drawings.NewStyle(false);
        std::vector<Line> lines;
        for (int part = 0; part < 60; ++part) {
            for (Line& line : Fan(drawings)) lines.push_back(line);
        }
        ExpectSameLinks(lines, example);
    }
}

// The pieces of cut drawings at an odd angle far from the origin, where ends
// that meet upright stop meeting bit for bit: copies of one line, lines
// overlapping on one line, loose lines and fans.
TEST(EdgeLinksDifferential, CutDrawingsAtAnOddAngleFarAway) {
    RandomDrawings drawings(84);
    std::mt19937_64 random(84);
    for (int example = 0; example < 400; ++example) {
        drawings.NewStyle(false);
        std::vector<Line> lines;
        switch (example % 4) {
            case 0:
                lines = loopweave::drawings::CopiesBothWays(drawings.Uniform(2, 30));
                break;
            case 1:
                lines = loopweave::drawings::CollinearOverlaps(drawings.Uniform(2, 30));
                break;
            case 2:
                lines = drawings.Lines(drawings.Uniform(1, 40));
                break;
            default:
                lines = Fan(drawings);
        }
        CLoopweave builder;
        loopweave::testing::Enter(builder, AtAnOddAngleFarAway(lines, random));
        builder.InsertCrossPoint();
        ExpectSameLinks(builder.Element(), example);
    }
}

}  // namespace
