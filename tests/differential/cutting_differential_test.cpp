// The walk over nearby pairs against the walk over every pair, which defines
// the result: the same stored list, bit for bit and in the same order, on
// drawings made to sit at the edges of the reach argument.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "cut/nearby_pair_cutting.h"
#include "drawings/hostile_drawings.h"
#include "loopweave.h"
#include "reference/straightforward.h"
#include "store/list_items.h"
#include "support/drawing.h"

namespace {

using loopweave::ItemsOf;
using loopweave::PieceTable;
using loopweave::testing::AtAnOddAngleFarAway;
using loopweave::testing::Enter;
using loopweave::testing::Line;

std::vector<std::uint64_t> Bits(CLoopweave& builder) {
    std::vector<std::uint64_t> bits;
    for (CLoopweaveElement* e : ItemsOf<CLoopweaveElement>(builder.Element())) {
        for (double value : {e->Sx(), e->Sy(), e->Ex(), e->Ey()}) {
            std::uint64_t b;
            std::memcpy(&b, &value, sizeof b);
            bits.push_back(b);
        }
        bits.push_back(static_cast<std::uint32_t>(e->Key1()));
    }
    return bits;
}

// Cuts the drawing both ways and demands the same stored list.
void ExpectSameCuts(const std::vector<Line>& lines) {
    CLoopweave everyPair;
    CLoopweave nearbyPairs;
    Enter(everyPair, lines);
    Enter(nearbyPairs, lines);
    PieceTable everyPairPieces(everyPair.Element());
    PieceTable nearbyPairPieces(nearbyPairs.Element());
    loopweave::CutEveryPair(everyPairPieces);
    loopweave::CutNearbyPairs(nearbyPairPieces);
    everyPairPieces.WriteBack(everyPair.Element());
    nearbyPairPieces.WriteBack(nearbyPairs.Element());
    ASSERT_EQ(Bits(nearbyPairs), Bits(everyPair));
}

using Random = std::mt19937_64;
double Uniform(Random& random, double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }

// Lines across a square, some on a coarse grid so that ends meet and lines
// overlap, each end nudged now and then by about the tolerance.
std::vector<Line> CrossingLines(Random& random, double side) {
    std::vector<Line> lines;
    const int count = std::uniform_int_distribution<int>(2, 60)(random);
    const auto value = [&] {
        const double v = random() % 3 == 0 ? std::round(Uniform(random, 0, 8)) * side / 8 : Uniform(random, 0, side);
        return random() % 4 == 0 ? v + Uniform(random, -3e-6, 3e-6) : v;
    };
    for (int i = 0; i < count; ++i) lines.push_back({value(), value(), value(), value(), i, 0});
    return lines;
}

// Short elements, down to below the tolerance, whose side test reaches far
// from them, among lines that pass close by.
std::vector<Line> ShortAmongLong(Random& random) {
    std::vector<Line> lines;
    for (int i = 0; i < 40; ++i) {
        const double x = Uniform(random, 0, 1);
        const double y = Uniform(random, 0, 1);
        if (i % 2 == 0) {
            const double length = std::pow(10.0, Uniform(random, -7.5, -4));
            const double angle = Uniform(random, 0, 6.3);
            lines.push_back({x, y, x + length * std::cos(angle), y + length * std::sin(angle), i, 0});
        } else {
            lines.push_back({x, y, x + Uniform(random, -1, 1), y + Uniform(random, -1e-3, 1e-3), i, 0});
        }
    }
    return lines;
}

// Elements about a thousandth long, where the side test's band and the
// squared-distance test together reach farthest from the element, with other
// elements ending just inside that reach, off the middle of each.
std::vector<Line> EndsAtTheFarthestReach(Random& random) {
    std::vector<Line> lines;
    for (int i = 0; i < 20; ++i) {
        const double x = Uniform(random, 0, 1);
        const double y = Uniform(random, 0, 1);
        const double length = std::pow(10.0, Uniform(random, -3.5, -2.5));
        const double angle = Uniform(random, 0, 6.3);
        const double dx = length * std::cos(angle);
        const double dy = length * std::sin(angle);
        lines.push_back({x, y, x + dx, y + dy, 2 * i, 0});
        // Off the middle, square to the element, within both the band
        // (1e-6 / length) and the lens of points within `length` of both ends.
        const double reach = std::min(1e-6 / length, 0.86 * length) * Uniform(random, 0.5, 1.0);
        const double px = x + dx / 2 - dy / length * reach;
        const double py = y + dy / 2 + dx / length * reach;
        lines.push_back({px, py, px + Uniform(random, -0.1, 0.1), py + Uniform(random, -0.1, 0.1), 2 * i + 1, 0});
    }
    return lines;
}

// Nearly parallel lines at distances around the reach, some overlapping.
std::vector<Line> NearlyParallel(Random& random) {
    std::vector<Line> lines;
    for (int i = 0; i < 30; ++i) {
        const double offset = std::pow(10.0, Uniform(random, -8, -2)) * (random() % 2 ? 1 : -1);
        const double slope = Uniform(random, -1e-6, 1e-6);
        const double from = Uniform(random, 0, 50);
        const double to = from + Uniform(random, -30, 30);
        lines.push_back({from, offset + slope * from, to, offset + slope * to, i, 0});
    }
    return lines;
}

// Lines through one point in many directions, and copies of some of them.
std::vector<Line> FanWithCopies(Random& random) {
    std::vector<Line> lines;
    for (int i = 0; i < 30; ++i) {
        const double angle = Uniform(random, 0, 3.2);
        const double length = Uniform(random, 1, 10);
        Line line{3 - length * std::cos(angle), 4 - length * std::sin(angle), 3 + length * std::cos(angle),
                  4 + length * std::sin(angle), i, 0};
        lines.push_back(line);
        if (random() % 3 == 0) lines.push_back({line.ex, line.ey, line.sx, line.sy, i, 1});
    }
    return lines;
}

// The drawing with up to four copies of some of its lines, in the same
// direction, each at a place of its own in the list: the walk lists each set
// of copies once, and a copy that is cut stops matching the others.
std::vector<Line> WithScatteredCopies(std::vector<Line> lines, Random& random) {
    const std::size_t count = lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (random() % 3 != 0) continue;
        for (int copy = 1 + static_cast<int>(random() % 4); copy > 0; --copy) {
            const auto place = static_cast<std::ptrdiff_t>(random() % (lines.size() + 1));
            lines.insert(lines.begin() + place, lines[i]);
        }
    }
    return lines;
}

