// The return and self-crossing checks against their straightforward versions,
// which rescan after every find and test every pair: the same flags and the
// same error points, bit for bit and in the same order.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "differential/exact_text.h"
#include "loopweave.h"
#include "output/polygon_editor.h"
#include "reference/straightforward.h"
#include "support/drawing.h"
#include "support/hostile_drawings.h"
#include "support/random_drawings.h"

namespace {

using loopweave::PolygonEditor;
using loopweave::testing::ExactPoints;
using loopweave::testing::Line;
using loopweave::testing::RandomDrawings;
using loopweave::testing::Starts;

// The diagnosis of a closed chain as the straightforward checks give it.
std::string ReferenceDiagnosis(COutputLoopweave& polygon) {
    std::vector<CCoord> points;
    const bool runsBack = loopweave::reference::ReturnPoints(polygon.Element(), points);
    const bool crosses = loopweave::reference::CrossPoints(polygon.Element(), points);
    return std::string(runsBack ? "return " : "") + (crosses ? "cross " : "") + ExactPoints(points);
}

std::string Diagnosis(COutputLoopweave& polygon) {
    PolygonEditor::Diagnose(polygon);
    return std::string(polygon.Return() ? "return " : "") + (polygon.Cross() ? "cross " : "") +
           ExactPoints(polygon.Error());
}

// Diagnoses the chain both ways; an open chain is not checked further and
// does not count.
int ExpectSameDiagnosis(COutputLoopweave& polygon, int example) {
    const std::string actual = Diagnosis(polygon);
    if (polygon.Critical()) return 0;
    EXPECT_EQ(actual, ReferenceDiagnosis(polygon)) << "example " << example;
    return 1;
}

TEST(DiagnosisDifferential, SmallChainsOfEveryStyle) {
    RandomDrawings drawings(61);
    int closed = 0;
    for (int example = 0; example < 4000; ++example) {
        drawings.NewStyle(true);
        COutputLoopweave polygon;
        drawings.FillChain(polygon, drawings.Uniform(0, 80));
        closed += ExpectSameDiagnosis(polygon, example);
    }
    EXPECT_GT(closed, 3000);
}

// Long enough that most elements are short against the whole chain, so that
// the candidate pairs are a small part of all pairs.
TEST(DiagnosisDifferential, LongWalksThatTouchThemselvesFarApart) {
    RandomDrawings drawings(62);
    for (int example = 0; example < 30; ++example) {
        drawings.NewStyle(example % 4 == 0);
        COutputLoopweave polygon;
        loopweave::testing::AppendClosedChain(polygon, drawings.Walk(drawings.Uniform(200, 1000)));
        ExpectSameDiagnosis(polygon, example);
    }
}

// Short elements beside very short ones, within the wide band in which a
// very short element counts points as on its line, but beyond the short
// one's own reach; long elements around them keep the chain's extent large.
TEST(DiagnosisDifferential, ShortElementsInTheBandsOfVeryShortOnes) {
    std::mt19937_64 random(63);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int example = 0; example < 300; ++example) {
        std::vector<Line> lines{{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}};
        for (int k = 0; k < 20; ++k) {
            const double x = 100 * unit(random);
            const double y = 100 * unit(random);
            const double angle = 6.283185307179586 * unit(random);
            const double tiny = std::pow(10, -5 - 2 * unit(random));
            const double c = std::cos(angle);
            const double s = std::sin(angle);
            const Line veryShort{x, y, x + tiny * c, y + tiny * s};
            const double beside = 1e-6 / tiny * (2 * unit(random) - 1);
            const double half = std::pow(10, -1 - 2 * unit(random)) / 2;
            const double midX = x + tiny / 2 * c - beside * s;
            const double midY = y + tiny / 2 * s + beside * c;
            const Line shortOne{midX - half * c, midY - half * s, midX + half * c, midY + half * s};
            // Either may come first in the chain: the pair's reach is the
            // larger one whichever element the walk meets first.
            const bool shortFirst = unit(random) < 0.5;
            lines.push_back(shortFirst ? shortOne : veryShort);
            lines.push_back(shortFirst ? veryShort : shortOne);
        }
        COutputLoopweave polygon;
        RandomDrawings::AppendAsClosedChain(polygon, lines);
        ExpectSameDiagnosis(polygon, example);
    }
}

// A few elements hundreds of times longer than the rest: the grid's cells
// cannot be as small as the short elements' boxes without the long ones
// covering thousands of them, and must still bring every near pair together.
TEST(DiagnosisDifferential, LongElementsAmongManyShortOnes) {
    RandomDrawings drawings(64);
    for (int example = 0; example < 20; ++example) {
        drawings.NewStyle(false);
        const Starts walk = drawings.Walk(400);
        std::vector<Line> lines;
        for (std::size_t i = 0; i + 1 < walk.size(); ++i) {
            lines.push_back({walk[i].first, walk[i].second, walk[i + 1].first, walk[i + 1].second});
        }
        // Long elements from points of the walk to far beyond it and back
        // across it.
        for (int k = 0; k < 8; ++k) {
            const auto& [x, y] = walk[static_cast<std::size_t>(drawings.Uniform(0, 399))];
            const double farX = x + 300 * (walk[1].first - walk[0].first + 1) * drawings.Uniform(-2, 2);
            const double farY = y + 300 * (walk[1].second - walk[0].second + 1) * drawings.Uniform(-2, 2);
            lines.push_back({x, y, farX, farY});
            lines.push_back({farX, farY, walk[0].first, walk[0].second});
        }
        COutputLoopweave polygon;
        RandomDrawings::AppendAsClosedChain(polygon, lines);
        ExpectSameDiagnosis(polygon, example);
    }
}

// Chains whose every pair touches (a star walked out and back) or that pile
// up on one line: the candidates are most of the pairs.
TEST(DiagnosisDifferential, CrowdedChains) {
    for (const auto& make : {loopweave::testing::StarThroughOnePoint, loopweave::testing::CollinearOverlaps,
                             loopweave::testing::CopiesBothWays, loopweave::testing::HugeAndTinyMixed}) {
        COutputLoopweave polygon;
        RandomDrawings::AppendAsClosedChain(polygon, make(150));
        ExpectSameDiagnosis(polygon, 0);
    }
}

}  // namespace
