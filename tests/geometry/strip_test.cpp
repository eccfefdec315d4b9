// Bands along lines against distances found by search: a band must meet
// every box within its half-width of its segment, along either axis, and
// none beyond.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/strip.h"

namespace {

using loopweave::Box;
using loopweave::Point;
using loopweave::Strip;
using Random = std::mt19937_64;

double Uniform(Random& random, double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }

Point At(const Point& from, const Point& to, double t) { return {from.x + t * (to.x - from.x), from.y + t * (to.y - from.y)}; }

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

}  // namespace