// A few long lines, each cut by many others in turn, so that every pass
// starts from what the pass before it took. The crossing lines come in order
// along the long ones, in reverse or shuffled; some end on a long line or
// within the tolerance of it, which puts the pieces' ends off the line.
std::vector<Line> ChainsOfCuts(Random& random) {
    std::vector<Line> lines;
    const int longLines = std::uniform_int_distribution<int>(1, 3)(random);
    for (int i = 0; i < longLines; ++i) {
        const double y = Uniform(random, 0, 1);
        lines.push_back({0, y, 10, y + Uniform(random, -0.5, 0.5), i, 0});
    }
    std::vector<Line> crossing;
    const int count = std::uniform_int_distribution<int>(10, 60)(random);
    for (int i = 0; i < count; ++i) {
        const double x = 10.0 * (i + Uniform(random, 0, 1)) / count;
        const double nudge = random() % 3 == 0 ? Uniform(random, -1e-6, 1e-6) : 0.0;
        const double ends = random() % 4 == 0 ? lines[0].sy + (lines[0].ey - lines[0].sy) * x / 10 + nudge : 2.0;
        crossing.push_back({x, -1.0, x + Uniform(random, -0.01, 0.01), ends, longLines + i, 0});
    }
    const int order = static_cast<int>(random() % 3);
    if (order == 1) std::reverse(crossing.begin(), crossing.end());
    if (order == 2) std::shuffle(crossing.begin(), crossing.end(), random);
    lines.insert(lines.end(), crossing.begin(), crossing.end());
    return lines;
}

