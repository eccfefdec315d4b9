// Snapping a drawing to the user's tolerance before the library sees it: the
// rules on small drawings whose answer is plain, then the pass against a
// plain all-pairs version of the same rules on random drawings.

#include "polygonize/snapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using lwpolygonize::InputSegment;
using lwpolygonize::SnapDrawing;
using lwpolygonize::DrawingSegment;

// Pieces as exact text (hexadecimal floating point), to compare bit for bit.
std::vector<std::string> Exact(const std::vector<DrawingSegment>& pieces) {
    std::vector<std::string> texts;
    for (const DrawingSegment& p : pieces) {
        char text[160];
        std::snprintf(text, sizeof text, "(%a, %a)-(%a, %a) of %zu", p.sx, p.sy, p.ex, p.ey, p.origin);
        texts.push_back(text);
    }
    return texts;
}

void ExpectSameBits(const std::vector<DrawingSegment>& actual, const std::vector<DrawingSegment>& expected) {
    EXPECT_EQ(Exact(actual), Exact(expected));
}

std::vector<DrawingSegment> Unchanged(const std::vector<InputSegment>& segments) {
    std::vector<DrawingSegment> out;
    for (std::size_t i = 0; i < segments.size(); ++i)
        out.push_back({segments[i].sx, segments[i].sy, segments[i].ex, segments[i].ey, i});
    return out;
}

TEST(Snapping, CleanDrawingsComeBackBitForBit) {
    // A 6 x 6 lattice of unit cells, near the origin and at UTM-like
    // coordinates, where a tenth of a unit is a few hundred spacings of the
    // doubles; a segment with a NaN takes no part, even ending on the lattice.
    for (const double origin : {0.0, 5e5, 5e6}) {
        std::vector<InputSegment> lattice;
        for (int i = 0; i <= 6; ++i)
            for (int j = 0; j < 6; ++j) {
                lattice.push_back({origin + 0.3 * i, origin + 0.3 * j, origin + 0.3 * i, origin + 0.3 * (j + 1), i, j});
                lattice.push_back({origin + 0.3 * j, origin + 0.3 * i, origin + 0.3 * (j + 1), origin + 0.3 * i, j, i});
            }
        lattice.push_back({std::nan(""), 1.0, origin, origin, 0, 0});
        ExpectSameBits(SnapDrawing(lattice, 0.1), Unchanged(lattice));
    }
}

TEST(Snapping, EndsCloserThanTheToleranceMeetWhereMostAlreadyAre) {
    // Two lines meet cleanly at the origin; a third starts 0.05 from it and
    // goes there. A fourth ends 0.2 from the third's far end and stays.
    const std::vector<InputSegment> drawing = {
        {-1, 0, 0, 0, 1, 0}, {0, -1, 0, 0, 2, 0}, {0.03, 0.04, 1, 1, 3, 0}, {1.2, 1, 2, 1, 4, 0}};
    ExpectSameBits(SnapDrawing(drawing, 0.1), {{-1, 0, 0, 0, 0}, {0, -1, 0, 0, 1}, {0, 0, 1, 1, 2}, {1.2, 1, 2, 1, 3}});

    // One end at each of two points: the lower x wins. Both ends of a short
    // segment fall in one cluster: it comes back with zero length.
    ExpectSameBits(SnapDrawing({{0.05, 0, 1, 0, 0, 0}, {0, 0, -1, 0, 0, 0}, {3, 3, 3.04, 3.03, 0, 0}}, 0.1),
                   {{0, 0, 1, 0, 0}, {0, 0, -1, 0, 1}, {3, 3, 3, 3, 2}});
}

TEST(Snapping, AChainOfCloseEndsGoesToOnePointFartherThanTheTolerance) {
    // Ends at x = 0, 0.09, 0.18 and twice at 0.27: single linkage joins them
    // all, and the end at 0 moves 0.27.
    const std::vector<InputSegment> chain = {{0, 0, 0, -5, 0, 0},
                                             {0.09, 0, 0.09, 5, 0, 0},
                                             {0.18, 0, 0.18, -5, 0, 0},
                                             {0.27, 0, 1, 5, 0, 0},
                                             {0.27, 0, 2, 5, 0, 0}};
    ExpectSameBits(
        SnapDrawing(chain, 0.1),
        {{0.27, 0, 0, -5, 0}, {0.27, 0, 0.09, 5, 1}, {0.27, 0, 0.18, -5, 2}, {0.27, 0, 1, 5, 3}, {0.27, 0, 2, 5, 4}});
}

