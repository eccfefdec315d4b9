#include "support/random_drawings.h"

#include <cmath>
#include <limits>

namespace loopweave::testing {
namespace {

template <typename T, std::size_t n>
T Pick(std::mt19937_64& random, const T (&choices)[n]) {
    return choices[std::uniform_int_distribution<std::size_t>(0, n - 1)(random)];
}

}  // namespace

void RandomDrawings::NewStyle(bool nonFinite) {
    const double steps[] = {1, 1, 0.25, 3, 1e-6, 7e-7, 1e-3};
    const double offsets[] = {0, 0, 0, 1e6, -3e7, 1e9, 1e12, 1e15};
    const int lattices[] = {1, 2, 4, 4, 10, 100};
    const double jitters[] = {0, 4e-7, 9.99999e-7, 1e-6, 1.000001e-6, 2e-6, 1e-9};
    step_ = Pick(random_, steps);
    offset_ = Pick(random_, offsets);
    lattice_ = Pick(random_, lattices);
    jitter_ = Pick(random_, jitters);
    jitterChance_ = Chance(0.5) ? 0.3 : 0;
    nonFiniteChance_ = nonFinite && Chance(0.2) ? 0.03 : 0;
}

int RandomDrawings::Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

bool RandomDrawings::Chance(double probability) { return std::bernoulli_distribution(probability)(random_); }

double RandomDrawings::Coordinate() {
    if (nonFiniteChance_ > 0 && Chance(nonFiniteChance_)) {
        const double odd[] = {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL};
        return Pick(random_, odd);
    }
    double value = offset_ + step_ * Uniform(-lattice_, lattice_);
    if (jitterChance_ > 0 && Chance(jitterChance_)) value += Chance(0.5) ? jitter_ : -jitter_;
    if (value == 0 && Chance(0.5)) value = -0.0;
    return value;
}

Starts RandomDrawings::Ring(int n) {
    Starts starts;
    while (static_cast<int>(starts.size()) < n) {
        const int shape = Uniform(0, 9);
        if (shape == 0 && !starts.empty()) {
            starts.push_back(starts.back());  // an element of no length
        } else if (shape <= 2 && !starts.empty()) {
            // Out over a few points and back the same way, or to a point
            // within the jitter of the same ones.
            const std::pair<double, double> base = starts.back();
            Starts run;
            for (int k = Uniform(1, 3); k > 0; --k) run.emplace_back(Coordinate(), Coordinate());
            for (const auto& point : run) starts.push_back(point);
            for (int k = static_cast<int>(run.size()) - 2; k >= 0; --k) starts.push_back(run[static_cast<std::size_t>(k)]);
            starts.push_back(base);
        } else if (shape == 3) {
            // A star: out to several points and back to its centre each time.
            const std::pair<double, double> centre(Coordinate(), Coordinate());
            for (int k = Uniform(2, 6); k > 0; --k) {
                starts.push_back(centre);
                starts.emplace_back(Coordinate(), Coordinate());
            }
        } else {
            starts.emplace_back(Coordinate(), Coordinate());
        }
    }
    return starts;
}

Starts RandomDrawings::Walk(int n) {
    Starts starts{{offset_, offset_}};
    while (static_cast<int>(starts.size()) < n) {
        if (Chance(0.02)) {
            starts.push_back(starts[static_cast<std::size_t>(Uniform(0, static_cast<int>(starts.size()) - 1))]);
            continue;
        }
        // Now and then a much shorter step: a short element next to a very
        // short one, whose tolerance band reaches far beyond its ends.
        const double scales[] = {1, 1, 1, 1, 1e-2, 1e-4, 1e-6};
        const double step = step_ * Pick(random_, scales);
        const auto& [x, y] = starts.back();
        double nextX = x + step * Uniform(-2, 2);
        double nextY = y + step * Uniform(-2, 2);
        if (jitterChance_ > 0 && Chance(jitterChance_)) nextX += jitter_;
        starts.emplace_back(nextX, nextY);
    }
    return starts;
}

std::vector<Line> RandomDrawings::Lines(int n) {
    std::vector<Line> lines;
    for (int i = 0; i < n; ++i) {
        Line line{Coordinate(), Coordinate(), 0, 0, i, 0};
        if (Chance(0.15)) {
            line.ex = line.sx;  // no length, or the jitter's length
            line.ey = line.sy + (Chance(0.5) ? 0 : jitter_);
        } else {
            line.ex = Coordinate();
            line.ey = Coordinate();
        }
        lines.push_back(line);
        if (Chance(0.1)) lines.push_back(Chance(0.5) ? line : Line{line.ex, line.ey, line.sx, line.sy, i, 1});
    }
    return lines;
}

void RandomDrawings::FillChain(COutputLoopweave& polygon, int n) {
    switch (Uniform(0, 2)) {
        case 0:
            AppendClosedChain(polygon, Ring(n));
            break;
        case 1:
            AppendClosedChain(polygon, Walk(n));
            break;
        default:
            AppendAsClosedChain(polygon, Lines(n));
    }
}

void RandomDrawings::AppendAsClosedChain(COutputLoopweave& polygon, std::vector<Line> lines) {
    if (!lines.empty()) {
        lines.back().ex = lines.front().sx;
        lines.back().ey = lines.front().sy;
    }
    for (const Line& line : lines) {
        polygon.Element().Append(new CLoopweaveElement(line.sx, line.sy, line.ex, line.ey, line.key1, line.key2));
    }
}

}  // namespace loopweave::testing