// Elements far from the origin, where the side test rounds by far more than
// the tolerance between distant points: many pieces of a few straight lines,
// their ends off the line by a few units in the last place, so that each
// piece turns off it by a hair, at the angles at which the side test of a
// long piece flips far along its line; and lines crossing them, some ending
// on them. Most lines are short enough for the reach to hold, some are drawn
// in pieces up to a thousand times as long, to be paired with every piece
// near their lines.
std::vector<Line> FarFromTheOrigin(Random& random) {
    std::vector<Line> lines;
    const double origin = std::ldexp(Uniform(random, 1, 2), std::uniform_int_distribution<int>(19, 26)(random));
    // Short enough for the reach to hold with coordinates below 1.5 origin:
    // 12 eps (1.5 origin) (sides of up to sqrt(2) length) <= 1e-6 / 8.
    const double longest = 1e-6 / (8 * 12 * 1.1102230246251565e-16 * 1.5 * origin * 1.42);
    for (int line = 0; line < 3; ++line) {
        // A quarter of the lines run along an axis, exactly.
        const bool alongAxis = random() % 4 == 0;
        const double angle = Uniform(random, 0, 6.3);
        const int quarter = static_cast<int>(random() % 4);
        const double cos = alongAxis ? (quarter == 0 ? 1.0 : quarter == 2 ? -1.0 : 0.0) : std::cos(angle);
        const double sin = alongAxis ? (quarter == 1 ? 1.0 : quarter == 3 ? -1.0 : 0.0) : std::sin(angle);
        const double x = origin * Uniform(random, 1, 1.2);
        const double y = origin * Uniform(random, 1, 1.2);
        const double scale = random() % 3 == 0 ? std::pow(10.0, Uniform(random, 0, 3)) : 1.0;
        const double lastPlace = std::ldexp(1.0, std::ilogb(origin) - 52);
        const int count = std::uniform_int_distribution<int>(2, 20)(random);
        double along = 0;
        double fromX = x;
        double fromY = y;
        for (int i = 0; i < count; ++i) {
            along += Uniform(random, 0.01, 1) * scale * longest;
            const double aside = alongAxis ? 0.0 : Uniform(random, -4, 4) * lastPlace;
            const double toX = x + along * cos - aside * sin;
            const double toY = y + along * sin + aside * cos;
            if (random() % 4 != 0) lines.push_back({fromX, fromY, toX, toY, static_cast<int>(lines.size()), 0});
            fromX = toX;
            fromY = toY;
        }
    }
    const int crossing = std::uniform_int_distribution<int>(0, 20)(random);
    for (int i = 0; i < crossing && !lines.empty(); ++i) {
        const Line& target = lines[random() % lines.size()];
        const double t = Uniform(random, 0, 1);
        const double px = target.sx + t * (target.ex - target.sx);
        const double py = target.sy + t * (target.ey - target.sy);
        const double angle = Uniform(random, 0, 6.3);
        const double length = Uniform(random, 0.01, 0.5) * longest;
        const double back = random() % 3 == 0 ? 0.0 : length;  // ending on the line, or crossing it
        lines.push_back({px - back * std::cos(angle), py - back * std::sin(angle), px + length * std::cos(angle),
                         py + length * std::sin(angle), static_cast<int>(lines.size()), 0});
    }
    std::shuffle(lines.begin(), lines.end(), random);
    return lines;
}

// A map in metres far from the origin: chains of elements at a slant, each
// ten to a thousand times as long as the reach allows at their coordinates,
// bending where they meet; elements crossing them and ending on them, some on
// a piece already cut; and short ones nearly along an element's line far
// beyond its end, where its side test flips. Every element is long, so the
// walk seeks the pieces along their bands.
std::vector<Line> SlantedMapFarFromTheOrigin(Random& random) {
    std::vector<Line> lines;
    const double origin = std::ldexp(Uniform(random, 1, 2), std::uniform_int_distribution<int>(19, 24)(random));
    const double longest = 1e-6 / (8 * 12 * 1.1102230246251565e-16 * 1.5 * origin * 1.42);
    const auto add = [&](double sx, double sy, double ex, double ey) {
        lines.push_back({sx, sy, ex, ey, static_cast<int>(lines.size()), 0});
    };
    const int chains = std::uniform_int_distribution<int>(2, 6)(random);
    for (int chain = 0; chain < chains; ++chain) {
        double x = origin * Uniform(random, 1, 1.2);
        double y = origin * Uniform(random, 1, 1.2);
        const int count = std::uniform_int_distribution<int>(2, 8)(random);
        for (int i = 0; i < count; ++i) {
            const double angle = Uniform(random, 0, 6.3);
            const double length = longest * std::pow(10.0, Uniform(random, 1, 3));
            add(x, y, x + length * std::cos(angle), y + length * std::sin(angle));
            x = lines.back().ex;
            y = lines.back().ey;
        }
    }
    const std::size_t drawn = lines.size();
    for (int i = 0; i < 8; ++i) {
        const Line target = lines[random() % drawn];
        const double dx = target.ex - target.sx;
        const double dy = target.ey - target.sy;
        if (i % 2 == 0) {  // nearly along the line, beyond the end
            const double beyond = Uniform(random, 1, 50);
            const double turn = Uniform(random, -1e-9, 1e-9);
            const double px = target.sx + beyond * dx;
            const double py = target.sy + beyond * dy;
            const double share = Uniform(random, 1e-4, 1e-2);
            add(px, py, px + share * (dx - turn * dy), py + share * (dy + turn * dx));
        } else {  // crossing it, or ending on it
            const double t = Uniform(random, 0, 1);
            const double px = target.sx + t * dx;
            const double py = target.sy + t * dy;
            const double angle = Uniform(random, 0, 6.3);
            const double length = longest * std::pow(10.0, Uniform(random, -1, 2));
            const double back = random() % 2 == 0 ? 0.0 : length;
            add(px - back * std::cos(angle), py - back * std::sin(angle), px + length * std::cos(angle),
                py + length * std::sin(angle));
        }
    }
    std::shuffle(lines.begin(), lines.end(), random);
    return lines;
}