TEST(Snapping, EndsNearALineLandOnItAndSplitIt) {
    // One end stops 0.05 short of the line y = 0, another overshoots it by
    // 0.05, a third lies 0.08 from it but nearer to the line y = 0.15. Each
    // line is split where ends land, in order along it, and the pieces share
    // the landing points bit for bit.
    const std::vector<InputSegment> drawing = {{8, 0, 0, 0, 0, 0},
                                               {2, 0.05, 2, 5, 1, 0},
                                               {6, -0.05, 6, -5, 2, 0},
                                               {5, 0.08, 5, 1, 3, 0},
                                               {4, 0.15, 6, 0.15, 4, 0}};
    ExpectSameBits(SnapDrawing(drawing, 0.1), {{8, 0, 6, 0, 0},
                                               {6, 0, 2, 0, 0},
                                               {2, 0, 0, 0, 0},
                                               {2, 0, 2, 5, 1},
                                               {6, 0, 6, -5, 2},
                                               {5, 0.15, 5, 1, 3},
                                               {4, 0.15, 5, 0.15, 4},
                                               {5, 0.15, 6, 0.15, 4}});
}

TEST(Snapping, ALineAcrossTheWholeDrawingTakesEveryEndNearIt) {
    // 200 short posts whose feet stop 0.05 above a line 2048 long.
    std::vector<InputSegment> drawing = {{0, 0, 2048, 0, 0, 0}};
    for (int i = 0; i < 200; ++i) drawing.push_back({5.0 + 10 * i, 0.05, 5.0 + 10 * i, 1, i, 0});
    std::vector<DrawingSegment> expected;
    for (int i = 0; i <= 200; ++i)
        expected.push_back({i == 0 ? 0 : 10 * i - 5.0, 0, i == 200 ? 2048 : 10 * i + 5.0, 0, 0});
    for (int i = 0; i < 200; ++i) expected.push_back({5.0 + 10 * i, 0, 5.0 + 10 * i, 1, i + 1u});
    ExpectSameBits(SnapDrawing(drawing, 0.1), expected);
}

