#include "polygonize/segment_account.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "polygonize/pipeline.h"

namespace lwpolygonize {
namespace {

struct Polygonized {
    CLoopweave builder;
    PipelineResult result;
    LayerContent content;
};

void Polygonize(std::vector<InputSegment> segments, const PipelineRequest& request, Selection selection, Polygonized& run) {
    Extent extent;
    for (const InputSegment& s : segments) {
        extent.Add(s.sx, s.sy);
        extent.Add(s.ex, s.ey);
    }
    run.result = RunPipeline(request, segments, extent, run.builder, [](const char*, const auto& work) { work(); });
    const std::vector<SelectedPolygon> formed = NumberedPolygons(run.builder);
    run.content = ContentOf(formed, run.result.strippedRuns, selection);
    run.result.account.Settle(run.content, formed, selection);
}

std::vector<InputSegment> Path(const std::vector<std::pair<double, double>>& points, int key1) {
    std::vector<InputSegment> path;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        path.push_back({points[i].first, points[i].second, points[i + 1].first, points[i + 1].second, key1,
                        static_cast<int>(i)});
    }
    return path;
}

std::vector<InputSegment> Joined(std::vector<std::vector<InputSegment>> parts) {
    std::vector<InputSegment> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Two squares joined by a bridge, a tree of lines, a sliver triangle whose
// area the library measures as none, a segment drawn twice and one of no
// length: each ends in a face, a dangle, or a drop with its reason. (Uncut:
// cutting would find the sliver's corner on its other sides, and overlaps.)
TEST(SegmentAccountTest, EverySegmentEndsSomewhere) {
    const std::vector<InputSegment> segments = Joined({
        Path({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, 0),                 // 0-3
        Path({{3, 0}, {4, 0}, {4, 1}, {3, 1}, {3, 0}}, 1),                 // 4-7
        Path({{1, 0.5}, {3, 0.5}}, 2),                                     // 8: the bridge
        Path({{10, 10}, {11, 10}, {12, 11}}, 3),                           // 9-10: a tree
        Path({{20, 0}, {30, 0}, {40, 1e-13}, {20, 0}}, 4),                 // 11-13: a sliver
        Path({{0, 0}, {1, 0}}, 5),                                         // 14: drawn again
        Path({{5, 5}, {5, 5}}, 6),                                         // 15: no length
    });
    Polygonized run;
    Polygonize(segments, {{}, false, true, 0, std::nullopt}, Selection::kCoverage, run);
    const SegmentAccount& account = run.result.account;
    EXPECT_EQ(account.Count(Fate::kInFace), 8u);
    EXPECT_EQ(account.Count(Fate::kInDangle), 6u);  // the bridge, the tree, the sliver
    EXPECT_EQ(account.Count(Fate::kDrawnAgain), 1u);
    EXPECT_EQ(account.Count(Fate::kZeroLength), 1u);
    EXPECT_EQ(account.Count(Fate::kLost), 0u);
    const auto collapsed = std::count_if(run.content.errors.begin(), run.content.errors.end(),
                                         [](const ErrorPoint& p) { return p.flag == kCollapsedFlag; });
    EXPECT_EQ(collapsed, 1);
}

// Generated drawings on a small lattice, so that ends repeat, lines overlap
// and cross, with and without cutting, snapping and a frame, some not
// finite: nothing is ever lost, and every segment has exactly one fate.
TEST(SegmentAccountTest, NoGeneratedDrawingLosesASegment) {
    std::mt19937_64 random(20261209);
    for (int round = 0; round < 1000; ++round) {
        std::uniform_int_distribution<int> lattice(0, 1 + round % 6);
        const double step = round % 3 == 0 ? 1e-4 : round % 3 == 1 ? 1 : 250;
        const double offset = round % 4 == 0 ? 5e6 : 0;
        const auto coordinate = [&] { return offset + step * lattice(random); };
        std::vector<InputSegment> segments;
        const int n = 1 + round % 40;
        for (int i = 0; i < n; ++i) {
            InputSegment s{coordinate(), coordinate(), coordinate(), coordinate(), i, 0};
            if (i > 0 && random() % 5 == 0) s = segments[random() % segments.size()];  // drawn again
            if (round % 11 == 0 && random() % 9 == 0) s.ey = std::nan("");
            segments.push_back(s);
        }
        PipelineRequest request{{}, round % 2 == 0, true, round % 3 == 2 ? 0.3 * step : 0, std::nullopt};
        request.frame.wanted = round % 5 == 0;
        request.frame.fromExtent = true;
        request.frame.margin = step;
        const Selection selection = round % 7 == 0 ? Selection::kFaces : Selection::kCoverage;
        Polygonized run;
        Polygonize(segments, request, selection, run);
        const SegmentAccount& account = run.result.account;
        EXPECT_EQ(account.Count(Fate::kLost), 0u) << "round " << round;
        EXPECT_EQ(account.Count(Fate::kEntered), 0u) << "round " << round;
        std::size_t total = 0;
        for (Fate fate : {Fate::kNotFinite, Fate::kZeroLength, Fate::kDrawnAgain, Fate::kAlongOthers, Fate::kInFace,
                          Fate::kInDangle, Fate::kNotSelected}) {
            total += account.Count(fate);
        }
        EXPECT_EQ(total, segments.size()) << "round " << round;
    }
}

}  // namespace
}  // namespace lwpolygonize