TEST(CuttingWalks, NearbyPairsCutEveryDrawingAsEveryPairDoes) {
    Random random(20261208);
    const std::vector<std::function<std::vector<Line>()>> drawings = {
        [&] { return CrossingLines(random, 10); },
        [&] { return CrossingLines(random, 1e4); },  // near the largest extent that allows nearby pairs
        [&] { return ShortAmongLong(random); },
        [&] { return EndsAtTheFarthestReach(random); },
        [&] { return NearlyParallel(random); },
        [&] { return FanWithCopies(random); },
        [&] { return ChainsOfCuts(random); },
        [&] { return loopweave::drawings::CopiesBothWays(std::uniform_int_distribution<int>(2, 16)(random)); },
        [&] { return loopweave::drawings::CollinearOverlaps(std::uniform_int_distribution<int>(2, 16)(random)); },
    };
    for (int round = 0; round < 300; ++round) {
        for (const auto& draw : drawings) {
            const std::vector<Line> lines = draw();
            ExpectSameCuts(lines);
            if (HasFatalFailure()) return;
        }
        // One of them again, at an odd angle far from the origin.
        ExpectSameCuts(AtAnOddAngleFarAway(drawings[random() % drawings.size()](), random));
        if (HasFatalFailure()) return;
        ExpectSameCuts(FarFromTheOrigin(random));
        if (HasFatalFailure()) return;
        ExpectSameCuts(SlantedMapFarFromTheOrigin(random));
        if (HasFatalFailure()) return;
    }
}

// Copies of nearly parallel lines, and of long lines among the lines that
// cut them: the walk passes over the copies until a cut sets one apart from
// the others, and the pieces cut off the copies are copies again, some before
// the piece that leads them. Every other round far from the origin.
TEST(CuttingWalks, ScatteredCopiesCutAsEveryPairDoes) {
    Random random(5);
    for (int round = 0; round < 1000; ++round) {
        const std::vector<Line> lines =
            WithScatteredCopies(round % 4 < 2 ? NearlyParallel(random) : ChainsOfCuts(random), random);
        ExpectSameCuts(round % 2 == 0 ? lines : AtAnOddAngleFarAway(lines, random));
        if (HasFatalFailure()) return;
    }
}

// Enough crossings that the pieces crowd the grid's cells and move to a finer
// grid part way through the walk: the lines across come first, so the lines
// down are cut into all their pieces before any of those is passed.
TEST(CuttingWalks, PiecesCrowdingTheGridCutAsEveryPairDoes) {
    Random random(11);
    std::vector<Line> lines;
    for (int i = 0; i < 80; ++i) {
        const double y = i + Uniform(random, 0, 0.5);
        lines.push_back({0, y, 90, y + Uniform(random, -2, 2), i, 0});
    }
    for (int i = 0; i < 80; ++i) {
        const double x = i + Uniform(random, 0, 0.5);
        lines.push_back({x, 0, x + Uniform(random, -2, 2), 90, 80 + i, 0});
    }
    ExpectSameCuts(lines);
}

