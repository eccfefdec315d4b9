#include "inputs/generated_inputs.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace loopweave::bench {
namespace {

constexpr double kHalfSide = 500;

// The engine's output sequence is fixed by the standard, unlike those of the
// standard distributions, so the drawing is the same with every library.
class UnitRandom {
public:
    // Uniform in [-1, 1), from the top 53 bits of one draw.
    double Next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-52 - 1; }

private:
    std::mt19937_64 engine_{20240611};
};

}  // namespace

Segments RandomSegments(int n) {
    const double halfLength = 2000 / std::sqrt(static_cast<double>(n));
    UnitRandom random;
    Segments segments;
    segments.reserve(n);
    while (static_cast<int>(segments.size()) < n) {
        const double cx = kHalfSide * random.Next();
        const double cy = kHalfSide * random.Next();
        // A direction uniform in angle, by rejection from the unit disc: it
        // needs no trigonometry, whose last bit differs between C libraries.
        const double dx = random.Next();
        const double dy = random.Next();
        const double radius = std::sqrt(dx * dx + dy * dy);
        if (radius > 1 || radius < 0.1) continue;
        const double scale = halfLength / radius;
        const int index = static_cast<int>(segments.size());
        segments.push_back({cx - dx * scale, cy - dy * scale, cx + dx * scale, cy + dy * scale, index, 0});
    }
    return segments;
}

Segments Grid(int n) {
    const int perDirection = n / 2;
    Segments segments;
    segments.reserve(2 * perDirection);
    for (int i = 0; i < perDirection; ++i) {
        const double at = perDirection > 1 ? -kHalfSide + 2 * kHalfSide * i / (perDirection - 1) : 0;
        segments.push_back({-kHalfSide, at, kHalfSide, at, i, 0});
        segments.push_back({at, -kHalfSide, at, kHalfSide, perDirection + i, 0});
    }
    return segments;
}

Segments Star(int n) {
    const double pi = std::acos(-1.0);
    Segments segments;
    segments.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double x = kHalfSide * std::cos(pi * i / n);
        const double y = kHalfSide * std::sin(pi * i / n);
        segments.push_back({-x, -y, x, y, i, 0});
    }
    return segments;
}

Segments ChainWithSpikes(int n) {
    const int corners = n / 2;
    const double pi = std::acos(-1.0);
    constexpr double kRadius = 400;
    constexpr double kSpike = 20;
    Segments segments;
    segments.reserve(2 * corners);
    const auto corner = [&](int i, double radius, double& x, double& y) {
        x = radius * std::cos(2 * pi * i / corners);
        y = radius * std::sin(2 * pi * i / corners);
    };
    for (int i = 0; i < corners; ++i) {
        double sx, sy, ex, ey, tipX, tipY;
        corner(i, kRadius, sx, sy);
        corner((i + 1) % corners, kRadius, ex, ey);
        corner(i, i % 2 == 0 ? kRadius - kSpike : kRadius + kSpike, tipX, tipY);
        segments.push_back({sx, sy, ex, ey, i, 0});
        segments.push_back({sx, sy, tipX, tipY, i, 1});
    }
    return segments;
}

Segments NestedSquares(int n) {
    const int squares = n / 4;
    Segments segments;
    segments.reserve(4 * squares);
    for (int i = 0; i < squares; ++i) {
        const double h = kHalfSide * (i + 1) / squares;
        segments.push_back({-h, -h, h, -h, i, 0});
        segments.push_back({h, -h, h, h, i, 1});
        segments.push_back({h, h, -h, h, i, 2});
        segments.push_back({-h, h, -h, -h, i, 3});
    }
    return segments;
}

Segments CopiesOfOneSegment(int n) {
    Segments segments;
    segments.reserve(n);
    for (int i = 0; i < n; ++i) segments.push_back({-kHalfSide, -kHalfSide / 2, kHalfSide, kHalfSide / 2, i, 0});
    return segments;
}

Segments CollinearOverlapping(int n) {
    UnitRandom random;
    Segments segments;
    segments.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double halfLength = 55 + 45 * random.Next();
        const double centre = (kHalfSide - 100) * random.Next();
        // y = x / 2 exactly at every end, so the segments lie on one line to
        // the last bit.
        const double from = centre - halfLength;
        const double to = centre + halfLength;
        segments.push_back({from, from / 2, to, to / 2, i, 0});
    }
    return segments;
}

Segments Ring(int n) {
    const double pi = std::acos(-1.0);
    const double step = 2 * pi / n;
    UnitRandom random;
    std::vector<std::pair<double, double>> vertices;
    vertices.reserve(n);
    double logRadius = 0;
    for (int i = 0; i < n; ++i) {
        vertices.emplace_back(std::exp(logRadius) * std::cos(step * i), std::exp(logRadius) * std::sin(step * i));
        logRadius += step * (0.5 * random.Next() - logRadius);
    }
    Segments segments;
    segments.reserve(n);
    for (int i = 0; i < n; ++i) {
        const auto& [sx, sy] = vertices[i];
        const auto& [ex, ey] = vertices[(i + 1) % n];
        segments.push_back({sx, sy, ex, ey, i, 0});
    }
    return segments;
}

}  // namespace loopweave::bench
