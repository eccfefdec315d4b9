// The return and self-crossing checks against their straightforward versions,
// which rescan after every find and test every pair: the same flags and the
// same error points, bit for bit and in the same order.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "differential/exact_text.h"
#include "drawings/hostile_drawings.h"
#include "loopweave.h"
#include "reference/straightforward.h"
#include "store/polygon_editor.h"
#include "support/drawing.h"
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

// Far from the origin the rounding of a doubled area outgrows the tolerance,
// and two short elements far apart along nearly one line can test as in
// contact. A ring some 5,000 km out that does not touch itself, with short
// elements planted on the lines of some of its elements far beyond their
// ends (outside the ring), and on either side of them in the chain: nearly
// all the contacts that the check finds are of that kind.
TEST(DiagnosisDifferential, ElementsFarApartAlongOneLineFarFromTheOrigin) {
    std::mt19937_64 random(65);
    std::uniform_real_distribution<double> unit(0, 1);
    int crossed = 0;
    for (int example = 0; example < 600; ++example) {
        const double centreX = 5e6 + 1e5 * unit(random);
        const double centreY = 5e6 + 1e5 * unit(random);
        const double radius = std::pow(10, 1 + 4 * unit(random));
        const int corners = 60;
        std::vector<Line> lines;
        for (int k = 0; k < corners; ++k) {
            const double from = 6.283185307179586 * k / corners;
            const double to = 6.283185307179586 * (k + 1) / corners;
            lines.push_back({centreX + radius * std::cos(from), centreY + radius * std::sin(from),
                             centreX + radius * std::cos(to), centreY + radius * std::sin(to)});
        }
        for (int k = 0; k < 3; ++k) {
            const Line& a = lines[static_cast<std::size_t>(unit(random) * corners)];
            const double dx = a.ex - a.sx;
            const double dy = a.ey - a.sy;
            const double along = (unit(random) < 0.5 ? -1 : 1) * (2 + std::pow(10, 6 * unit(random)));
            const double span = 0.1 + unit(random);
            // Half of them off the line, by as much as makes a doubled area
            // of a few units in the last place of its largest products.
            const double length = std::hypot(dx, dy);
            const double off =
                unit(random) < 0.5 ? 0 : 4 * (2 * unit(random) - 1) * DBL_EPSILON * centreX * std::fabs(along);
            const double offX = -dy / length * off;
            const double offY = dx / length * off;
            const Line planted{a.sx + along * dx + offX, a.sy + along * dy + offY, a.sx + (along + span) * dx + offX,
                               a.sy + (along + span) * dy + offY};
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(unit(random) * static_cast<double>(lines.size())),
                         planted);
        }
        COutputLoopweave polygon;
        RandomDrawings::AppendAsClosedChain(polygon, lines);
        ExpectSameDiagnosis(polygon, example);
        crossed += polygon.Cross() ? 1 : 0;
    }
    EXPECT_GT(crossed, 10);
}

// A ring far out whose walk goes out to infinity and back between its
// corners: most elements have no finite length, and the few finite ones
// alone set how far apart the check seeks pairs by their boxes.
TEST(DiagnosisDifferential, RingFarOutThroughInfinity) {
    std::vector<Line> lines;
    const int corners = 60;
    for (int k = 0; k < corners; ++k) {
        const double from = 6.283185307179586 * k / corners;
        const double to = 6.283185307179586 * (k + 1) / corners;
        const double x0 = 5e6 + 1e3 * std::cos(from), y0 = 5e6 + 1e3 * std::sin(from);
        const double x1 = 5e6 + 1e3 * std::cos(to), y1 = 5e6 + 1e3 * std::sin(to);
        const double xm = (x0 + x1) / 2, ym = (y0 + y1) / 2;
        lines.push_back({x0, y0, xm, ym});
        lines.push_back({xm, ym, HUGE_VAL, ym});
        lines.push_back({HUGE_VAL, ym, xm, ym});
        lines.push_back({xm, ym, x1, y1});
    }
    COutputLoopweave polygon;
    RandomDrawings::AppendAsClosedChain(polygon, lines);
    EXPECT_EQ(ExpectSameDiagnosis(polygon, 0), 1);
}

// A chain back and forth along one line far from the origin: every end lies
// near every element's line, too many pairs to list, and the check falls
// back to every pair.
TEST(DiagnosisDifferential, ChainAlongOneLineFarFromTheOrigin) {
    std::mt19937_64 random(66);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Line> lines;
    double along = 0;
    for (int k = 0; k < 1500; ++k) {
        const double next = 1e5 * unit(random);
        lines.push_back({5e6 + 0.6 * along, 5e6 + 0.8 * along, 5e6 + 0.6 * next, 5e6 + 0.8 * next});
        along = next;
    }
    COutputLoopweave polygon;
    RandomDrawings::AppendAsClosedChain(polygon, lines);
    EXPECT_EQ(ExpectSameDiagnosis(polygon, 0), 1);
}

// Chains whose every pair touches (a star walked out and back) or that pile
// up on one line: the candidates are most of the pairs.
TEST(DiagnosisDifferential, CrowdedChains) {
    for (const auto& make : {loopweave::drawings::StarThroughOnePoint, loopweave::drawings::CollinearOverlaps,
                             loopweave::drawings::CopiesBothWays, loopweave::drawings::HugeAndTinyMixed}) {
        COutputLoopweave polygon;
        RandomDrawings::AppendAsClosedChain(polygon, make(150));
        ExpectSameDiagnosis(polygon, 0);
    }
}

}  // namespace