// Two wandering outlines of 2,000 short elements each, crossing each other
// again and again, in a corner of an extent a hundred times their size: they
// pass through a few of the cells sized for that extent, whose pieces move
// to fine cells split ever more finely as they crowd them.
TEST(CuttingWalks, OutlinesCrowdingAFewCellsCutAsEveryPairDoes) {
    Random random(17);
    const int n = 2000;
    const double step = 2 * std::acos(-1.0) / n;
    std::vector<Line> lines;
    for (int outline = 0; outline < 2; ++outline) {
        double radius = 1;
        Line line{1, 0, 0, 0, 0, 0};
        for (int i = 1; i <= n; ++i) {
            radius = i == n ? 1 : radius * (1 + Uniform(random, -0.01, 0.01));
            line.ex = radius * std::cos(i * step);
            line.ey = radius * std::sin(i * step);
            line.key1 = static_cast<int>(lines.size());
            lines.push_back(line);
            line.sx = line.ex;
            line.sy = line.ey;
        }
    }
    lines.push_back({100, 100, 100.5, 100, static_cast<int>(lines.size()), 0});
    ExpectSameCuts(lines);
}

// A point within a short element's length of both its ends, and on its line
// by the tolerance, is inside it: a tiny element ending at the tip of that
// lens, nearly 0.87 lengths off the short one, must be found within the
// reach of short elements, which is about twice their length.
TEST(CuttingWalks, ATinyElementEndingAtTheTipOfAShortOnesLensCutsIt) {
    Random random(12);
    std::vector<Line> lines;
    for (int i = 0; i < 50; ++i) {
        const double length = Uniform(random, 1e-5, 1e-4);
        const double angle = Uniform(random, 0, 6.283185307179586);
        const double dx = length * std::cos(angle);
        const double dy = length * std::sin(angle);
        const double x = Uniform(random, 0, 1);
        const double y = Uniform(random, 0, 1);
        const double tipX = x + dx / 2 - 0.85 * dy;
        const double tipY = y + dy / 2 + 0.85 * dx;
        lines.push_back({x, y, x + dx, y + dy, 2 * i, 0});
        lines.push_back({tipX, tipY, tipX - 1e-3 * dy, tipY + 1e-3 * dx, 2 * i + 1, 0});
    }
    ExpectSameCuts(lines);
}

TEST(CuttingWalks, ElementsThatAreNotFiniteOrHaveNoLengthChangeNothingEitherWay) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    ExpectSameCuts({{0, 0, 10, 0, 1}, {kNaN, 0, 5, 5, 2}, {5, -5, 5, 5, 3}, {5, 0, 5, 0, 4}, {0, kInfinity, 1, 1, 5},
                    {2, -1, 2, 1, 6}});
}

// Far from the origin the side test of a long element rounds by many times
// the tolerance along its line, and there B, a quarter of a unit long and
// nearly along A's line 2,000 units beyond A's end, passes for crossing A's
// line: the walk over every pair cuts B there. A, 80,000 units long at 5e7,
// is long for its coordinates, so the other walk seeks B among the pieces on
// nearly the same line, whichever comes first. Short elements scattered away
// from A's line make the grid's cells far smaller than the way from A to B.
TEST(CuttingWalks, ALongElementFarFromTheOriginCutsAShortOneFarAlongItsLine) {
    const Line a{54408577.649920665, 50646647.76249487, 54464052.651961058, 50587950.678974658, 1};
    const Line b{54465446.821743041, 50586475.53346543, 54465446.988934398, 50586475.356563315, 2};
    Random random(5);
    std::vector<Line> scattered;
    while (scattered.size() < 400) {
        const double x = Uniform(random, 54400000, 54470000);
        const double y = Uniform(random, 50580000, 50650000);
        // Well away from A's line, which runs from upper left to lower right.
        if (std::fabs((x - a.sx) * (a.ey - a.sy) - (y - a.sy) * (a.ex - a.sx)) < 5000 * 80000) continue;
        scattered.push_back({x, y, x + 1, y + 1, 3});
    }
    for (bool aFirst : {true, false}) {
        for (bool turned : {false, true}) {
            const Line first = turned ? Line{a.ex, a.ey, a.sx, a.sy, 1} : a;
            std::vector<Line> drawing = aFirst ? std::vector<Line>{first, b} : std::vector<Line>{b, first};
            drawing.insert(drawing.end(), scattered.begin(), scattered.end());
            ExpectSameCuts(drawing);
            CLoopweave builder;
            Enter(builder, drawing);
            builder.InsertCrossPoint();
            EXPECT_EQ(builder.Element().Count(), 403) << "A first " << aFirst << ", turned " << turned;
        }
    }
}

