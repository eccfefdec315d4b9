// Bands along lines against distances found by search: a band must meet
// every box and segment within its half-width of its segment, along either
// axis, and none beyond; the cells a walk along it reaches must cover it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/strip.h"
#include "index/cell_frame.h"

namespace {

using loopweave::Box;
using loopweave::CellFrame;
using loopweave::Point;
using loopweave::Strip;
using Random = std::mt19937_64;

double Uniform(Random& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

Point At(const Point& from, const Point& to, double t) {
    return {from.x + t * (to.x - from.x), from.y + t * (to.y - from.y)};
}

// The least of a function convex on [0, 1], by ternary search.
template <typename F>
double Least(F&& f) {
    double low = 0;
    double high = 1;
    for (int i = 0; i < 100; ++i) {
        const double a = low + (high - low) / 3;
        const double b = high - (high - low) / 3;
        if (f(a) <= f(b)) {
            high = b;
        } else {
            low = a;
        }
    }
    return f((low + high) / 2);
}

double DistanceAlongAxes(const Point& p, const Box& box) {
    const double dx = std::max({box.minX - p.x, 0.0, p.x - box.maxX});
    const double dy = std::max({box.minY - p.y, 0.0, p.y - box.maxY});
    return std::max(dx, dy);
}

double DistanceAlongAxes(const Point& p, const Point& q, const Point& r) {
    return Least([&](double u) {
        const Point s = At(q, r, u);
        return std::max(std::fabs(p.x - s.x), std::fabs(p.y - s.y));
    });
}

Point RandomPoint(Random& random) { return {Uniform(random, 0, 100), Uniform(random, 0, 100)}; }

// A band of any slant, along an axis now and then.
Strip RandomStrip(Random& random) {
    Point from = RandomPoint(random);
    Point to = RandomPoint(random);
    if (random() % 4 == 0) to.y = from.y;
    if (random() % 4 == 0) to.x = from.x;
    return {from, to, std::pow(10.0, Uniform(random, -3, 1))};
}

// Decided only beyond a hair either side of the half-width, where the search
// and the rounding cannot matter.
constexpr double kHair = 1e-9;

// Whether a band's answer agrees with the distance wherever that decides it:
// within the half-width less a hair it meets, beyond it plus a hair it does not.
::testing::AssertionResult AgreesWithDistance(bool meets, double distance, double halfWidth) {
    if (distance < halfWidth - kHair && !meets) return ::testing::AssertionFailure() << "misses at " << distance;
    if (distance > halfWidth + kHair && meets) return ::testing::AssertionFailure() << "meets at " << distance;
    return ::testing::AssertionSuccess();
}

TEST(Strip, MeetsTheBoxesWithinItsHalfWidthAndNoOthers) {
    Random random(1);
    int met = 0;
    for (int i = 0; i < 20000; ++i) {
        const Strip strip = RandomStrip(random);
        const Point corner = RandomPoint(random);
        const Box box{corner.x, corner.y, corner.x + Uniform(random, 0, 5), corner.y + Uniform(random, 0, 5)};
        const double distance = Least([&](double t) { return DistanceAlongAxes(At(strip.from, strip.to, t), box); });
        ASSERT_TRUE(AgreesWithDistance(strip.Meets(box), distance, strip.halfWidth)) << i;
        met += distance < strip.halfWidth - kHair;
    }
    EXPECT_GT(met, 300);
}

TEST(Strip, MeetsTheSegmentsWithinItsHalfWidthAndNoOthers) {
    Random random(2);
    int met = 0;
    for (int i = 0; i < 2500; ++i) {
        const Strip strip = RandomStrip(random);
        const Point p = RandomPoint(random);
        const Point q = random() % 8 == 0 ? p : Point{p.x + Uniform(random, -20, 20), p.y + Uniform(random, -20, 20)};
        const double distance = Least([&](double t) { return DistanceAlongAxes(At(p, q, t), strip.from, strip.to); });
        ASSERT_TRUE(AgreesWithDistance(strip.MeetsSegment(p, q), distance, strip.halfWidth)) << i;
        met += distance < strip.halfWidth - kHair;
    }
    EXPECT_GT(met, 100);
}

// Frames of a few cells to many, narrow and square, some bands reaching
// beyond them: every point of the band lies in a cell the walk reaches, and
// the walk reaches no cell twice.
// A band holds a narrower one whose segment ends within the difference of
// their half-widths of its own segment, beside it or beyond its ends, and no
// band that reaches farther out; measured from its line, also one far beyond
// its ends, but none when it has no length.
TEST(Strip, HoldsTheNarrowerBandsWhoseEndsLieWithinTheDifferenceOfHalfWidths) {
    const Strip outer{{0, 0}, {30, 40}, 2};  // a segment of length 50
    const double pad = 1e-9;
    const Point side{-0.8, 0.6};  // a unit step across it
    const auto beside = [&](double t, double by) { return Point{30 * t + by * side.x, 40 * t + by * side.y}; };
    EXPECT_TRUE(outer.Holds({beside(0.1, 0.99), beside(0.9, -0.99), 1}, pad, Strip::kFromSegment));
    EXPECT_FALSE(outer.Holds({beside(0.1, 1.01), beside(0.9, 0), 1}, pad, Strip::kFromSegment));
    EXPECT_TRUE(outer.Holds({{-0.594, -0.792}, beside(0.5, 0), 1}, pad, Strip::kFromSegment));  // 0.99 before the start
    EXPECT_FALSE(outer.Holds({{-0.62, -0.83}, beside(0.5, 0), 1}, pad, Strip::kFromSegment));
    EXPECT_FALSE(outer.Holds({beside(0.2, 0), beside(0.4, 0), 2.5}, pad, Strip::kFromSegment));  // wider than the band
    EXPECT_FALSE(outer.Holds({beside(-1, 0.5), beside(2, -0.5), 1}, pad, Strip::kFromSegment));
    EXPECT_TRUE(outer.Holds({beside(-1, 0.5), beside(2, -0.5), 1}, pad, Strip::kFromLine));
    EXPECT_FALSE(outer.Holds({beside(-1, 1.01), beside(2, 0), 1}, pad, Strip::kFromLine));
    EXPECT_FALSE((Strip{{1, 1}, {1, 1}, 5}.Holds({{1, 1}, {1, 1}, 0}, pad, Strip::kFromLine)));
}

TEST(CellFrame, WalkAlongABandReachesTheCellOfEveryPointInItOnce) {
    Random random(5);
    for (int i = 0; i < 2000; ++i) {
        const Box extent{0, 0, Uniform(random, 1, 100), i % 5 == 0 ? 0.0 : Uniform(random, 1, 100)};
        const CellFrame frame(extent, static_cast<std::size_t>(Uniform(random, 1, 5000)));
        const Strip strip = RandomStrip(random);
        std::vector<std::size_t> reached;
        frame.ForEachCellAlong(strip.Grown(1e-9), [&](int x, int y) { reached.push_back(frame.Index(x, y)); });
        std::sort(reached.begin(), reached.end());
        ASSERT_EQ(std::adjacent_find(reached.begin(), reached.end()), reached.end()) << i << ": a cell reached twice";
        for (int j = 0; j < 50; ++j) {
            const Point on = At(strip.from, strip.to, Uniform(random, 0, 1));
            const Point p{on.x + Uniform(random, -1, 1) * strip.halfWidth,
                          on.y + Uniform(random, -1, 1) * strip.halfWidth};
            const CellFrame::Range range = frame.RangeOf(Box::Around(p, p));
            ASSERT_TRUE(std::binary_search(reached.begin(), reached.end(), frame.Index(range.x0, range.y0))) << i;
        }
    }
}

}  // namespace
