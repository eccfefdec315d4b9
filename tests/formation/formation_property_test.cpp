// Random planar drawings on a grid, formed and checked against what must hold
// whenever no two edges leave a vertex in the same direction: every edge is
// walked once each way, every polygon is closed and uncrossed, and the
// polygons are exactly the enclosed faces plus one outer boundary per
// connected group.

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "loopweave.h"
#include "store/list_items.h"
#include "support/drawing.h"

namespace {

using loopweave::ItemsOf;
using loopweave::testing::ChainText;
using loopweave::testing::PolygonAt;

struct GridEdge {
    int from;  // grid point index
    int to;
};

// A drawing of unit sides and cell diagonals (at most one per cell, so that
// nothing crosses) on a grid, with the counts that Euler's formula needs.
struct Drawing {
    std::vector<GridEdge> edges;
    int vertices = 0;    // grid points that some edge touches
    int components = 0;  // connected groups of edges
    int componentsWithCycle = 0;
};

Drawing RandomDrawing(std::mt19937& random, int width, int height) {
    Drawing drawing;
    std::bernoulli_distribution side(0.6), diagonal(0.3), coin(0.5);
    auto index = [width](int x, int y) { return y * (width + 1) + x; };
    for (int y = 0; y <= height; ++y) {
        for (int x = 0; x <= width; ++x) {
            if (x < width && side(random)) drawing.edges.push_back({index(x, y), index(x + 1, y)});
            if (y < height && side(random)) drawing.edges.push_back({index(x, y), index(x, y + 1)});
            if (x < width && y < height && diagonal(random)) {
                drawing.edges.push_back(coin(random) ? GridEdge{index(x, y), index(x + 1, y + 1)}
                                                     : GridEdge{index(x + 1, y), index(x, y + 1)});
            }
        }
    }

    const int points = (width + 1) * (height + 1);
    std::vector<int> parent(static_cast<std::size_t>(points));
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&parent](int p) {
        while (parent[static_cast<std::size_t>(p)] != p) p = parent[static_cast<std::size_t>(p)];
        return p;
    };
    std::vector<int> degree(static_cast<std::size_t>(points), 0);
    for (const GridEdge& edge : drawing.edges) {
        ++degree[static_cast<std::size_t>(edge.from)];
        ++degree[static_cast<std::size_t>(edge.to)];
        parent[static_cast<std::size_t>(root(edge.from))] = root(edge.to);
    }
    std::map<int, std::pair<int, int>> groups;  // root: vertices, edges
    for (int p = 0; p < points; ++p) {
        if (degree[static_cast<std::size_t>(p)] > 0) ++groups[root(p)].first;
    }
    for (const GridEdge& edge : drawing.edges) ++groups[root(edge.from)].second;
    for (const auto& group : groups) {
        drawing.vertices += group.second.first;
        ++drawing.components;
        if (group.second.second >= group.second.first) ++drawing.componentsWithCycle;
    }
    return drawing;
}

TEST(FormationProperty, RandomPlanarDrawingsGiveEveryFaceOnceEachWay) {
    std::mt19937 random(20261207);
    for (int trial = 0; trial < 300; ++trial) {
        const int width = 1 + trial % 7;
        const int height = 1 + (trial / 7) % 5;
        const Drawing drawing = RandomDrawing(random, width, height);
        if (drawing.edges.empty()) continue;

        // Grid spacing and offset vary; every end is moved by less than half
        // the tolerance, so the ends of one grid point always join.
        std::uniform_real_distribution<double> jitter(-4e-7, 4e-7);
        const double spacing = std::uniform_real_distribution<double>(0.01, 1000)(random);
        const double offset = std::uniform_real_distribution<double>(-1e5, 1e5)(random);
        auto coordinate = [&](int grid) { return offset + grid * spacing + jitter(random); };

        // Entered in random order and direction, key1 naming the edge; some
        // edges are entered twice, and the copy's keys must not survive.
        std::vector<int> order(drawing.edges.size());
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        CLoopweave builder;
        std::bernoulli_distribution coin(0.5), copy(0.1);
        for (int e : order) {
            const GridEdge& edge = drawing.edges[static_cast<std::size_t>(e)];
            const int w = width + 1;
            for (int pass = 0; pass < (copy(random) ? 2 : 1); ++pass) {
                double ends[4] = {coordinate(edge.from % w), coordinate(edge.from / w), coordinate(edge.to % w),
                                  coordinate(edge.to / w)};
                if (coin(random)) {
                    std::swap(ends[0], ends[2]);
                    std::swap(ends[1], ends[3]);
                }
                CLoopweaveElement element(ends[0], ends[1], ends[2], ends[3], e + 1, pass);
                builder.Entry(element);
            }
        }

        const int formed = builder.MakingPolygon();
        const int edges = static_cast<int>(drawing.edges.size());
        const int enclosedFaces = edges - drawing.vertices + drawing.components;
        ASSERT_EQ(formed, enclosedFaces + drawing.components) << "trial " << trial;

        std::map<int, std::vector<CLoopweaveElement*>> walked;  // key1: its traversals
        int roundCounts[3] = {0, 0, 0};                         // -1, 0, 1
        for (COutputLoopweave* polygon : ItemsOf<COutputLoopweave>(builder.Polygon())) {
            ASSERT_FALSE(polygon->Critical()) << "trial " << trial << ": " << ChainText(*polygon);
            ASSERT_FALSE(polygon->Cross()) << "trial " << trial << ": " << ChainText(*polygon);
            ++roundCounts[polygon->Round() + 1];
            CLoopweaveElement* previous =
                static_cast<CLoopweaveElement*>(polygon->Element().Data(polygon->Element().Tail()));
            for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(polygon->Element())) {
                ASSERT_EQ(element->Sx(), previous->Ex());  // the chain joins exactly
                ASSERT_EQ(element->Sy(), previous->Ey());
                ASSERT_EQ(element->Key2(), 0);  // the first entered copy's keys
                walked[element->Key1()].push_back(element);
                previous = element;
            }
        }
        EXPECT_EQ(roundCounts[2], enclosedFaces) << "trial " << trial;
        EXPECT_EQ(roundCounts[0], drawing.componentsWithCycle) << "trial " << trial;
        EXPECT_EQ(roundCounts[1], drawing.components - drawing.componentsWithCycle) << "trial " << trial;

        ASSERT_EQ(static_cast<int>(walked.size()), edges);
        for (const auto& traversals : walked) {
            ASSERT_EQ(traversals.second.size(), 2u) << "edge " << traversals.first;
            CLoopweaveElement* there = traversals.second[0];
            CLoopweaveElement* back = traversals.second[1];
            EXPECT_EQ(there->Sx(), back->Ex());
            EXPECT_EQ(there->Sy(), back->Ey());
            EXPECT_EQ(there->Ex(), back->Sx());
            EXPECT_EQ(there->Ey(), back->Sy());
        }

        // Forming again gives the same polygons, bit for bit.
        std::vector<std::string> first;
        for (int i = 0; i < formed; ++i) first.push_back(ChainText(PolygonAt(builder, i)));
        ASSERT_EQ(builder.MakingPolygon(), formed);
        for (int i = 0; i < formed; ++i)
            ASSERT_EQ(ChainText(PolygonAt(builder, i)), first[static_cast<std::size_t>(i)]);
    }
}

}  // namespace