// Short upright lines standing on A = (0, 0) -> (1, 0) one after another, each
// lower end a little less than the tolerance's doubled area above the line of
// what remains of A, so that A is cut at each and its remaining piece turns
// about (1, 0) step by step. After 1,800 steps it has risen beyond the reach
// of A's own box, where one more line stands on it: the walk must have asked
// the grid for a region that contains the piece's, not only one that meets it.
TEST(CuttingWalks, ARemainingPieceTurnedStepByStepIsCutBeyondTheReachOfItsElement) {
    std::vector<Line> lines{{0, 0, 1, 0, 0}};
    double startX = 0;
    double startY = 0;
    for (int i = 1; i <= 1801; ++i) {
        const double x = i * 1e-5;
        // The remaining piece's line at x, and 0.9 of the band above it.
        const double y = startY * (1 - x) / (1 - startX) + 0.9e-6 / (1 - startX);
        lines.push_back({x, y, x, y + (i <= 1800 ? 1.0 : 1e-3), i});
        startX = x;
        startY = y;
    }
    ASSERT_GT(startY, 1.6e-3);  // beyond A's box grown by the reach, about 1.42e-3
    ExpectSameCuts(lines);
}

// Near the origin any element may be long. Far from it only short ones keep
// the reach, and a long one is paired with every piece in its box: along an
// axis, the pieces of a thin box; at a slant, nearly all. A drawing with many
// of those is left to the walk over every pair.
TEST(CuttingWalks, NearbyPairsPayUnlessManyElementsAreLongAndSlantedForTheirCoordinates) {
    const auto nearbyPairsPay = [](const std::vector<Line>& lines) {
        CLoopweave builder;
        Enter(builder, lines);
        return loopweave::NearbyPairsPay(PieceTable(builder.Element()));
    };
    std::vector<Line> lines;
    for (int i = 0; i < 128; ++i) lines.push_back({0, i * 100.0, 1e4, i * 100.0 + 1, i});
    EXPECT_TRUE(nearbyPairsPay(lines));
    for (Line& line : lines) {  // 11 long at 5e6, where 18 is the most
        line.sx += 5e6;
        line.sy += 5e6;
        line.ex = line.sx + 10;
        line.ey += 5e6;
    }
    EXPECT_TRUE(nearbyPairsPay(lines));
    for (int i = 0; i < 64; ++i) lines.push_back({5e6 - 1000, 5e6 + i * 200.0, 5e6 + 1000, 5e6 + i * 200.0, 200 + i});
    EXPECT_TRUE(nearbyPairsPay(lines));  // long, along x
    const Line slanted{5e6 - 1000, 5e6, 5e6 + 1000, 5e6 + 12701};
    lines[0] = lines[1] = slanted;
    EXPECT_TRUE(nearbyPairsPay(lines));  // two long, across the drawing
    lines[2] = lines[3] = slanted;
    EXPECT_FALSE(nearbyPairsPay(lines));
}

// Nested squares far from the origin, the largest first: the line of each
// side passes the sides of all larger squares, but none on nearly the same
// line.
TEST(CuttingWalks, NearbyPairsCutNestedSquaresFarFromTheOrigin) {
    std::vector<Line> lines;
    const double centre = 5e6;
    for (int i = 0; i < 600; ++i) {
        const double r = 2000.0 - 3.0 * i;
        const double lo = centre - r;
        const double hi = centre + r;
        for (const Line& side : {Line{lo, lo, hi, lo}, Line{hi, lo, hi, hi}, Line{hi, hi, lo, hi}, Line{lo, hi, lo, lo}}) {
            lines.push_back({side.sx, side.sy, side.ex, side.ey, static_cast<int>(lines.size()), 0});
        }
    }
    ExpectSameCuts(lines);
}

}  // namespace