TEST(Snapping, RefusesAToleranceThatIsNoDistanceAndTakesAnEmptyDrawing) {
    EXPECT_TRUE(SnapDrawing({}, 1).empty());
    for (const double tolerance : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_THROW(SnapDrawing({{0, 0, 1, 1, 0, 0}}, tolerance), std::invalid_argument);
}

// The rules, pair by pair, measured exactly as the pass measures them.
double SquaredInTolerances(double ax, double ay, double bx, double by, double d) {
    const double u = (ax - bx) / d, v = (ay - by) / d;
    return u * u + v * v;
}

std::vector<DrawingSegment> SnapEveryPair(const std::vector<InputSegment>& segments, double d) {
    const std::size_t ends = 2 * segments.size();
    std::vector<double> x(ends), y(ends);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        x[2 * i] = segments[i].sx, y[2 * i] = segments[i].sy;
        x[2 * i + 1] = segments[i].ex, y[2 * i + 1] = segments[i].ey;
    }
    // Rule 1: join close pairs until nothing changes, then the most common point.
    std::vector<std::size_t> cluster(ends);
    std::iota(cluster.begin(), cluster.end(), 0);
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t a = 0; a < ends; ++a)
            for (std::size_t b = 0; b < ends; ++b)
                if (cluster[b] < cluster[a] && SquaredInTolerances(x[a], y[a], x[b], y[b], d) < 1) {
                    const std::size_t from = cluster[a];
                    for (std::size_t& c : cluster) c = c == from ? cluster[b] : c;
                    changed = true;
                }
    }
    std::vector<double> cx(ends), cy(ends);
    for (std::size_t c = 0; c < ends; ++c) {
        std::size_t best = ends, bestCount = 0;
        for (std::size_t a = 0; a < ends; ++a) {
            if (cluster[a] != c) continue;
            std::size_t count = 0;
            for (std::size_t b = 0; b < ends; ++b) count += cluster[b] == c && x[b] == x[a] && y[b] == y[a];
            if (count > bestCount || (count == bestCount && (x[a] < x[best] || (x[a] == x[best] && y[a] < y[best]))))
                best = a, bestCount = count;
        }
        if (best < ends) cx[c] = x[best], cy[c] = y[best];
    }
    // Rule 2: each cluster onto its nearest segment, all against rule 1's drawing.
    struct Split {
        double t, x, y;
        std::size_t cluster;
    };
    std::vector<std::vector<Split>> splits(segments.size());
    std::vector<double> tx = cx, ty = cy;
    for (std::size_t c = 0; c < ends; ++c) {
        if (std::find(cluster.begin(), cluster.end(), c) == cluster.end()) continue;
        double nearest = 1;
        std::size_t on = segments.size();
        Split split{};
        for (std::size_t s = 0; s < segments.size(); ++s) {
            const std::size_t ca = cluster[2 * s], cb = cluster[2 * s + 1];
            if (ca == c || cb == c || ca == cb) continue;
            const double dx = cx[cb] - cx[ca], dy = cy[cb] - cy[ca];
            const double t = ((cx[c] - cx[ca]) * dx + (cy[c] - cy[ca]) * dy) / (dx * dx + dy * dy);
            if (!(t > 0 && t < 1)) continue;
            const double qx = cx[ca] + t * dx, qy = cy[ca] + t * dy;
            const double distance = SquaredInTolerances(cx[c], cy[c], qx, qy, d);
            if (distance < nearest && SquaredInTolerances(cx[c], cy[c], cx[ca], cy[ca], d) >= 1 &&
                SquaredInTolerances(cx[c], cy[c], cx[cb], cy[cb], d) >= 1)
                nearest = distance, on = s, split = {t, qx, qy, c};
        }
        if (on == segments.size()) continue;
        splits[on].push_back(split);
        tx[c] = split.x, ty[c] = split.y;
    }
    std::vector<DrawingSegment> out;
    for (std::size_t s = 0; s < segments.size(); ++s) {
        std::sort(splits[s].begin(), splits[s].end(),
                  [](const Split& a, const Split& b) { return a.t != b.t ? a.t < b.t : a.cluster < b.cluster; });
        double fx = tx[cluster[2 * s]], fy = ty[cluster[2 * s]];
        for (const Split& split : splits[s]) out.push_back({fx, fy, split.x, split.y, s}), fx = split.x, fy = split.y;
        out.push_back({fx, fy, tx[cluster[2 * s + 1]], ty[cluster[2 * s + 1]], s});
    }
    return out;
}

// Short segments in a 10 x 10 square, a third of them starting near an
// earlier end or near an earlier segment, and a few long lines across it.
std::vector<InputSegment> RandomDrawing(std::mt19937& random, double origin, double near) {
    std::uniform_real_distribution<double> where(0, 10), step(-1, 1), jitter(-near, near), along(0, 1);
    std::vector<InputSegment> drawing;
    for (int i = 0; i < 240; ++i) {
        double sx = origin + where(random), sy = origin + where(random);
        if (!drawing.empty() && i % 3 != 0) {
            const InputSegment& other = drawing[random() % drawing.size()];
            const double t = i % 3 == 1 ? 0 : along(random);
            sx = other.sx + t * (other.ex - other.sx) + jitter(random);
            sy = other.sy + t * (other.ey - other.sy) + jitter(random);
        }
        drawing.push_back({sx, sy, sx + step(random), sy + step(random), i, 0});
    }
    for (int i = 0; i < 4; ++i)
        drawing.push_back({origin - 1, origin + where(random), origin + 11, origin + where(random), i, 1});
    return drawing;
}

TEST(Snapping, AgreesWithEveryPairMeasured) {
    std::mt19937 random(7);
    for (const double origin : {0.0, 5e6})
        for (const double d : {0.01, 0.05, 0.3})
            for (int round = 0; round < 3; ++round) {
                std::vector<InputSegment> drawing = RandomDrawing(random, origin, 1.5 * d);
                // A far segment widens the drawing past what cells of D/2 can
                // number: the pass then measures the pairs within a cell.
                if (round == 2) drawing.push_back({origin + 2e9, 0, origin + 2e9 + 1, 0, 0, 2});
                SCOPED_TRACE("origin " + std::to_string(origin) + ", D " + std::to_string(d));
                const std::vector<DrawingSegment> snapped = SnapDrawing(drawing, d);
                ExpectSameBits(snapped, SnapEveryPair(drawing, d));
                ExpectSameBits(SnapDrawing(drawing, d), snapped);
            }
}

}  // namespace
